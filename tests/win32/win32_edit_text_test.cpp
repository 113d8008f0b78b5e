// The editor's text as the program reads it stays the control's text through every kind of
// change, typed characters (which the desktop follows without reading the text again) and all
// the others, and a content-changed handler already sees the change.

#include "win32/win32_test_window.h"

namespace yz::testing {
namespace {

class EditTextTest : public DesktopTest {
  protected:
    void SetUp() override {
        DesktopTest::SetUp();
        Load();
        notes_ = Hwnd("备注");
        desktop_->Bind({kWindow, "备注"}, EventKind::kContentChanged, [this](const Event&) {
            ++changes_;
            if (TextOf("备注") != Fresh() || desktop_->EditText({kWindow, "备注"}) != Fresh()) {
                ++stale_in_handler_;
            }
            return true;
        });
        SetText("备注", "第一行");
    }

    // The control's text read and converted whole.
    Text Fresh() const {
        std::wstring wide(static_cast<std::size_t>(GetWindowTextLengthW(notes_)) + 1, L'\0');
        wide.resize(static_cast<std::size_t>(GetWindowTextW(notes_, wide.data(), static_cast<int>(wide.size()))));
        return GbkFromWide(wide);
    }

    void Type(const std::wstring& characters) {
        for (const wchar_t character : characters) {
            SendMessageW(notes_, WM_CHAR, character, 1);
        }
    }

    void Select(int start, int end) { SendMessageW(notes_, EM_SETSEL, start, end); }

    HWND notes_ = nullptr;
    int changes_ = 0;
    int stale_in_handler_ = 0;
};

TEST_F(EditTextTest, TypedCharactersAtTheEndInTheMiddleAndOverASelection) {
    ASSERT_EQ(TextOf("备注"), "第一行");
    Select(3, 3);
    // ASCII, Chinese, Enter (CR LF), tab, both spaces, the euro sign (one GBK byte, 0x80) and a
    // character GBK lacks.
    Type(L"a\x4e2d\r\t \x3000\x20ac\x0e01z");
    EXPECT_EQ(TextOf("备注"), Fresh());
    EXPECT_EQ(TextOf("备注").substr(0, 13), "第一行a中\r\n\t ");

    Select(1, 1);
    Type(L"\x7aef");  // 端, between two Chinese characters
    Select(5, 9);
    Type(L"b");
    Select(0, -1);
    Type(L"\x7b2c");
    Type(L"\x4e8c\x884c");
    EXPECT_EQ(TextOf("备注"), "第二行");
    EXPECT_EQ(changes_, 15);  // the set text and every typed character
    EXPECT_EQ(stale_in_handler_, 0);
}

TEST_F(EditTextTest, EveryOtherChangeIsReadAgain) {
    Select(3, 3);
    Type(L"\x4e2d\x6587");
    SendMessageW(notes_, WM_CHAR, VK_BACK, 1);
    EXPECT_EQ(TextOf("备注"), "第一行中");
    Select(0, 0);
    SendMessageW(notes_, WM_KEYDOWN, VK_DELETE, 1);
    EXPECT_EQ(TextOf("备注"), "一行中");
    SendMessageW(notes_, EM_UNDO, 0, 0);
    EXPECT_EQ(TextOf("备注"), Fresh());
    SendMessageW(notes_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"\x7532\r\n"));
    EXPECT_EQ(TextOf("备注"), Fresh());

    SendMessageW(notes_, WM_IME_CHAR, 0x4e09, 1);  // 三 from an input method
    EXPECT_EQ(TextOf("备注"), Fresh());

    // A text set from outside the desktop, which a multi-line control does not announce.
    SendMessageW(notes_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"\x5916\x6765"));
    EXPECT_EQ(TextOf("备注"), "外来");
    Select(2, 2);
    Type(L"x");
    EXPECT_EQ(TextOf("备注"), "外来x");

    // A character outside the basic plane arrives in two halves; a pair is never split.
    Type(L"\xd840\xdc0b");
    Type(L"y");
    EXPECT_EQ(TextOf("备注"), Fresh());
    Select(4, 4);
    Type(L"z");
    EXPECT_EQ(TextOf("备注"), Fresh());
    EXPECT_EQ(stale_in_handler_, 0);
}

// Under Wine every separate paint is a push to the screen that reshapes a colour-keyed window: a
// typed character whose handler writes a label must leave nothing in the window to paint later.
TEST_F(EditTextTest, ACharacterAndTheLabelItsHandlerWritesArePaintedInOnePass) {
    desktop_->Bind({kWindow, "备注"}, EventKind::kContentChanged, [this](const Event&) {
        SetText("标签", TextOf("备注"));
        return true;
    });
    RedrawWindow(Hwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_INPUT | PM_QS_POSTMESSAGE)) {
        DispatchMessageW(&message);
    }
    Select(3, 3);
    Type(L"\x4e2d");
    EXPECT_EQ(TextOf("标签"), "第一行中");
    for (const char* name : {"", "备注", "标签"}) {
        EXPECT_FALSE(GetUpdateRect(Hwnd(name), nullptr, FALSE)) << "left to paint: " << name;
    }
}

}  // namespace
}  // namespace yz::testing
