#include "server/store/postgres_store.h"

#include <ctime>
#include <pqxx/pqxx>

#include "server/store/group_commit.h"
#include "server/store/postgres_group.h"

namespace yz::server {

namespace {

// Several servers may start at once on a new database; the advisory lock lets one create the
// tables while the others wait, instead of failing on each other's half-made catalog entries.
// The works stamp is bumped by a trigger deferred to the commit: publishers in several processes
// hold its one row only while they commit, and nobody sees the new stamp before the works it counts.
const char* const kSchema = R"sql(
SELECT pg_advisory_xact_lock(25680);
CREATE TABLE IF NOT EXISTS works(
    id BIGSERIAL PRIMARY KEY,
    pen_name BYTEA NOT NULL, work_name BYTEA NOT NULL, motto BYTEA NOT NULL, link BYTEA NOT NULL,
    address BYTEA NOT NULL, published_at BIGINT NOT NULL);
CREATE TABLE IF NOT EXISTS records(
    id BIGSERIAL PRIMARY KEY,
    link BYTEA NOT NULL, pen_name BYTEA NOT NULL, added_at BIGINT NOT NULL,
    UNIQUE(link, pen_name));
CREATE TABLE IF NOT EXISTS feedback(
    id BIGSERIAL PRIMARY KEY,
    nickname BYTEA NOT NULL, text BYTEA NOT NULL, address BYTEA NOT NULL, sent_at BIGINT NOT NULL,
    read BOOLEAN NOT NULL DEFAULT FALSE);
CREATE TABLE IF NOT EXISTS settings(name TEXT PRIMARY KEY, value BYTEA NOT NULL);
CREATE TABLE IF NOT EXISTS console_sessions(
    id_hash TEXT PRIMARY KEY, csrf TEXT NOT NULL, password_hash TEXT NOT NULL,
    started BIGINT NOT NULL, last_seen BIGINT NOT NULL);
CREATE TABLE IF NOT EXISTS sign_in_counts(
    address TEXT PRIMARY KEY, failures INTEGER NOT NULL, last BIGINT NOT NULL,
    next_allowed BIGINT NOT NULL, in_flight_until BIGINT NOT NULL);
CREATE TABLE IF NOT EXISTS works_stamp(id INTEGER PRIMARY KEY CHECK(id = 1), stamp BIGINT NOT NULL);
INSERT INTO works_stamp VALUES(1, 0) ON CONFLICT(id) DO NOTHING;
CREATE OR REPLACE FUNCTION bump_works_stamp() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
    UPDATE works_stamp SET stamp = stamp + 1;
    RETURN NULL;
END $$;
DO $$
BEGIN
    IF NOT EXISTS (SELECT 1 FROM pg_trigger WHERE tgname = 'works_changed') THEN
        CREATE CONSTRAINT TRIGGER works_changed AFTER INSERT OR DELETE ON works
            DEFERRABLE INITIALLY DEFERRED FOR EACH ROW EXECUTE FUNCTION bump_works_stamp();
    END IF;
END $$;
)sql";

// Statement name -> text, prepared on every new connection.
const std::pair<const char*, const char*> kStatements[] = {
    {"add_work",
     "INSERT INTO works(pen_name, work_name, motto, link, address, published_at) VALUES($1, $2, $3, $4, $5, $6) "
     "RETURNING id"},
    {"list_works",
     "SELECT id, pen_name, work_name, motto, link, address, published_at FROM works WHERE id < $1 "
     "ORDER BY id DESC LIMIT $2"},
    {"delete_work", "DELETE FROM works WHERE id = $1"},
    // One statement reads one snapshot; the stamp's row comes once with no work (id 0) when none
    // is newer.
    {"works_after",
     "SELECT s.stamp, COALESCE(w.id, 0), w.pen_name, w.work_name, w.motto, w.link, w.address, w.published_at "
     "FROM works_stamp AS s LEFT JOIN (SELECT * FROM works WHERE id > $1 ORDER BY id DESC LIMIT $2) AS w ON true "
     "ORDER BY w.id DESC"},
    {"add_record",
     "INSERT INTO records(link, pen_name, added_at) VALUES($1, $2, $3) ON CONFLICT(link, pen_name) DO NOTHING"},
    {"list_records", "SELECT pen_name FROM records WHERE link = $1 ORDER BY id LIMIT $2"},
    {"add_feedback", "INSERT INTO feedback(nickname, text, address, sent_at) VALUES($1, $2, $3, $4) RETURNING id"},
    {"list_feedback",
     "SELECT id, nickname, text, address, sent_at, read FROM feedback WHERE id < $1 ORDER BY id DESC LIMIT $2"},
    {"delete_feedback", "DELETE FROM feedback WHERE id = $1"},
    {"mark_feedback_read", "UPDATE feedback SET read = TRUE WHERE id = $1"},
    {"get_setting", "SELECT value FROM settings WHERE name = $1"},
    {"get_settings_like", "SELECT name, value FROM settings WHERE name LIKE $1"},
    {"set_setting",
     "INSERT INTO settings(name, value) VALUES($1, $2) ON CONFLICT(name) DO UPDATE SET value = excluded.value"},
    {"drop_idle_sessions", "DELETE FROM console_sessions WHERE last_seen < $1"},
    {"drop_oldest_sessions",
     "DELETE FROM console_sessions WHERE id_hash IN (SELECT id_hash FROM console_sessions "
     "ORDER BY started DESC OFFSET $1)"},
    {"add_session",
     "INSERT INTO console_sessions(id_hash, csrf, password_hash, started, last_seen) VALUES($1, $2, $3, $4, $5)"},
    {"touch_session",
     "UPDATE console_sessions SET last_seen = $2 WHERE id_hash = $1 AND last_seen >= $3 "
     "RETURNING csrf, password_hash, started, last_seen"},
    {"end_session", "DELETE FROM console_sessions WHERE id_hash = $1"},
    {"forget_sign_ins", "DELETE FROM sign_in_counts WHERE last < $1"},
    // The row is made first so that FOR UPDATE has a row to lock even for a new address.
    {"make_sign_in", "INSERT INTO sign_in_counts VALUES($1, 0, 0, 0, 0) ON CONFLICT(address) DO NOTHING"},
    {"lock_sign_in",
     "SELECT failures, last, next_allowed, in_flight_until FROM sign_in_counts WHERE address = $1 FOR UPDATE"},
    {"set_sign_in",
     "UPDATE sign_in_counts SET failures = $2, last = $3, next_allowed = $4, in_flight_until = $5 "
     "WHERE address = $1"},
    {"drop_sign_in", "DELETE FROM sign_in_counts WHERE address = $1"},
};

std::int64_t Now() {
    return static_cast<std::int64_t>(std::time(nullptr));
}

std::int64_t UpperBound(std::int64_t before_id) {
    return before_id > 0 ? before_id : INT64_MAX;
}

std::int64_t Limit(std::size_t limit) {
    return limit > static_cast<std::size_t>(INT64_MAX) ? INT64_MAX : static_cast<std::int64_t>(limit);
}

pqxx::binarystring Bytes(const std::string& text) {
    return pqxx::binarystring(text);
}

std::string Bytes(const pqxx::field& field) {
    return pqxx::binarystring(field).str();
}

// The work in the seven columns from `first` on: id, pen_name, work_name, motto, link, address,
// published_at.
Work ReadWork(const pqxx::row& row, int first) {
    return Work{.id = row[first].as<std::int64_t>(),
                .pen_name = Bytes(row[first + 1]),
                .work_name = Bytes(row[first + 2]),
                .motto = Bytes(row[first + 3]),
                .link = Bytes(row[first + 4]),
                .address = Bytes(row[first + 5]),
                .published_at = row[first + 6].as<std::int64_t>()};
}

}  // namespace

