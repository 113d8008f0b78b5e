#include "online/chat.h"

#include <algorithm>

#include "online/chat_datagram.h"
#include "online/chat_words.h"
#include "runtime/clock.h"
#include "runtime/convert.h"
#include "runtime/text.h"
#include "ui/names.h"
#include "ui/status_line.h"

namespace yz {

namespace {

using namespace ui;

constexpr int kEnter = 13;
constexpr int kF11 = 122;
constexpr int kCtrl = 1;
constexpr int kCtrlAlt = 5;
constexpr int kSetCurrentPage = 0x130C;  // TCM_SETCURSEL
const Text kAccessCode = "47085316";

struct ListColumn {
    const char* title;
    int width;
};
constexpr ListColumn kOnlineColumns[] = {{"序号", 28}, {"用户IP↓", 80}, {"用户地址↓", 90}, {"在线时间↓", 90}};

void Show(UiService& ui, const ControlRef& ref, bool shown) {
    ui.SetProperty(ref, Property::kVisible, shown);
    ui.SetProperty(ref, Property::kDisabled, !shown);
}

}  // namespace

Chat::Chat(UiService& ui,
           int port,
           PortalProbe portal_reachable,
           const Text& address_text,
           std::function<void()> return_operation)
    : ui_(ui),
      port_(port),
      portal_reachable_(std::move(portal_reachable)),
      address_text_(address_text),
      return_operation_(std::move(return_operation)) {}

void Chat::TogglePanel() {
    if (GetFlag(ui_, 发言框, Property::kVisible)) {
        return_operation_();
        return;
    }
    return_operation_();
    ui_.SetProperty(主编框, Property::kDisabled, true);
    for (const ControlRef* label : {&操作标签, &编辑标签, &功能标签, &设置标签, &帮助标签}) {
        Show(ui_, *label, false);
    }
    Show(ui_, 返回超钮, true);
    ShowStatus(ui_, " --霁川软件 [文笔交互]: Ctrl + 回车键 随机发送发言框内容.");
    ui_.SetProperty(发言框, Property::kText, Text());
    Show(ui_, 发言框, true);
    ui_.SetFocus(发言框);
}

bool Chat::OnMessageKey(int key, int modifiers) {
    if (key == kEnter && modifiers == kCtrl) {
        SendWriterMessage();
        return false;  // the key was the command; no line break goes into the box
    }
    if (key == kF11 && modifiers == kCtrlAlt) {
        OpenConsole();
    }
    return true;
}

void Chat::SendWriterMessage() {
    if (!portal_reachable_()) {
        ui_.MessageBox("当前无网络支持此项功能\r\n\r\n请检查您的网络相关设置", kMbOk | kMbIconError, "错误提醒:");
    } else if (const Text text = GetText(ui_, 发言框, Property::kText); RemoveAllSpaces(text).empty()) {
        RefuseMessage(" --霁川软件 你所发送的内容为空已被放弃.");
    } else if (!FirstBannedWord(text).empty()) {
        RefuseMessage(" --霁川软件 输入的内容涉嫌违禁无法发送.");
    } else if (CharCodeAt(RemoveAllSpaces(GetText(ui_, 发言框, Property::kText))) == '\r') {
        RefuseMessage(" --霁川软件 你所发送的空内容已被放弃.");
    } else if (Broadcast(kWriterTag, text)) {
        ShowStatus(ui_, " --霁川软件 匿名发言发送成功!");
        ShowChatBalloon(WriterBalloon(text));
        ui_.SetProperty(发言框, Property::kText, Text());
    } else {
        // The socket could not be bound or the send failed: nothing went out. The panel stays
        // open with the text, so the writer can send it again.
        ShowStatus(ui_, " --霁川软件 匿名发言发送失败!");
        ui_.SetFocus(发言框);
        return;
    }
    // Whatever happened, the panel closes; the status line keeps the outcome.
    TogglePanel();
}

void Chat::RefuseMessage(const Text& tail) {
    ui_.SetProperty(发言框, Property::kText, Text());
    ui_.SetFocus(发言框);
    ShowStatus(ui_, tail);
}

void Chat::OpenConsole() {
    Show(ui_, 管理选夹, true);
    ui_.SetTabCaption(管理选夹, 1, "客服密令");
    ui_.SendUnitMessage(管理选夹, kSetCurrentPage, 1, 0);
}

bool Chat::OnCodeKey(int key) {
    if (key == kEnter) {
        UnlockConsole();
    }
    return true;
}

void Chat::UnlockConsole() {
    if (GetText(ui_, 密令编框, Property::kText) != kAccessCode) {
        CloseConsole();
        return;
    }
    Show(ui_, 管理选夹, true);
    ui_.SetTabCaption(管理选夹, 0, "在线管理");
    ui_.SendUnitMessage(管理选夹, kSetCurrentPage, 0, 0);
    // Each unlock adds the columns again, beside the ones already there.
    int column = 0;
    for (const ListColumn& heading : kOnlineColumns) {
        ui_.ListViewInsertColumn(用户超表框, column++, heading.title, heading.width);
    }
}

bool Chat::OnAnnouncementKey(int key) {
    if (key == kEnter) {
        SendAnnouncement();
    }
    return true;
}

void Chat::SendAnnouncement() {
    // Announcements pass no filter and may be empty.
    if (!Broadcast(kServiceTag, GetText(ui_, 客服编框, Property::kText))) {
        // Nothing went out: the text stays for another try.
        ShowStatus(ui_, " --霁川软件 客服公告发送失败!");
        return;
    }
    ui_.SetProperty(客服编框, Property::kText, Text());
    ShowStatus(ui_, " --霁川软件 客服公告发送成功!");
}

void Chat::CloseConsole() {
    Show(ui_, 管理选夹, false);
    ui_.SetFocus(发言框);
}

void Chat::OnDatagramArrived() {
    Receive(ui_.DatagramData(数据报));
}

void Chat::Receive(const Bytes& datagram) {
    const ChatDatagram message = ReadChatDatagram(datagram);
    switch (message.kind) {
        case ChatKind::kService:
            ShowChatBalloon(ServiceBalloon(message.body));
            break;
        case ChatKind::kWriter:
            ShowChatBalloon(WriterBalloon(message.body));
            break;
        case ChatKind::kPresence:
            RecordPresence(message.body);
            break;
        case ChatKind::kUnknown:
            break;
    }
}

void Chat::OnPresenceTick() {
    Broadcast(kPresenceTag, address_text_);
}

void Chat::ShowChatBalloon(const Text& rich_text) {
    const auto x = GetNumber(ui_, 主窗, Property::kLeft) + GetNumber(ui_, 主窗, Property::kWidth) - 30;
    const auto y = GetNumber(ui_, 主窗, Property::kTop) + 60;
    ui_.ShowTip(气球客服, static_cast<int>(x), static_cast<int>(y), rich_text, -1, true);
}

void Chat::RecordPresence(const Text& body) {
    const PresenceNotice notice = ReadPresence(body);
    if (!GetFlag(ui_, 管理选夹, Property::kVisible)) {
        ui_.SetProperty(在线标签, Property::kText, Text("当前在线用户人数: 0 "));
        return;
    }
    ++presence_count_;
    // Rows are matched on the bytes received, which a trip through the list's own text form could
    // change (so that an address would never find its row again).
    const auto same = std::find_if(online_rows_.begin(), online_rows_.end(),
                                   [&](const OnlineRow& row) { return row.address == notice.address; });
    if (same != online_rows_.end()) {
        same->refreshed = presence_count_;
        ui_.ListViewSetText(用户超表框, static_cast<int>(same - online_rows_.begin()), 3, ToText(Now()));
        return;
    }
    if (online_rows_.size() >= kOnlineRowsMax) {
        // Anyone can send presence notices from made-up addresses: the row heard from longest ago
        // makes way.
        const auto oldest =
            std::min_element(online_rows_.begin(), online_rows_.end(),
                             [](const OnlineRow& a, const OnlineRow& b) { return a.refreshed < b.refreshed; });
        ui_.ListViewDelete(用户超表框, static_cast<int>(oldest - online_rows_.begin()));
        online_rows_.erase(oldest);
    }
    const int rows = static_cast<int>(online_rows_.size());
    const int row = ui_.ListViewInsert(用户超表框, -1, ToText(rows));
    if (row != rows) {
        return;
    }
    online_rows_.push_back(OnlineRow{notice.address, presence_count_});
    ui_.ListViewSetText(用户超表框, row, 1, notice.address);
    ui_.ListViewSetText(用户超表框, row, 2, notice.location);
    ui_.ListViewSetText(用户超表框, row, 3, ToText(Now()));
    ui_.SetProperty(在线标签, Property::kText, "当前在线用户人数: " + ToText(rows));
}

bool Chat::Broadcast(const char* tag, const Text& body) {
    return ui_.DatagramSend(数据报, "", port_, BytesOf(tag + body));
}

}  // namespace yz
