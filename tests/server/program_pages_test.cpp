// The program's side of every page against the real yanzhou-server: the requests the program
// builds, fetched with its HttpReadFile, read with its answer readers.

#include <gtest/gtest.h>

#include <signal.h>

#include <fstream>

#include "online/reachability.h"
#include "online/web_pages.h"
#include "runtime/encoding.h"
#include "server/server_process.h"
#include "support/temp_dir.h"
#include "support/test_text.h"

namespace yz::test {
namespace {

class ProgramPagesTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(server_.started()) << server_.output(); }
    void TearDown() override { server_.Stop(SIGTERM); }

    ProgramRun Admin(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"--database", database_});
        return RunServerProgram(arguments);
    }

    TempDir dir_;
    std::string database_ = (dir_.native() / "server.sqlite").string();
    ServerProcess server_{database_};
    Text base_ = "http://127.0.0.1:" + std::to_string(server_.port());
};

// Values holding "&", "=", "#", "%", "+" and spaces reach the server whole and come back as they
// were sent.
TEST_F(ProgramPagesTest, PublishedWorksComeBackWhole) {
    const Text link = "http://example.com/book?id=7&ch=2#chapter";
    const Text motto = "求点击 有访必回=100%+";
    ASSERT_TRUE(PublishWork(base_, "青灯", "砚舟记", motto, link));
    ASSERT_TRUE(PublishWork(base_, "白马", "夜航", "", "http://example.com/2"));
    const TextList works = FetchWorksList(base_);
    ASSERT_EQ(works.size(), 2u);
    EXPECT_EQ(ReadWorkEntry(works[0]), (WorkEntry{"白马", "夜航", "", "http://example.com/2"})) << Show(works[0]);
    EXPECT_EQ(ReadWorkEntry(works[1]), (WorkEntry{"青灯", "砚舟记", motto, link})) << Show(works[1]);

    // A field that would break the list is refused, and the program reads the refusal as failure.
    EXPECT_FALSE(PublishWork(base_, "青|灯", "w", "m", "http://example.com/3"));
    EXPECT_EQ(FetchWorksList(base_).size(), 2u);
}

TEST_F(ProgramPagesTest, MutualHelpRecordsAndFeedback) {
    const Text link = "http://example.com/book?id=7&ch=2";
    EXPECT_EQ(FetchRecordsText(base_, link), "");
    ASSERT_TRUE(AddRecord(base_, link, "白马"));
    ASSERT_TRUE(AddRecord(base_, link, "青灯"));
    EXPECT_EQ(FetchRecordsText(base_, link), "白马~青灯~");
    EXPECT_EQ(FetchRecordsText(base_, "http://example.com/book?id=7"), "");

    ASSERT_TRUE(SendFeedback(base_, "读者&1", "第一行\r\n第二行 100%"));
    const ProgramRun listed = Admin({"list-feedback"});
    EXPECT_EQ(listed.exit_code, 0) << listed.errors;
    EXPECT_NE(listed.out.find(Utf8FromGbk("读者&1")), std::string::npos) << listed.out;
    EXPECT_NE(listed.out.find(Utf8FromGbk("第二行 100%")), std::string::npos) << listed.out;
}

TEST_F(ProgramPagesTest, VersionAnnouncementAndAddress) {
    EXPECT_FALSE(NewerVersionPublished(base_, "4.2"));
    ASSERT_EQ(Admin({"set-version", "4.2"}).exit_code, 0);
    EXPECT_FALSE(NewerVersionPublished(base_, "4.2"));
    ASSERT_EQ(Admin({"set-version", "4.3"}).exit_code, 0);
    EXPECT_TRUE(NewerVersionPublished(base_, "4.2"));

    static const char kPicture[] =
        "GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\xff\xff\x00\x00\x00!\xf9\x04\x01\x00\x00\x00\x00,"
        "\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00;";
    const std::string picture(kPicture, sizeof kPicture - 1);
    const auto image_file = dir_.native() / "gg.gif";
    std::ofstream(image_file, std::ios::binary) << picture;
    const ProgramRun set =
        Admin({"set-announcement", "--image", image_file.string(), "--link", "http://example.com/gg", "--show", "yes"});
    ASSERT_EQ(set.exit_code, 0) << set.errors;
    const std::optional<Announcement> announcement = FetchAnnouncement(base_);
    ASSERT_TRUE(announcement);
    EXPECT_TRUE(announcement->shown);
    EXPECT_EQ(announcement->link_address, "http://example.com/gg");
    EXPECT_EQ(FetchAnnouncementImage(base_, announcement->image_path), BytesOf(picture));

    EXPECT_EQ(FetchAddressText(base_ + "/ip"), "127.0.0.1] 来自：本机");
    EXPECT_TRUE(WebServerReachable(base_));
}

}  // namespace
}  // namespace yz::test
