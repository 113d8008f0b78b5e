// What every store keeps, run on SQLite and (in the PostgreSQL runs) on PostgreSQL: the bytes of
// every text, the feedback read flag, the console password, a reopen that loses nothing, and writes
// committed in groups that each keep their own result.

#include <gtest/gtest.h>
#include <time.h>

#include <atomic>
#include <ctime>
#include <mutex>
#include <pqxx/pqxx>
#include <set>
#include <thread>

#include "server/live_server.h"
#include "server/store/group_commit.h"
#include "server/store/open_store.h"
#include "server/store/postgres_group.h"
#include "server/store/postgres_store.h"
#include "server/store/sqlite_group.h"
#include "support/temp_dir.h"

namespace yz::test {
namespace {

using server::GroupCommitter;
using server::GroupResult;

void PauseBriefly() {
    const timespec pause{.tv_sec = 0, .tv_nsec = 1'000'000};
    nanosleep(&pause, nullptr);
}

// Runs a group of writes on `session` in which one fails half-way, after its own insert; that
// write must be refused and leave nothing, the others must be stored with ids of their own. A
// write beyond the queue's limit is refused at once.
// `insert(connection, pen)` stores a work and gives its id; `fail(connection)` runs a statement
// the database refuses.
template <typename Session, typename Insert, typename Fail>
void ExpectOneFailedWriteUndoneAlone(Session session, Insert insert, Fail fail, server::Store& store) {
    constexpr int kOthers = 6;
    GroupCommitter<Session> committer(std::move(session), kOthers);
    // The first write holds the committer until the others are queued, so they form one group.
    std::atomic<bool> holding = false;
    std::atomic<bool> release = false;
    std::vector<GroupResult> results(kOthers + 1);
    std::vector<std::thread> writers;
    writers.emplace_back([&] {
        results[0] = committer.Submit([&](auto& db) {
            holding = true;
            while (!release) {
                PauseBriefly();
            }
            return insert(db, "held");
        });
    });
    const std::time_t deadline = std::time(nullptr) + 30;
    while (!holding && std::time(nullptr) < deadline) {
        PauseBriefly();
    }
    for (int i = 1; i <= kOthers; ++i) {
        writers.emplace_back([&, i] {
            results[i] = committer.Submit([&, i](auto& db) -> GroupResult {
                const GroupResult id = insert(db, "w" + std::to_string(i));
                return i == 3 && id ? fail(db) : id;
            });
        });
    }
    while (committer.Waiting() < kOthers && std::time(nullptr) < deadline) {
        PauseBriefly();
    }
    EXPECT_EQ(committer.Waiting(), static_cast<std::size_t>(kOthers)) << "the others wait for one group";
    EXPECT_FALSE(committer.Submit([&](auto& db) { return insert(db, "beyond"); })) << "a full queue refuses at once";
    release = true;
    for (auto& writer : writers) {
        writer.join();
    }
    std::set<std::int64_t> ids;
    for (int i = 0; i <= kOthers; ++i) {
        EXPECT_EQ(results[i].has_value(), i != 3) << "write " << i;
        if (results[i]) {
            ids.insert(*results[i]);
        }
    }
    EXPECT_EQ(ids.size(), static_cast<std::size_t>(kOthers)) << "each write has its own id";
    std::set<std::string> stored;
    for (const server::Work& work : store.ListWorks(0, 100).value_or(std::vector<server::Work>{})) {
        stored.insert(work.pen_name);
    }
    EXPECT_EQ(stored, (std::set<std::string>{"held", "w1", "w2", "w4", "w5", "w6"}));
}

class StoreTest : public ::testing::Test {
  protected:
    std::unique_ptr<server::Store> Open() {
        std::string error;
        auto store = server::OpenStore(database_, error);
        EXPECT_TRUE(store) << error;
        return store;
    }

