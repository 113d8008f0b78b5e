#include "online/feedback.h"

#include "online/web_answers.h"
#include "online/web_requests.h"
#include "runtime/net.h"
#include "runtime/text.h"
#include "ui/names.h"
#include "ui/templates.h"

namespace yz {

namespace {

using namespace ui;

// Feedback this short says nothing (5 Chinese characters or fewer).
constexpr int kShortestFeedback = 10;
constexpr char kFailureCaption[] = "反馈失败:";

}  // namespace

void Feedback::Open() {
    if (feedback_sent_) {
        ui_.MessageBox("请的建议反馈已经提交.请稍候再作此操作.", kMbOk, "操作提示:");
        return;
    }
    ui_.LoadWindow(FeedbackWindowTemplate(), kMainWindow, true);
}

void Feedback::OnCreated() {
    ui_.SetProperty(反馈窗, Property::kTitle, Text("建议反馈 良言收集"));
}

void Feedback::Submit() {
    const Text nickname = GetText(ui_, 昵称框, Property::kText);
    const Text text = GetText(ui_, 正文框, Property::kText);
    if (nickname.empty() || text.empty()) {
        ui_.MessageBox("姓名和反馈内容不可为空.", kMbOk, kFailureCaption);
        return;
    }
    if (TextLength(text) <= kShortestFeedback) {
        ui_.MessageBox("请输入有效的反馈内容.", kMbOk, kFailureCaption);
        return;
    }
    if (!IsAcknowledgement(HttpReadFile(FeedbackAddress(server_base_address_, nickname, text)),
                           kFeedbackReceivedAnswer)) {
        // Kept open as typed and not counted as sent, so the writer can try again.
        ui_.MessageBox("您的问题提交失败.请检查网络配置.", kMbOk, kFailureCaption);
        return;
    }
    ui_.MessageBox("您的建议已经提交至开发组.感谢您的良言益语.", kMbOk, "反馈成功!");
    ui_.SetProperty(昵称框, Property::kText, Text());
    ui_.SetProperty(正文框, Property::kText, Text());
    ui_.CloseWindow(kFeedbackWindow, false);
    feedback_sent_ = true;
}

void Announcements::OnTick() {
    if (feedback_sent_) {
        feedback_sent_ = false;
        return;
    }
    // A window still showing the last announcement makes way for the new one.
    if (ui_.Exists(公告窗)) {
        ui_.CloseWindow(kAnnouncementWindow, true);
    }
    ui_.LoadWindow(AnnouncementWindowTemplate(), "", false);
}

void Announcements::OnCreated() {
    // Only a whole announcement (picture, link, flag) whose flag is exactly "真" is shown.
    const std::optional<Announcement> announcement =
        ReadAnnouncement(HttpReadFile(AnnouncementAddress(server_base_address_)));
    if (!announcement || !announcement->shown) {
        ui_.CloseWindow(kAnnouncementWindow, false);
        return;
    }
    link_ = announcement->link_address;
    ui_.SetProperty(公告窗, Property::kLeft, std::int64_t{ui_.ScreenWidth() - 360});
    ui_.SetProperty(公告窗, Property::kTop, std::int64_t{ui_.ScreenHeight() - 294});
    ui_.SetBackgroundPicture(kAnnouncementWindow,
                             HttpReadFile(AnnouncementImageAddress(server_base_address_, announcement->image_path)));
    ui_.SetFocus(公告窗);
}

void Announcements::OnClick() {
    if (IsWebLink(link_)) {
        ui_.OpenUrl(link_);
    }
    ui_.CloseWindow(kAnnouncementWindow, false);
}

}  // namespace yz