bool IsPostgresUri(const std::string& database) {
    return database.rfind("postgresql://", 0) == 0 || database.rfind("postgres://", 0) == 0;
}

std::string RedactedUri(const std::string& uri) {
    const auto scheme_end = uri.find("://");
    if (scheme_end == std::string::npos) {
        return uri;
    }
    const auto user_start = scheme_end + 3;
    const auto at = uri.find('@', user_start);
    if (at == std::string::npos) {
        return uri;
    }
    const auto colon = uri.find(':', user_start);
    if (colon == std::string::npos || colon > at) {
        return uri;
    }
    return uri.substr(0, colon + 1) + "***" + uri.substr(at);
}

// A connection borrowed from the pool for one operation; a broken one is not given back.
class PostgresStore::Lease {
  public:
    explicit Lease(PostgresStore& store) : store_(store), connection_(store.Acquire()) {}
    ~Lease() {
        if (connection_ && connection_->is_open()) {
            store_.Release(std::move(connection_));
        }
    }
    Lease(const Lease&) = delete;
    Lease& operator=(const Lease&) = delete;

    explicit operator bool() const { return connection_ != nullptr; }
    pqxx::connection& operator*() { return *connection_; }

    // Runs `body`; nullopt when the database fails or the connection breaks. A body of one
    // statement runs on its own (autocommit: one round trip instead of three); several statements
    // that must commit together take Transaction = pqxx::work.
    template <typename Transaction = pqxx::nontransaction, typename Body>
    auto Run(Body body) -> std::optional<decltype(body(std::declval<pqxx::transaction_base&>()))> {
        if (!connection_) {
            return std::nullopt;
        }
        try {
            Transaction transaction(*connection_);
            auto result = body(transaction);
            transaction.commit();
            return result;
        } catch (const pqxx::broken_connection&) {
            connection_.reset();
        } catch (const std::exception&) {
        }
        return std::nullopt;
    }

