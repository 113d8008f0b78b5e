#include "online/showcase_panel.h"

#include <algorithm>

#include "online/publish_checks.h"
#include "online/web_answers.h"
#include "online/web_requests.h"
#include "runtime/net.h"
#include "ui/names.h"
#include "ui/placeholder_box.h"
#include "ui/status_line.h"

namespace yz {

namespace {

using namespace ui;

constexpr int kSlidePeriodMs = 150;
constexpr int kTickerPeriodMs = 5000;
// The boxes wait outside the window: the left ones at -360, the right one 10 pixels past the right
// edge, the button 44 pixels above the top.
constexpr int kLeftStart = -360;
constexpr int kButtonStartTop = -44;
constexpr int kButtonDrop = 50;
constexpr int kPenNameTop = 70;
constexpr int kMottoTop = 156;
constexpr int kLinkTop = 238;
// The three left boxes reach the centre in six steps, the work name box its place in ten (the
// last step of each may be shorter).
constexpr int kLeftSteps = 6;
constexpr int kRightSteps = 10;

constexpr char kShowcaseCaption[] = "作品展示提醒:";

int Number(const UiService& ui, const ControlRef& ref, Property property) {
    return static_cast<int>(GetNumber(ui, ref, property));
}

void Place(UiService& ui, const ControlRef& ref, Property property, int value) {
    ui.SetProperty(ref, property, std::int64_t{value});
}

struct SlideGeometry {
    int link_centred;  // the left edge that centres 链接框 in the window
    int left_step;
    int work_name_start;
    int work_name_final;
    int right_step;
    int button_left;
};

SlideGeometry Geometry(const UiService& ui) {
    const int width = Number(ui, 主窗, Property::kWidth);
    SlideGeometry g{};
    g.link_centred = (width - Number(ui, 链接框, Property::kWidth)) / 2;
    g.left_step = std::max(1, (g.link_centred - kLeftStart + kLeftSteps - 1) / kLeftSteps);
    g.work_name_start = width + 10;
    g.work_name_final = width / 2 + 10;
    g.right_step = std::max(1, (g.work_name_start - g.work_name_final + kRightSteps - 1) / kRightSteps);
    g.button_left = width / 2 + 118;
    return g;
}

}  // namespace

void ShowcasePanel::Toggle() {
    if (GetFlag(ui_, 笔名框, Property::kVisible)) {
        close_panels_();
        return;
    }
    close_panels_();
    ui_.SetProperty(主编框, Property::kDisabled, true);
    ShowBoxes(true);
    Reset();
    pen_name_.LoadIntoPanel();
    for (const ControlRef* label : {&操作标签, &编辑标签, &功能标签, &设置标签, &帮助标签}) {
        ui_.SetProperty(*label, Property::kVisible, false);
        ui_.SetProperty(*label, Property::kDisabled, true);
    }
    Place(ui_, 互助时钟, Property::kPeriod, kSlidePeriodMs);
    ui_.DelayWithEvents(1000);
    ui_.SetProperty(返回超钮, Property::kVisible, true);
    ui_.SetProperty(返回超钮, Property::kDisabled, false);
    ui_.SetFocus(书名框);
}

void ShowcasePanel::Reset() {
    ui_.SetProperty(笔名框, Property::kText, kPenNamePlaceholder);
    ui_.SetProperty(书名框, Property::kText, kWorkNamePlaceholder);
    ui_.SetProperty(宣言框, Property::kText, kMottoPlaceholder);
    ui_.SetProperty(链接框, Property::kText, kLinkPlaceholder);
    const SlideGeometry g = Geometry(ui_);
    for (const ControlRef* box : {&笔名框, &宣言框, &链接框}) {
        Place(ui_, *box, Property::kLeft, kLeftStart);
    }
    Place(ui_, 书名框, Property::kLeft, g.work_name_start);
    Place(ui_, 展示按钮, Property::kLeft, g.button_left);
    Place(ui_, 展示按钮, Property::kTop, kButtonStartTop);
    Place(ui_, 笔名框, Property::kTop, kPenNameTop);
    Place(ui_, 书名框, Property::kTop, kPenNameTop);
    Place(ui_, 宣言框, Property::kTop, kMottoTop);
    Place(ui_, 链接框, Property::kTop, kLinkTop);
}

void ShowcasePanel::ShowBoxes(bool shown) {
    for (const ControlRef* box : {&笔名框, &书名框, &宣言框, &链接框, &展示按钮}) {
        ui_.SetProperty(*box, Property::kVisible, shown);
        ui_.SetProperty(*box, Property::kDisabled, !shown);
    }
}

void ShowcasePanel::OnSlideTick() {
    const SlideGeometry g = Geometry(ui_);
    const int link_left = Number(ui_, 链接框, Property::kLeft);
    if (link_left < g.link_centred) {
        const int moved = std::min(g.left_step, g.link_centred - link_left);
        for (const ControlRef* box : {&笔名框, &宣言框, &链接框}) {
            Place(ui_, *box, Property::kLeft, Number(ui_, *box, Property::kLeft) + moved);
        }
        return;
    }
    const int work_name_left = Number(ui_, 书名框, Property::kLeft);
    if (work_name_left > g.work_name_final) {
        Place(ui_, 书名框, Property::kLeft, std::max(g.work_name_final, work_name_left - g.right_step));
        return;
    }
    const int button_top = Number(ui_, 展示按钮, Property::kTop);
    if (button_top < kMottoTop) {
        Place(ui_, 展示按钮, Property::kTop, std::min(kMottoTop, button_top + kButtonDrop));
        return;
    }
    Place(ui_, 互助时钟, Property::kPeriod, 0);
    Place(ui_, 笔名框, Property::kTop, kPenNameTop);
    Place(ui_, 书名框, Property::kTop, kPenNameTop);
    Place(ui_, 宣言框, Property::kTop, kMottoTop);
    Place(ui_, 链接框, Property::kTop, kLinkTop);
    Place(ui_, 展示按钮, Property::kTop, kMottoTop);
}

void ShowcasePanel::OnBoxGotFocus(const ControlRef& box) {
    if (box == 书名框) {
        EnterPlaceholderBox(ui_, box, kWorkNamePlaceholder, " --霁川软件 作品名称 (不得超过10个汉字或20个字节)");
    } else if (box == 宣言框) {
        EnterPlaceholderBox(ui_, box, kMottoPlaceholder, " --霁川软件 互助宣言 (聚集人气 如:互助双赢.求点击有访必回)");
    } else if (box == 链接框) {
        EnterPlaceholderBox(ui_, box, kLinkPlaceholder, " --霁川软件 作品链接 (您的作品链接网址.请不要使用非法链接)");
    }
}

void ShowcasePanel::OnBoxLostFocus(const ControlRef& box) {
    if (box == 书名框) {
        LeavePlaceholderBox(ui_, box, kWorkNamePlaceholder);
    } else if (box == 宣言框) {
        LeavePlaceholderBox(ui_, box, kMottoPlaceholder);
    } else if (box == 链接框) {
        LeavePlaceholderBox(ui_, box, kLinkPlaceholder);
    }
}

void ShowcasePanel::Publish() {
    std::optional<Text> refusal = pen_name_.Check();
    WorkForm form{GetText(ui_, 书名框, Property::kText), GetText(ui_, 宣言框, Property::kText),
                  GetText(ui_, 链接框, Property::kText)};
    if (!refusal) {
        refusal = CheckWork(form);
        if (form.motto == kSilentMotto) {
            ui_.SetProperty(宣言框, Property::kText, form.motto);
        }
    }
    if (refusal) {
        ui_.MessageBox(*refusal, kMbIconInformation, kShowcaseCaption);
        return;
    }

    pen_name_.Store();
    const Text pen_name = GetText(ui_, 笔名框, Property::kText);
    const Bytes answer =
        HttpReadFile(PublishAddress(server_base_address_, pen_name, form.work_name, form.motto, form.link));
    if (IsAcknowledgement(answer, kWorkPublishedAnswer)) {
        ui_.MessageBox("您的作品展示成功!\r\n请单击确定退出[作品展示]功能.", kMbIconInformation, "恭喜您!!!");
        Place(ui_, 播报时钟, Property::kPeriod, 0);
        Place(ui_, 播报时钟, Property::kPeriod, kTickerPeriodMs);
        ShowStatus(ui_, " --霁川软件出品 ");
    } else {
        ui_.MessageBox("程序在与服务器传递数据过程中.发生栈数据溢出或渗漏.造成此次操作丢失.错误代码:(0x6810x)",
                       kMbIconWarning, "错误提醒:");
    }
    Reset();
    ShowBoxes(false);
}

}  // namespace yz
