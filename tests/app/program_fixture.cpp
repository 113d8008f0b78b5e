#include "app/program_fixture.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "runtime/datagram_socket.h"
#include "runtime/files.h"

namespace yz::test {

ProgramTest::ProgramTest() : deployment_(DefaultDeployment()) {
    SetProgramDirectory(dir_.path());
    deployment_.lock_file_path = dir_.File("lock");
    // Chat datagrams stay on loopback, on a port no other test process uses at the moment.
    deployment_.broadcast_address = "127.255.255.255";
    deployment_.broadcast_port = DatagramSocket(0).port();
    // No server unless a test starts one: an address without a host is never probed or fetched,
    // so start-up takes its offline path without sending anything.
    deployment_.server_base_address = "http://";
    deployment_.ip_lookup_address = "http://";
    deployment_.tutorial_address = "http://";
    desktop_.SetLocalDateTime(DateTime{2026, 12, 8, 14, 30, 0});
}

ProgramTest::~ProgramTest() {
    SetProgramDirectory("");
}

bool ProgramTest::Start() {
    program_ = std::make_unique<Program>(desktop_, deployment_);
    return program_->Start();
}

Text ProgramTest::EditorText() const {
    return GetText(desktop_, ui::主编框, Property::kText);
}

Text ProgramTest::StatusLine() const {
    return GetText(desktop_, ui::标题标签, Property::kText);
}

MessageBoxRecord ProgramTest::LastMessageBox() const {
    return desktop_.message_boxes().empty() ? MessageBoxRecord{} : desktop_.message_boxes().back();
}

void ProgramTest::WriteConfig(const Text& content) {
    ASSERT_TRUE(WriteFileBytes(dir_.File("砚舟文匣配置文件"), {content}));
}

std::vector<Text> ProgramTest::RescuedTexts() const {
    std::vector<Text> texts;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(NativePath(dir_.File("砚舟文匣备份")), error)) {
        std::ifstream in(entry.path(), std::ios::binary);
        texts.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::sort(texts.begin(), texts.end());
    return texts;
}

}  // namespace yz::test