  private:
    PostgresStore& store_;
    std::unique_ptr<pqxx::connection> connection_;
};

std::unique_ptr<PostgresStore> PostgresStore::Open(const std::string& uri, std::string& error) {
    std::unique_ptr<PostgresStore> store(new PostgresStore(uri));
    std::string problem;
    auto connection = store->Connect(problem);
    if (connection) {
        try {
            pqxx::work transaction(*connection);
            transaction.exec(kSchema);
            transaction.commit();
        } catch (const std::exception& failure) {
            problem = failure.what();
            connection.reset();
        }
    }
    if (!connection) {
        error = "database " + RedactedUri(uri) + ": " + problem;
        return nullptr;
    }
    store->Release(std::move(connection));
    return store;
}

PostgresStore::PostgresStore(std::string uri)
    : uri_(std::move(uri)),
      committer_(std::make_unique<GroupCommitter<PostgresGroupSession>>(PostgresGroupSession([this] {
          std::string error;
          return Connect(error);
      }))) {}

PostgresStore::~PostgresStore() = default;

std::unique_ptr<pqxx::connection> PostgresStore::Connect(std::string& error) {
    try {
        auto connection = std::make_unique<pqxx::connection>(uri_);
        // A write that cannot get its lock soon fails (the page answers 503) rather than holding
        // its worker; readers take no locks that writers hold.
        pqxx::nontransaction(*connection).exec("SET lock_timeout = 2000");
        for (const auto& [name, text] : kStatements) {
            connection->prepare(name, text);
        }
        return connection;
    } catch (const std::exception& failure) {
        error = failure.what();
        while (!error.empty() && (error.back() == '\n' || error.back() == ' ')) {
            error.pop_back();
        }
        return nullptr;
    }
}

std::unique_ptr<pqxx::connection> PostgresStore::Acquire() {
    {
        std::lock_guard lock(mutex_);
        if (!idle_.empty()) {
            auto connection = std::move(idle_.back());
            idle_.pop_back();
            return connection;
        }
    }
    std::string error;
    return Connect(error);
}

void PostgresStore::Release(std::unique_ptr<pqxx::connection> connection) {
    std::lock_guard lock(mutex_);
    idle_.push_back(std::move(connection));
}

std::optional<std::int64_t> PostgresStore::AddWork(const Work& work) {
    return committer_->Submit([&](pqxx::transaction_base& t) -> GroupResult {
        return t
            .exec_prepared1("add_work", Bytes(work.pen_name), Bytes(work.work_name), Bytes(work.motto),
                            Bytes(work.link), Bytes(work.address), Now())[0]
            .as<std::int64_t>();
    });
}

std::optional<std::vector<Work>> PostgresStore::ListWorks(std::int64_t before_id, std::size_t limit) {
    Lease db(*this);
    return db.Run([&](pqxx::transaction_base& t) {
        std::vector<Work> works;
        for (const auto& row : t.exec_prepared("list_works", UpperBound(before_id), Limit(limit))) {
            works.push_back(ReadWork(row, 0));
        }
        return works;
    });
}