    TempDir dir_;
    std::string database_ = TestDatabase(dir_);
};

TEST_F(StoreTest, EveryByteAndSettingSurvivesAReopen) {
    // GBK trail bytes that look like separators, a zero byte, quotes and backslashes: bytea and
    // blobs must give back exactly what went in.
    const std::string awkward("\x81\x7C\\'\"\x00\xFF", 7);
    {
        auto store = Open();
        ASSERT_TRUE(store);
        EXPECT_EQ(store->ConsolePasswordHash(), "") << "no password until one is set";
        ASSERT_TRUE(store->AddWork({.pen_name = "砚生", .work_name = awkward, .motto = "", .link = "http://a/"}));
        ASSERT_TRUE(store->AddRecord("http://a/", awkward));
        ASSERT_TRUE(store->AddRecord("http://a/", awkward)) << "a repeated visit succeeds";
        ASSERT_TRUE(store->AddFeedback({.nickname = "n", .text = "t\r\n" + awkward, .address = "127.0.0.1"}));
        ASSERT_TRUE(store->SetLatestVersion("4.3"));
        ASSERT_TRUE(store->SetAnnouncement({.image = awkward, .image_type = "png", .link = "链接", .shown = true}));
        ASSERT_TRUE(store->SetConsolePasswordHash("$argon2id$v=19$m=65536,t=2,p=1$c2FsdA$aGFzaA"));
    }
    auto store = Open();
    ASSERT_TRUE(store);
    const auto works = store->ListWorks(0, 10);
    ASSERT_TRUE(works && works->size() == 1u);
    EXPECT_EQ((*works)[0].pen_name, "砚生");
    EXPECT_EQ((*works)[0].work_name, awkward);
    EXPECT_GT((*works)[0].published_at, 0);
    EXPECT_EQ(store->ListRecords("http://a/", 10), std::vector<std::string>{awkward});
    const auto feedback = store->ListFeedback(0, 10);
    ASSERT_TRUE(feedback && feedback->size() == 1u);
    EXPECT_EQ((*feedback)[0].text, "t\r\n" + awkward);
    EXPECT_FALSE((*feedback)[0].read);
    EXPECT_EQ(store->LatestVersion(), "4.3");
    const auto announcement = store->GetAnnouncement();
    ASSERT_TRUE(announcement);
    EXPECT_EQ(announcement->image, awkward);
    EXPECT_EQ(announcement->image_type, "png");
    EXPECT_EQ(announcement->link, "链接");
    EXPECT_TRUE(announcement->shown);
    EXPECT_EQ(store->ConsolePasswordHash(), "$argon2id$v=19$m=65536,t=2,p=1$c2FsdA$aGFzaA");
}

TEST_F(StoreTest, PagingDeletingAndMarkingAsReadSayWhetherThereWasOne) {
    auto store = Open();
    ASSERT_TRUE(store);
    std::vector<std::int64_t> ids;
    for (int i = 1; i <= 5; ++i) {
        const auto id = store->AddWork({.pen_name = std::to_string(i), .work_name = "w", .motto = "", .link = "l"});
        ASSERT_TRUE(id);
        ASSERT_TRUE(ids.empty() || *id > ids.back()) << "ids grow with every publish";
        ids.push_back(*id);
    }
    const auto first = store->ListWorks(0, 2);
    ASSERT_TRUE(first && first->size() == 2u);
    EXPECT_EQ((*first)[0].pen_name, "5");
    EXPECT_EQ((*first)[1].pen_name, "4");
    const auto rest = store->ListWorks((*first)[1].id, 10);
    ASSERT_TRUE(rest && rest->size() == 3u);
    EXPECT_EQ((*rest)[0].pen_name, "3");
    EXPECT_EQ(store->DeleteWork(ids[2]), true);
    EXPECT_EQ(store->DeleteWork(ids[2]), false);
    EXPECT_EQ(store->ListWorks(0, 10)->size(), 4u);

    const auto older = store->AddFeedback({.nickname = "a", .text = "older"});
    const auto newer = store->AddFeedback({.nickname = "b", .text = "newer"});
    ASSERT_TRUE(older && newer);
    EXPECT_EQ(store->MarkFeedbackRead(*older), true);
    EXPECT_EQ(store->MarkFeedbackRead(*older), true) << "marking twice is no error";
    EXPECT_EQ(store->MarkFeedbackRead(*newer + 100), false);
    const auto list = store->ListFeedback(0, 10);
    ASSERT_TRUE(list && list->size() == 2u);
    EXPECT_EQ((*list)[0].text, "newer");
    EXPECT_FALSE((*list)[0].read);
    EXPECT_EQ((*list)[1].text, "older");
    EXPECT_TRUE((*list)[1].read);
    EXPECT_EQ(store->DeleteFeedback(*older), true);
    EXPECT_EQ(store->MarkFeedbackRead(*older), false);
}

// A write is acknowledged only once the commit holding it is done: the other store, on its own
// connection, reads it at once. Writers at once on one store share groups, each with its own id.
TEST_F(StoreTest, TwoStoresOnOneDatabaseSeeEachOthersWritesAtOnce) {
    auto first = Open();
    auto second = Open();
    ASSERT_TRUE(first && second);
    constexpr int kWriters = 8;
    constexpr int kEach = 10;
    std::mutex ids_mutex;
    std::set<std::int64_t> ids;
    std::vector<std::thread> writers;
    for (int w = 0; w < kWriters; ++w) {
        writers.emplace_back([&, w] {
            server::Store& mine = w % 2 == 0 ? *first : *second;
            server::Store& other = w % 2 == 0 ? *second : *first;
            const std::string link = "http://x/" + std::to_string(w);
            for (int i = 0; i < kEach; ++i) {
                const std::string pen = std::to_string(w) + "-" + std::to_string(i);
                const auto id = mine.AddWork({.pen_name = pen, .work_name = "w", .link = "l"});
                ASSERT_TRUE(id) << pen;
                const auto seen = other.ListWorks(*id + 1, 1);
                EXPECT_TRUE(seen && seen->size() == 1u && (*seen)[0].id == *id && (*seen)[0].pen_name == pen) << pen;
                ASSERT_TRUE(mine.AddRecord(link, pen)) << pen;
                const auto names = other.ListRecords(link, 100);
                EXPECT_TRUE(names && !names->empty() && names->back() == pen) << pen;
                std::lock_guard lock(ids_mutex);
                ids.insert(*id);
            }
        });
    }
    for (auto& writer : writers) {
        writer.join();
    }
    EXPECT_EQ(ids.size(), static_cast<std::size_t>(kWriters * kEach));
    ASSERT_TRUE(first->SetAnnouncement({.image = "i", .image_type = "gif", .link = "x", .shown = true}));
    EXPECT_EQ(second->GetAnnouncement()->link, "x");
}

// A savepoint per write: one write failing half-way in a group is undone alone.
TEST_F(StoreTest, AWriteFailingInAGroupIsUndoneAloneAndTheOthersAreStored) {
    auto store = Open();  // makes the tables
    ASSERT_TRUE(store);
    if (server::IsPostgresUri(database_)) {
        ExpectOneFailedWriteUndoneAlone(
            server::PostgresGroupSession([&] { return std::make_unique<pqxx::connection>(database_); }),
            [](pqxx::transaction_base& t, const std::string& pen) -> GroupResult {
                return t
                    .exec_params1(
                        "INSERT INTO works(pen_name, work_name, motto, link, address, published_at) "
                        "VALUES($1, '', '', '', '', 0) RETURNING id",
                        pqxx::binarystring(pen))[0]
                    .as<std::int64_t>();
            },
            [](pqxx::transaction_base& t) -> GroupResult {
                t.exec("INSERT INTO no_such_table VALUES(1)");
                return 0;
            },
            *store);
        return;
    }
    ExpectOneFailedWriteUndoneAlone(
        server::SqliteGroupSession(database_),
        [](server::SqliteConnection& db, const std::string& pen) -> GroupResult {
            const bool stored = db.Prepare(
                                      "INSERT INTO works(pen_name, work_name, motto, link, address, published_at) "
                                      "VALUES(?1, '', '', '', '', 0)")
                                    .Bind(1, pen)
                                    .Run();
            return stored ? GroupResult(db.LastInsertId()) : std::nullopt;
        },
        [](server::SqliteConnection& db) -> GroupResult {
            return db.Execute("INSERT INTO no_such_table VALUES(1)") ? GroupResult(0) : std::nullopt;
        },
        *store);
}

}  // namespace
}  // namespace yz::test
