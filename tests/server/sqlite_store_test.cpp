// The SQLite store on its own: what survives a restart, paging, and databases it must refuse.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "server/escape.h"
#include "server/live_server.h"
#include "server/store/sqlite_store.h"
#include "support/temp_dir.h"

namespace yz::test {
namespace {

using server::SqliteStore;

class SqliteStoreTest : public ::testing::Test {
  protected:
    std::unique_ptr<SqliteStore> Open() {
        std::string error;
        auto store = SqliteStore::Open(path_, error);
        EXPECT_TRUE(store) << error;
        return store;
    }

    TempDir dir_;
    std::string path_ = (dir_.native() / "store.sqlite").string();
};

TEST_F(SqliteStoreTest, EverythingSurvivesAReopen) {
    {
        auto store = Open();
        ASSERT_TRUE(store->AddWork({.pen_name = "砚生", .work_name = "春秋", .motto = "", .link = "http://a/"}));
        ASSERT_TRUE(store->AddRecord("http://a/", "墨客"));
        ASSERT_TRUE(store->AddFeedback({.nickname = "n", .text = "t\r\nu", .address = "127.0.0.1"}));
        ASSERT_TRUE(store->SetLatestVersion("4.3"));
        ASSERT_TRUE(store->SetAnnouncement(
            {.image = std::string("\0\1\2", 3), .image_type = "png", .link = "l", .shown = true}));
    }
    auto store = Open();
    const auto works = store->ListWorks(0, 10);
    ASSERT_TRUE(works && works->size() == 1u);
    EXPECT_EQ((*works)[0].pen_name, "砚生");
    EXPECT_EQ((*works)[0].motto, "");
    EXPECT_GT((*works)[0].published_at, 0);
    EXPECT_EQ(store->ListRecords("http://a/", 10), std::vector<std::string>{"墨客"});
    const auto feedback = store->ListFeedback(0, 10);
    ASSERT_TRUE(feedback && feedback->size() == 1u);
    EXPECT_EQ((*feedback)[0].text, "t\r\nu");
    EXPECT_EQ(store->LatestVersion(), "4.3");
    const auto announcement = store->GetAnnouncement();
    ASSERT_TRUE(announcement);
    EXPECT_EQ(announcement->image, std::string("\0\1\2", 3));
    EXPECT_EQ(announcement->image_type, "png");
    EXPECT_TRUE(announcement->shown);
}

TEST_F(SqliteStoreTest, WorksPageNewestFirstAndDeleteTellsWhetherThereWasOne) {
    auto store = Open();
    for (int i = 1; i <= 5; ++i) {
        ASSERT_EQ(store->AddWork({.pen_name = std::to_string(i), .work_name = "w", .motto = "", .link = "l"}), i);
    }
    const auto first = store->ListWorks(0, 2);
    ASSERT_TRUE(first && first->size() == 2u);
    EXPECT_EQ((*first)[0].id, 5);
    EXPECT_EQ((*first)[1].id, 4);
    const auto rest = store->ListWorks(4, 10);
    ASSERT_TRUE(rest && rest->size() == 3u);
    EXPECT_EQ((*rest)[0].id, 3);
    EXPECT_EQ(store->DeleteWork(3), true);
    EXPECT_EQ(store->DeleteWork(3), false);
    EXPECT_EQ(store->ListWorks(0, 10)->size(), 4u);
    const auto id = store->AddFeedback({.nickname = "n", .text = "t"});
    ASSERT_TRUE(id);
    EXPECT_EQ(store->DeleteFeedback(*id), true);
    EXPECT_EQ(store->DeleteFeedback(*id), false);
}

TEST_F(SqliteStoreTest, UnwritableDatabasesAreRefusedWithTheirPath) {
    { Open(); }
    const auto before = std::filesystem::file_size(path_);
    ASSERT_EQ(chmod(path_.c_str(), 0444), 0);
    std::string error;
    EXPECT_FALSE(SqliteStore::Open(path_, error));
    EXPECT_NE(error.find(path_), std::string::npos) << error;
    EXPECT_NE(error.find("read-only"), std::string::npos) << error;
    EXPECT_EQ(std::filesystem::file_size(path_), before);

    const std::string missing_dir = (dir_.native() / "missing" / "db.sqlite").string();
    error.clear();
    EXPECT_FALSE(SqliteStore::Open(missing_dir, error));
    EXPECT_NE(error.find(missing_dir), std::string::npos) << error;

    error.clear();
    EXPECT_FALSE(SqliteStore::Open(dir_.native().string(), error));
    EXPECT_NE(error.find("directory"), std::string::npos) << error;

    const std::string not_a_database = (dir_.native() / "notes.txt").string();
    std::ofstream(not_a_database) << "these are not the pages of a database, just a text file long enough";
    error.clear();
    EXPECT_FALSE(SqliteStore::Open(not_a_database, error));
    EXPECT_NE(error.find(not_a_database), std::string::npos) << error;
}

TEST(ConcurrencyTest, ConcurrentPublishersAndVisitorsAreAllStored) {
    LiveServer server;
    constexpr int kThreads = 8;
    constexpr int kEach = 20;
    std::vector<std::thread> threads;
    std::vector<int> acknowledged(kThreads, 0);
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            // Eight writers on eight machines, each publishing its hourly quota.
            const std::string source = "127.0.0." + std::to_string(t + 2);
            for (int i = 0; i < kEach; ++i) {
                const std::string pen = "p" + std::to_string(t) + "-" + std::to_string(i);
                const std::string link = "http://a.com/" + pen;
                const Reply published =
                    server.Get("/tjfb.asp?zz=" + pen + "&sm=" + Escape("春 秋") + "&fy=&zplj=" + link, source);
                const Reply recorded = server.Get("/tjjl.asp?zplj=http://a.com/shared&zznc=" + pen + "~", source);
                acknowledged[t] += published.body == "作品发布成功!" && recorded.body == "添加记录成功!";
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    for (int t = 0; t < kThreads; ++t) {
        EXPECT_EQ(acknowledged[t], kEach) << "thread " << t;
    }
    const auto works = server.store().ListWorks(0, 1000);
    ASSERT_TRUE(works);
    EXPECT_EQ(works->size(), static_cast<std::size_t>(kThreads * kEach));
    const std::string showcase = server.Get("/cxzp.asp").body;
    const std::string records = server.Get("/cxjl.asp?zplj=http://a.com/shared").body;
    for (int t = 0; t < kThreads; ++t) {
        for (int i = 0; i < kEach; ++i) {
            const std::string pen = "p" + std::to_string(t) + "-" + std::to_string(i);
            EXPECT_NE(showcase.find(pen + "|春 秋||http://a.com/" + pen), std::string::npos) << pen;
            EXPECT_NE(records.find(pen + "~"), std::string::npos) << pen;
        }
    }
}

}  // namespace
}  // namespace yz::test