std::optional<bool> PostgresStore::DeleteWork(std::int64_t id) {
    Lease db(*this);
    return db.Run([&](pqxx::transaction_base& t) { return t.exec_prepared("delete_work", id).affected_rows() > 0; });
}

std::optional<WorksSince> PostgresStore::WorksAfter(std::int64_t after_id, std::size_t limit) {
    Lease db(*this);
    return db.Run([&](pqxx::transaction_base& t) {
        WorksSince since;
        for (const auto& row : t.exec_prepared("works_after", after_id, Limit(limit))) {
            since.stamp = row[0].as<std::int64_t>();
            if (row[1].as<std::int64_t>() != 0) {
                since.works.push_back(ReadWork(row, 1));
            }
        }
        return since;
    });
}

bool PostgresStore::AddRecord(const std::string& link, const std::string& pen_name) {
    return committer_
        ->Submit([&](pqxx::transaction_base& t) -> GroupResult {
            t.exec_prepared("add_record", Bytes(link), Bytes(pen_name), Now());
            return 0;
        })
        .has_value();
}

std::optional<std::vector<std::string>> PostgresStore::ListRecords(const std::string& link, std::size_t limit) {
    Lease db(*this);
    return db.Run([&](pqxx::transaction_base& t) {
        std::vector<std::string> names;
        for (const auto& row : t.exec_prepared("list_records", Bytes(link), Limit(limit))) {
            names.push_back(Bytes(row[0]));
        }
        return names;
    });
}

std::optional<std::int64_t> PostgresStore::AddFeedback(const Feedback& feedback) {
    return committer_->Submit([&](pqxx::transaction_base& t) -> GroupResult {
        return t
            .exec_prepared1("add_feedback", Bytes(feedback.nickname), Bytes(feedback.text), Bytes(feedback.address),
                            Now())[0]
            .as<std::int64_t>();
    });
}

std::optional<std::vector<Feedback>> PostgresStore::ListFeedback(std::int64_t before_id, std::size_t limit) {
    Lease db(*this);
    return db.Run([&](pqxx::transaction_base& t) {
        std::vector<Feedback> list;
        for (const auto& row : t.exec_prepared("list_feedback", UpperBound(before_id), Limit(limit))) {
            list.push_back(Feedback{.id = row[0].as<std::int64_t>(),
                                    .nickname = Bytes(row[1]),
                                    .text = Bytes(row[2]),
                                    .address = Bytes(row[3]),
                                    .sent_at = row[4].as<std::int64_t>(),
                                    .read = row[5].as<bool>()});
        }
        return list;
    });
}

std::optional<bool> PostgresStore::DeleteFeedback(std::int64_t id) {
    Lease db(*this);
    return db.Run(
        [&](pqxx::transaction_base& t) { return t.exec_prepared("delete_feedback", id).affected_rows() > 0; });
}

std::optional<bool> PostgresStore::MarkFeedbackRead(std::int64_t id) {
    Lease db(*this);
    return db.Run(
        [&](pqxx::transaction_base& t) { return t.exec_prepared("mark_feedback_read", id).affected_rows() > 0; });
}

std::optional<std::string> PostgresStore::LatestVersion() {
    Lease db(*this);
    return db.Run([&](pqxx::transaction_base& t) {
        const auto rows = t.exec_prepared("get_setting", "latest_version");
        return rows.empty() ? std::string() : Bytes(rows[0][0]);
    });
}

bool PostgresStore::SetLatestVersion(const std::string& version) {
    Lease db(*this);
    return db
        .Run([&](pqxx::transaction_base& t) {
            t.exec_prepared("set_setting", "latest_version", Bytes(version));
            return true;
        })
        .value_or(false);
}

std::optional<Announcement> PostgresStore::GetAnnouncement() {
    Lease db(*this);
    // One statement reads all four settings from one snapshot.
    return db.Run([&](pqxx::transaction_base& t) {
        Announcement announcement;
        for (const auto& row : t.exec_prepared("get_settings_like", "announcement\\_%")) {
            const std::string name = row[0].as<std::string>();
            std::string value = Bytes(row[1]);
            if (name == "announcement_image") {
                announcement.image = std::move(value);
            } else if (name == "announcement_image_type") {
                announcement.image_type = std::move(value);
            } else if (name == "announcement_link") {
                announcement.link = std::move(value);
            } else if (name == "announcement_shown") {
                announcement.shown = value == "1";
            }
        }
        return announcement;
    });
}

