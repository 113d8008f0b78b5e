#include "ui/names.h"
#include "ui/templates.h"

namespace yz::ui {

namespace {

using E = EventKind;
using K = ControlKind;

}  // namespace

const WindowTemplate& BackdropWindowTemplate() {
    static const WindowTemplate window{
        .name = kBackdropWindow,
        .rect = {0, 0, 455, 600},
        .start_position = 1,
        .border_style = 0,
        .background = kWhite,
        .picture = kBackdropPicture,
        .icon = kBackdropIcon,
        .events = {E::kCreated, E::kGotFocus, E::kTray},
    };
    return window;
}

const WindowTemplate& AnnouncementWindowTemplate() {
    static const WindowTemplate window{
        .name = kAnnouncementWindow,
        .rect = {0, 0, 360, 260},
        .start_position = 1,
        .border_style = 0,
        .events = {E::kCreated, E::kLeftButtonUp, E::kRightButtonUp},
    };
    return window;
}

const WindowTemplate& FeedbackWindowTemplate() {
    static const WindowTemplate window{
        .name = kFeedbackWindow,
        .rect = {0, 0, 380, 250},
        .start_position = 1,
        .border_style = 2,
        .controls =
            {
                {.name = "提交按钮",
                 .kind = K::kButton,
                 .rect = {266, 17, 75, 26},
                 .text = "提交",
                 .events = {E::kClicked}},
                {.name = "正文框",
                 .kind = K::kEditBox,
                 .rect = {90, 66, 257, 142},
                 .text_colour = 0x00FF00,
                 .back_colour = 0x80A080,
                 .font = FontSpec{.face = "微软雅黑", .height_px = 16},
                 .input_limit = 180,
                 .multi_line = true},
                {.name = "昵称框",
                 .kind = K::kEditBox,
                 .rect = {90, 18, 130, 26},
                 .text_colour = 0xFF00FF,
                 .back_colour = 0x00D8D8,
                 .input_limit = 20,
                 .alignment = Alignment::kCentre},
                {.name = "透明标签2",
                 .kind = K::kTransparentLabel,
                 .rect = {10, 106, 80, 26},
                 .text = "反馈内容:",
                 .text_colour = kBlue,
                 .font = FontSpec{.face = "新宋体", .height_px = 15}},
                {.name = "透明标签1",
                 .kind = K::kTransparentLabel,
                 .rect = {10, 18, 80, 26},
                 .text = "姓名昵称:",
                 .text_colour = kBlue,
                 .font = FontSpec{.face = "新宋体", .height_px = 15}},
            },
        .events = {E::kCreated},
    };
    return window;
}

}  // namespace yz::ui
