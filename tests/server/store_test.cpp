// What every store keeps, run on SQLite and (in the PostgreSQL runs) on PostgreSQL: the bytes of
// every text, the feedback read flag, the console password, and a reopen that loses nothing.

#include <gtest/gtest.h>

#include <thread>

#include "server/live_server.h"
#include "server/store/open_store.h"
#include "support/temp_dir.h"

namespace yz::test {
namespace {

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

TEST_F(StoreTest, TwoStoresOnOneDatabaseSeeEachOthersWritesAtOnce) {
    auto first = Open();
    auto second = Open();
    ASSERT_TRUE(first && second);
    constexpr int kEach = 40;
    std::thread writer_a([&] {
        for (int i = 0; i < kEach; ++i) {
            ASSERT_TRUE(first->AddWork({.pen_name = "a" + std::to_string(i), .work_name = "w", .link = "l"}));
        }
    });
    std::thread writer_b([&] {
        for (int i = 0; i < kEach; ++i) {
            ASSERT_TRUE(second->AddRecord("http://x/", "b" + std::to_string(i)));
        }
    });
    writer_a.join();
    writer_b.join();
    EXPECT_EQ(second->ListWorks(0, 1000)->size(), static_cast<std::size_t>(kEach));
    EXPECT_EQ(first->ListRecords("http://x/", 1000)->size(), static_cast<std::size_t>(kEach));
    ASSERT_TRUE(first->SetAnnouncement({.image = "i", .image_type = "gif", .link = "x", .shown = true}));
    EXPECT_EQ(second->GetAnnouncement()->link, "x");
}

}  // namespace
}  // namespace yz::test