bool PostgresStore::SetAnnouncement(const Announcement& announcement) {
    Lease db(*this);
    return db
        .Run<pqxx::work>([&](pqxx::transaction_base& t) {
            t.exec_prepared("set_setting", "announcement_image", Bytes(announcement.image));
            t.exec_prepared("set_setting", "announcement_image_type", Bytes(announcement.image_type));
            t.exec_prepared("set_setting", "announcement_link", Bytes(announcement.link));
            t.exec_prepared("set_setting", "announcement_shown", Bytes(announcement.shown ? "1" : "0"));
            return true;
        })
        .value_or(false);
}

std::optional<std::string> PostgresStore::ConsolePasswordHash() {
    Lease db(*this);
    return db.Run([&](pqxx::transaction_base& t) {
        const auto rows = t.exec_prepared("get_setting", "console_password");
        return rows.empty() ? std::string() : Bytes(rows[0][0]);
    });
}

bool PostgresStore::SetConsolePasswordHash(const std::string& hash) {
    Lease db(*this);
    return db
        .Run([&](pqxx::transaction_base& t) {
            t.exec_prepared("set_setting", "console_password", Bytes(hash));
            return true;
        })
        .value_or(false);
}

bool PostgresStore::AddConsoleSession(const ConsoleSession& session, std::int64_t idle_before, std::size_t keep) {
    Lease db(*this);
    return db
        .Run<pqxx::work>([&](pqxx::transaction_base& t) {
            t.exec_prepared("drop_idle_sessions", idle_before);
            t.exec_prepared("drop_oldest_sessions", Limit(keep > 0 ? keep - 1 : 0));
            t.exec_prepared("add_session", session.id_hash, session.csrf, session.password_hash, session.started,
                            session.last_seen);
            return true;
        })
        .value_or(false);
}

std::optional<bool> PostgresStore::TouchConsoleSession(const std::string& id_hash,
                                                       std::int64_t now,
                                                       std::int64_t idle_before,
                                                       ConsoleSession& found) {
    Lease db(*this);
    return db.Run([&](pqxx::transaction_base& t) {
        const auto rows = t.exec_prepared("touch_session", id_hash, now, idle_before);
        if (rows.empty()) {
            return false;
        }
        found = ConsoleSession{.id_hash = id_hash,
                               .csrf = rows[0][0].as<std::string>(),
                               .password_hash = rows[0][1].as<std::string>(),
                               .started = rows[0][2].as<std::int64_t>(),
                               .last_seen = rows[0][3].as<std::int64_t>()};
        return true;
    });
}

bool PostgresStore::EndConsoleSession(const std::string& id_hash) {
    Lease db(*this);
    return db
        .Run([&](pqxx::transaction_base& t) {
            t.exec_prepared("end_session", id_hash);
            return true;
        })
        .value_or(false);
}

bool PostgresStore::ChangeSignInCount(const std::string& address,
                                      std::int64_t forget_before,
                                      const SignInChange& change) {
    Lease db(*this);
    return db
        .Run<pqxx::work>([&](pqxx::transaction_base& t) {
            t.exec_prepared("forget_sign_ins", forget_before);
            t.exec_prepared("make_sign_in", address);
            const auto row = t.exec_prepared1("lock_sign_in", address);
            const std::optional<SignInCount> changed =
                change(SignInCount{.failures = row[0].as<int>(),
                                   .last = row[1].as<std::int64_t>(),
                                   .next_allowed = row[2].as<std::int64_t>(),
                                   .in_flight_until = row[3].as<std::int64_t>()});
            if (changed) {
                t.exec_prepared("set_sign_in", address, changed->failures, changed->last, changed->next_allowed,
                                changed->in_flight_until);
            } else {
                t.exec_prepared("drop_sign_in", address);
            }
            return true;
        })
        .value_or(false);
}

}  // namespace yz::server
