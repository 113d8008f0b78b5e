#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <vector>

#include "app/program_fixture.h"
#include "runtime/fatal_error.h"
#include "support/test_text.h"

namespace yz::test {
namespace {

using namespace ui;

struct Fault {
    const char* name;
    std::function<void()> fault;
    Text box;
};

class FatalErrorTest : public ProgramTest, public ::testing::WithParamInterface<Fault> {};

// A fault in a handler ends the program with -1 after the last-resort box, and the editor's text
// is in a rescue file by then: without this, the text typed since the last Enter is gone.
TEST_P(FatalErrorTest, TheTextIsRescuedAndTheBoxSaysWhatHappened) {
    ASSERT_TRUE(Start());
    ASSERT_TRUE(desktop_.TypeText(主编框, "写了一半的章节"));
    desktop_.InjectFault(GetParam().fault);
    desktop_.QueueMessageBoxAnswer(kResultOk);
    desktop_.PressKey(主编框, 'A');
    EXPECT_EQ(Show(LastMessageBox().text), Show(GetParam().box));
    EXPECT_EQ(LastMessageBox().caption, "错误");
    EXPECT_EQ(LastMessageBox().flags & 0xFF, kMbOk | kMbIconError);
    EXPECT_TRUE(desktop_.ended());
    EXPECT_EQ(desktop_.exit_code(), -1);
    EXPECT_EQ(RescuedTexts(), std::vector<Text>{"写了一半的章节"});
}

INSTANTIATE_TEST_SUITE_P(
    Faults,
    FatalErrorTest,
    ::testing::Values(Fault{"OutOfRange",
                            [] {
                                const std::vector<Text> list{"only"};
                                (void)list.at(1);
                            },
                            "运行时出错!\r\n\r\n错误代码：1\r\n\r\n错误信息：数组成员引用下标超出定义范围\r\n"},
                      Fault{"Allocation", [] { FailAllocation(123456789); }, "分配 123456789 字节内存失败!"},
                      Fault{"OtherException", [] { throw std::runtime_error("boom"); },
                            "运行时出错!\r\n\r\n错误代码：2\r\n\r\n错误信息：未处理的程序异常 boom\r\n"}),
    [](const ::testing::TestParamInfo<Fault>& fault) { return std::string(fault.param.name); });

}  // namespace
}  // namespace yz::test
