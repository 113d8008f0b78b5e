#include "server/store/sqlite_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>

#include "server/store/group_commit.h"
#include "server/store/sqlite_connection.h"
#include "server/store/sqlite_group.h"

namespace yz::server {

namespace {

// The works stamp is bumped by triggers inside the transaction that adds or deletes the work.
const char* const kSchema = R"sql(
CREATE TABLE IF NOT EXISTS works(
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    pen_name BLOB NOT NULL, work_name BLOB NOT NULL, motto BLOB NOT NULL, link BLOB NOT NULL,
    address BLOB NOT NULL, published_at INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS records(
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    link BLOB NOT NULL, pen_name BLOB NOT NULL, added_at INTEGER NOT NULL,
    UNIQUE(link, pen_name));
CREATE TABLE IF NOT EXISTS feedback(
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    nickname BLOB NOT NULL, text BLOB NOT NULL, address BLOB NOT NULL, sent_at INTEGER NOT NULL,
    read INTEGER NOT NULL DEFAULT 0);
CREATE TABLE IF NOT EXISTS settings(name TEXT PRIMARY KEY, value BLOB NOT NULL);
CREATE TABLE IF NOT EXISTS console_sessions(
    id_hash BLOB PRIMARY KEY, csrf BLOB NOT NULL, password_hash BLOB NOT NULL,
    started INTEGER NOT NULL, last_seen INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS sign_in_counts(
    address BLOB PRIMARY KEY, failures INTEGER NOT NULL, last INTEGER NOT NULL,
    next_allowed INTEGER NOT NULL, in_flight_until INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS works_stamp(id INTEGER PRIMARY KEY CHECK(id = 1), stamp INTEGER NOT NULL);
INSERT OR IGNORE INTO works_stamp VALUES(1, 0);
CREATE TRIGGER IF NOT EXISTS works_added AFTER INSERT ON works BEGIN UPDATE works_stamp SET stamp = stamp + 1; END;
CREATE TRIGGER IF NOT EXISTS works_deleted AFTER DELETE ON works BEGIN UPDATE works_stamp SET stamp = stamp + 1; END;
)sql";

const char* const kSetSetting =
    "INSERT INTO settings(name, value) VALUES(?1, ?2) "
    "ON CONFLICT(name) DO UPDATE SET value = excluded.value";
const char* const kGetSetting = "SELECT value FROM settings WHERE name = ?1";

std::int64_t Now() {
    return static_cast<std::int64_t>(std::time(nullptr));
}

// The ids below `before_id`, with 0 meaning "from the newest on".
std::int64_t UpperBound(std::int64_t before_id) {
    return before_id > 0 ? before_id : INT64_MAX;
}

std::int64_t Limit(std::size_t limit) {
    return limit > static_cast<std::size_t>(INT64_MAX) ? INT64_MAX : static_cast<std::int64_t>(limit);
}

// The work in the seven columns from `first` on: id, pen_name, work_name, motto, link, address,
// published_at.
Work ReadWork(const Statement& row, int first) {
    return Work{.id = row.Integer(first),
                .pen_name = row.Bytes(first + 1),
                .work_name = row.Bytes(first + 2),
                .motto = row.Bytes(first + 3),
                .link = row.Bytes(first + 4),
                .address = row.Bytes(first + 5),
                .published_at = row.Integer(first + 6)};
}

bool SetSetting(SqliteConnection& db, const char* name, const std::string& value) {
    return db.Prepare(kSetSetting).Bind(1, std::string_view(name)).Bind(2, value).Run();
}

// The value of a setting, empty when it was never set; nullopt when the database fails.
std::optional<std::string> GetSetting(SqliteConnection& db, const char* name) {
    Statement statement = db.Prepare(kGetSetting);
    statement.Bind(1, std::string_view(name));
    const int result = statement.Step();
    if (result == SQLITE_ROW) {
        return statement.Bytes(0);
    }
    if (result == SQLITE_DONE) {
        return std::string();
    }
    return std::nullopt;
}

// Runs `body` in a write transaction taken at once (BEGIN IMMEDIATE), so two writers never both
// hold a read lock and then wait for each other to write.
template <typename Body>
bool InTransaction(SqliteConnection& db, Body body) {
    if (!db.Execute("BEGIN IMMEDIATE")) {
        return false;
    }
    if (!body() || !db.Execute("COMMIT")) {
        db.Execute("ROLLBACK");
        return false;
    }
    return true;
}

}  // namespace

// A connection borrowed from the pool for one operation.
class SqliteStore::Lease {
  public:
    explicit Lease(SqliteStore& store) : store_(store), connection_(store.Acquire()) {}
    ~Lease() {
        if (connection_) {
            store_.Release(std::move(connection_));
        }
    }
    Lease(const Lease&) = delete;
    Lease& operator=(const Lease&) = delete;

    explicit operator bool() const { return connection_ != nullptr; }
    SqliteConnection& operator*() { return *connection_; }

  private:
    SqliteStore& store_;
    std::unique_ptr<SqliteConnection> connection_;
};

std::unique_ptr<SqliteStore> SqliteStore::Open(const std::string& path, std::string& error) {
    struct stat info {};
    if (stat(path.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) {
            error = "database " + path + " is a directory";
            return nullptr;
        }
        if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
            error = "database " + path + " is read-only";
            return nullptr;
        }
    }
    // The database holds the console's password hash and the writers' addresses: it is made
    // readable by its owner only, and SQLite gives its -wal and -shm files the database's mode.
    if (path != ":memory:" && stat(path.c_str(), &info) != 0) {
        const int made = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (made >= 0) {
            close(made);
        }
    }
    std::string problem;
    auto connection = std::make_unique<SqliteConnection>(path, problem);
    if (problem.empty() && connection->ReadOnly()) {
        problem = "cannot be written";
    }
    if (problem.empty() && !connection->Execute(kSchema)) {
        problem = connection->LastError();
    }
    if (!problem.empty()) {
        error = "database " + path + ": " + problem;
        return nullptr;
    }
    std::unique_ptr<SqliteStore> store(new SqliteStore(path));
    store->Release(std::move(connection));
    return store;
}

SqliteStore::SqliteStore(std::string path)
    : path_(std::move(path)),
      // An in-memory database lives in one connection only, where the committer's own could not
      // see it: its writes go through the pool like every other operation.
      committer_(path_ == ":memory:"
                     ? nullptr
                     : std::make_unique<GroupCommitter<SqliteGroupSession>>(SqliteGroupSession(path_))) {}

SqliteStore::~SqliteStore() = default;

std::unique_ptr<SqliteConnection> SqliteStore::Acquire() {
    {
        std::lock_guard lock(mutex_);
        if (!idle_.empty()) {
            auto connection = std::move(idle_.back());
            idle_.pop_back();
            return connection;
        }
    }
    std::string error;
    auto connection = std::make_unique<SqliteConnection>(path_, error);
    return error.empty() ? std::move(connection) : nullptr;
}

void SqliteStore::Release(std::unique_ptr<SqliteConnection> connection) {
    std::lock_guard lock(mutex_);
    idle_.push_back(std::move(connection));
}

std::optional<std::int64_t> SqliteStore::Write(
    const std::function<std::optional<std::int64_t>(SqliteConnection&)>& write) {
    if (committer_) {
        return committer_->Submit(write);
    }
    Lease db(*this);
    return db ? write(*db) : std::nullopt;
}

std::optional<std::int64_t> SqliteStore::AddWork(const Work& work) {
    return Write([&](SqliteConnection& db) -> GroupResult {
        Statement insert = db.Prepare(
            "INSERT INTO works(pen_name, work_name, motto, link, address, published_at) "
            "VALUES(?1, ?2, ?3, ?4, ?5, ?6)");
        insert.Bind(1, work.pen_name).Bind(2, work.work_name).Bind(3, work.motto).Bind(4, work.link);
        insert.Bind(5, work.address).Bind(6, Now());
        if (!insert.Run()) {
            return std::nullopt;
        }
        return db.LastInsertId();
    });
}

std::optional<std::vector<Work>> SqliteStore::ListWorks(std::int64_t before_id, std::size_t limit) {
    Lease db(*this);
    if (!db) {
        return std::nullopt;
    }
    Statement select = (*db).Prepare(
        "SELECT id, pen_name, work_name, motto, link, address, published_at FROM works "
        "WHERE id < ?1 ORDER BY id DESC LIMIT ?2");
    select.Bind(1, UpperBound(before_id)).Bind(2, Limit(limit));
    std::vector<Work> works;
    int result = select.Step();
    for (; result == SQLITE_ROW; result = select.Step()) {
        works.push_back(ReadWork(select, 0));
    }
    if (result != SQLITE_DONE) {
        return std::nullopt;
    }
    return works;
}

std::optional<bool> SqliteStore::DeleteWork(std::int64_t id) {
    Lease db(*this);
    if (!db || !(*db).Prepare("DELETE FROM works WHERE id = ?1").Bind(1, id).Run()) {
        return std::nullopt;
    }
    return (*db).Changes() > 0;
}

std::optional<WorksSince> SqliteStore::WorksAfter(std::int64_t after_id, std::size_t limit) {
    Lease db(*this);
    if (!db) {
        return std::nullopt;
    }
    // One statement reads one snapshot; the stamp's row comes once with no work (id 0) when none
    // is newer.
    Statement select = (*db).Prepare(
        "SELECT s.stamp, COALESCE(w.id, 0), w.pen_name, w.work_name, w.motto, w.link, w.address, w.published_at "
        "FROM works_stamp AS s LEFT JOIN (SELECT * FROM works WHERE id > ?1 ORDER BY id DESC LIMIT ?2) AS w ON 1 "
        "ORDER BY w.id DESC");
    select.Bind(1, after_id).Bind(2, Limit(limit));
    std::optional<WorksSince> since;
    int result = select.Step();
    for (; result == SQLITE_ROW; result = select.Step()) {
        if (!since) {
            since = WorksSince{.stamp = select.Integer(0)};
        }
        if (select.Integer(1) != 0) {
            since->works.push_back(ReadWork(select, 1));
        }
    }
    if (result != SQLITE_DONE) {
        return std::nullopt;
    }
    return since;
}

bool SqliteStore::AddRecord(const std::string& link, const std::string& pen_name) {
    const GroupResult added = Write([&](SqliteConnection& db) -> GroupResult {
        const bool stored = db.Prepare(
                                  "INSERT INTO records(link, pen_name, added_at) VALUES(?1, ?2, ?3) "
                                  "ON CONFLICT(link, pen_name) DO NOTHING")
                                .Bind(1, link)
                                .Bind(2, pen_name)
                                .Bind(3, Now())
                                .Run();
        return stored ? GroupResult(0) : std::nullopt;
    });
    return added.has_value();
}

std::optional<std::vector<std::string>> SqliteStore::ListRecords(const std::string& link, std::size_t limit) {
    Lease db(*this);
    if (!db) {
        return std::nullopt;
    }
    Statement select = (*db).Prepare("SELECT pen_name FROM records WHERE link = ?1 ORDER BY id LIMIT ?2");
    select.Bind(1, link).Bind(2, Limit(limit));
    std::vector<std::string> names;
    int result = select.Step();
    for (; result == SQLITE_ROW; result = select.Step()) {
        names.push_back(select.Bytes(0));
    }
    if (result != SQLITE_DONE) {
        return std::nullopt;
    }
    return names;
}

std::optional<std::int64_t> SqliteStore::AddFeedback(const Feedback& feedback) {
    return Write([&](SqliteConnection& db) -> GroupResult {
        Statement insert = db.Prepare("INSERT INTO feedback(nickname, text, address, sent_at) VALUES(?1, ?2, ?3, ?4)");
        insert.Bind(1, feedback.nickname).Bind(2, feedback.text).Bind(3, feedback.address).Bind(4, Now());
        if (!insert.Run()) {
            return std::nullopt;
        }
        return db.LastInsertId();
    });
}

std::optional<std::vector<Feedback>> SqliteStore::ListFeedback(std::int64_t before_id, std::size_t limit) {
    Lease db(*this);
    if (!db) {
        return std::nullopt;
    }
    Statement select = (*db).Prepare(
        "SELECT id, nickname, text, address, sent_at, read FROM feedback WHERE id < ?1 ORDER BY id DESC LIMIT ?2");
    select.Bind(1, UpperBound(before_id)).Bind(2, Limit(limit));
    std::vector<Feedback> list;
    int result = select.Step();
    for (; result == SQLITE_ROW; result = select.Step()) {
        list.push_back(Feedback{.id = select.Integer(0),
                                .nickname = select.Bytes(1),
                                .text = select.Bytes(2),
                                .address = select.Bytes(3),
                                .sent_at = select.Integer(4),
                                .read = select.Integer(5) != 0});
    }
    if (result != SQLITE_DONE) {
        return std::nullopt;
    }
    return list;
}

std::optional<bool> SqliteStore::DeleteFeedback(std::int64_t id) {
    Lease db(*this);
    if (!db || !(*db).Prepare("DELETE FROM feedback WHERE id = ?1").Bind(1, id).Run()) {
        return std::nullopt;
    }
    return (*db).Changes() > 0;
}

std::optional<bool> SqliteStore::MarkFeedbackRead(std::int64_t id) {
    Lease db(*this);
    if (!db || !(*db).Prepare("UPDATE feedback SET read = 1 WHERE id = ?1").Bind(1, id).Run()) {
        return std::nullopt;
    }
    return (*db).Changes() > 0;
}

std::optional<std::string> SqliteStore::LatestVersion() {
    Lease db(*this);
    if (!db) {
        return std::nullopt;
    }
    return GetSetting(*db, "latest_version");
}

bool SqliteStore::SetLatestVersion(const std::string& version) {
    Lease db(*this);
    return db && SetSetting(*db, "latest_version", version);
}

std::optional<Announcement> SqliteStore::GetAnnouncement() {
    Lease db(*this);
    if (!db) {
        return std::nullopt;
    }
    // One read transaction, so the four settings come from the same commit.
    if (!(*db).Execute("BEGIN")) {
        return std::nullopt;
    }
    const auto image = GetSetting(*db, "announcement_image");
    const auto type = GetSetting(*db, "announcement_image_type");
    const auto link = GetSetting(*db, "announcement_link");
    const auto shown = GetSetting(*db, "announcement_shown");
    (*db).Execute("COMMIT");
    if (!image || !type || !link || !shown) {
        return std::nullopt;
    }
    return Announcement{.image = *image, .image_type = *type, .link = *link, .shown = *shown == "1"};
}

bool SqliteStore::SetAnnouncement(const Announcement& announcement) {
    Lease db(*this);
    return db && InTransaction(*db, [&] {
               return SetSetting(*db, "announcement_image", announcement.image) &&
                      SetSetting(*db, "announcement_image_type", announcement.image_type) &&
                      SetSetting(*db, "announcement_link", announcement.link) &&
                      SetSetting(*db, "announcement_shown", announcement.shown ? "1" : "0");
           });
}

std::optional<std::string> SqliteStore::ConsolePasswordHash() {
    Lease db(*this);
    if (!db) {
        return std::nullopt;
    }
    return GetSetting(*db, "console_password");
}

bool SqliteStore::SetConsolePasswordHash(const std::string& hash) {
    Lease db(*this);
    return db && SetSetting(*db, "console_password", hash);
}

bool SqliteStore::AddConsoleSession(const ConsoleSession& session, std::int64_t idle_before, std::size_t keep) {
    Lease db(*this);
    return db && InTransaction(*db, [&] {
               return (*db).Prepare("DELETE FROM console_sessions WHERE last_seen < ?1").Bind(1, idle_before).Run() &&
                      (*db)
                          .Prepare(
                              "DELETE FROM console_sessions WHERE id_hash IN (SELECT id_hash FROM console_sessions "
                              "ORDER BY started DESC, rowid DESC LIMIT -1 OFFSET ?1)")
                          .Bind(1, Limit(keep > 0 ? keep - 1 : 0))
                          .Run() &&
                      (*db)
                          .Prepare(
                              "INSERT INTO console_sessions(id_hash, csrf, password_hash, started, last_seen) "
                              "VALUES(?1, ?2, ?3, ?4, ?5)")
                          .Bind(1, session.id_hash)
                          .Bind(2, session.csrf)
                          .Bind(3, session.password_hash)
                          .Bind(4, session.started)
                          .Bind(5, session.last_seen)
                          .Run();
           });
}

std::optional<bool> SqliteStore::TouchConsoleSession(const std::string& id_hash,
                                                     std::int64_t now,
                                                     std::int64_t idle_before,
                                                     ConsoleSession& found) {
    Lease db(*this);
    if (!db) {
        return std::nullopt;
    }
    Statement touch = (*db).Prepare(
        "UPDATE console_sessions SET last_seen = ?2 WHERE id_hash = ?1 AND last_seen >= ?3 "
        "RETURNING csrf, password_hash, started, last_seen");
    touch.Bind(1, id_hash).Bind(2, now).Bind(3, idle_before);
    const int result = touch.Step();
    if (result == SQLITE_DONE) {
        return false;
    }
    if (result != SQLITE_ROW) {
        return std::nullopt;
    }
    found = ConsoleSession{.id_hash = id_hash,
                           .csrf = touch.Bytes(0),
                           .password_hash = touch.Bytes(1),
                           .started = touch.Integer(2),
                           .last_seen = touch.Integer(3)};
    // The update is done once the statement has run to its end.
    return touch.Step() == SQLITE_DONE ? std::optional<bool>(true) : std::nullopt;
}

bool SqliteStore::EndConsoleSession(const std::string& id_hash) {
    Lease db(*this);
    return db && (*db).Prepare("DELETE FROM console_sessions WHERE id_hash = ?1").Bind(1, id_hash).Run();
}

bool SqliteStore::ChangeSignInCount(const std::string& address,
                                    std::int64_t forget_before,
                                    const SignInChange& change) {
    Lease db(*this);
    return db && InTransaction(*db, [&] {
               if (!(*db).Prepare("DELETE FROM sign_in_counts WHERE last < ?1").Bind(1, forget_before).Run()) {
                   return false;
               }
               SignInCount count;
               {
                   Statement select = (*db).Prepare(
                       "SELECT failures, last, next_allowed, in_flight_until FROM sign_in_counts WHERE address = ?1");
                   select.Bind(1, address);
                   const int result = select.Step();
                   if (result == SQLITE_ROW) {
                       count = SignInCount{.failures = static_cast<int>(select.Integer(0)),
                                           .last = select.Integer(1),
                                           .next_allowed = select.Integer(2),
                                           .in_flight_until = select.Integer(3)};
                   } else if (result != SQLITE_DONE) {
                       return false;
                   }
               }
               const std::optional<SignInCount> changed = change(count);
               if (!changed) {
                   return (*db).Prepare("DELETE FROM sign_in_counts WHERE address = ?1").Bind(1, address).Run();
               }
               return (*db)
                   .Prepare(
                       "INSERT INTO sign_in_counts(address, failures, last, next_allowed, in_flight_until) "
                       "VALUES(?1, ?2, ?3, ?4, ?5) ON CONFLICT(address) DO UPDATE SET failures = excluded.failures, "
                       "last = excluded.last, next_allowed = excluded.next_allowed, "
                       "in_flight_until = excluded.in_flight_until")
                   .Bind(1, address)
                   .Bind(2, static_cast<std::int64_t>(changed->failures))
                   .Bind(3, changed->last)
                   .Bind(4, changed->next_allowed)
                   .Bind(5, changed->in_flight_until)
                   .Run();
           });
}

}  // namespace yz::server
