#include "online/online_features.h"

#include "ui/names.h"

namespace yz {

namespace {

using namespace ui;

}  // namespace

void OnlineFeatures::Bind() {
    ui_.Bind(笔名框, EventKind::kGotFocus, Always([this] { pen_name.OnGotFocus(); }));
    ui_.Bind(笔名框, EventKind::kLostFocus, Always([this] { pen_name.OnLostFocus(); }));
    for (const ControlRef* box : {&书名框, &宣言框, &链接框}) {
        ui_.Bind(*box, EventKind::kGotFocus, Always([this, box] { panel.OnBoxGotFocus(*box); }));
        ui_.Bind(*box, EventKind::kLostFocus, Always([this, box] { panel.OnBoxLostFocus(*box); }));
    }
    ui_.Bind(展示按钮, EventKind::kClicked, Always([this] { panel.Publish(); }));
    ui_.Bind(互助时钟, EventKind::kTick, Always([this] { panel.OnSlideTick(); }));
    ui_.BindMenu(kMainWindow, "作品展示 Alt+W", [this] { panel.Toggle(); });

    ui_.Bind(播报时钟, EventKind::kTick, Always([this] { ticker.OnTick(); }));
    ui_.Bind(播报标签, EventKind::kMouseMove, [this](const Event& event) {
        ticker.OnMouseMove(event.a, event.b);
        return true;
    });
    ui_.Bind(播报标签, EventKind::kLeftButtonDown, Always([this] { ticker.OnClick(); }));
    ui_.BindMenu(kMainWindow, "互助当前作品", [this] { ticker.Visit(); });
    ui_.BindMenu(kMainWindow, "查询互助记录", [this] { ticker.ListOwnVisitors(); });

    ui_.BindMenu(kMainWindow, "建议反馈 [收集]", [this] { feedback.Open(); });
    ui_.Bind(反馈窗, EventKind::kCreated, Always([this] { feedback.OnCreated(); }));
    ui_.Bind(提交按钮, EventKind::kClicked, Always([this] { feedback.Submit(); }));

    ui_.Bind(广告时钟, EventKind::kTick, Always([this] { announcements.OnTick(); }));
    ui_.Bind(公告窗, EventKind::kCreated, Always([this] { announcements.OnCreated(); }));
    ui_.Bind(公告窗, EventKind::kLeftButtonUp, Always([this] { announcements.OnClick(); }));
    ui_.Bind(公告窗, EventKind::kRightButtonUp, Always([this] { announcements.OnClick(); }));
}

}  // namespace yz
