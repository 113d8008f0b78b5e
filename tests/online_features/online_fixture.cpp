#include "online_features/online_fixture.h"

#include "online/web_answers.h"
#include "online/web_requests.h"
#include "runtime/convert.h"
#include "runtime/net.h"

namespace yz::test {

OnlineTest::OnlineTest() : database_((dir_.native() / "server.db").string()) {
    server_ = std::make_unique<ServerProcess>(database_);
    EXPECT_TRUE(server_->started()) << server_->output();
    deployment_.server_base_address = ServerAddress();
    deployment_.ip_lookup_address = ServerAddress() + "/ip";
    deployment_.tutorial_address = ServerAddress() + "/tutorial";
}

Text OnlineTest::ServerAddress() const {
    return "http://127.0.0.1:" + std::to_string(server_->port());
}

std::string OnlineTest::Admin(const std::vector<std::string>& arguments) {
    std::vector<std::string> words = {"--database", database_};
    words.insert(words.end(), arguments.begin(), arguments.end());
    const ProgramRun run = RunServerProgram(words);
    EXPECT_EQ(run.exit_code, 0) << run.out << run.errors;
    return run.exit_code == 0 ? run.out : std::string();
}

Text OnlineTest::Fetch(const Text& address) const {
    return ToText(HttpReadFile(address));
}

bool OnlineTest::PublishElsewhere(const Text& pen_name, const Text& work_name, const Text& motto, const Text& link) {
    return IsAcknowledgement(HttpReadFile(PublishAddress(ServerAddress(), pen_name, work_name, motto, link)),
                             kWorkPublishedAnswer);
}

bool OnlineTest::RecordVisitElsewhere(const Text& link, const Text& visitor) {
    return IsAcknowledgement(HttpReadFile(AddRecordAddress(ServerAddress(), link, visitor)), kRecordAddedAnswer);
}

Text OnlineTest::Records(const Text& link) const {
    return Fetch(RecordsQueryAddress(ServerAddress(), link));
}

Text OnlineTest::Ticker() const {
    return GetText(desktop_, ui::播报标签, Property::kText);
}

int OnlineTest::Period(const ControlRef& timer) const {
    return static_cast<int>(GetNumber(desktop_, timer, Property::kPeriod));
}

}  // namespace yz::test
