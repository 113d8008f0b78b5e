#pragma once

// The writers' chat: the chat panel with its message box 发言框, sending an anonymous message
// after the reachability probe and the checks, the balloons of received messages, the presence
// notices every copy broadcasts, and the hidden operator console with the online list.

#include <cstdint>
#include <functional>
#include <vector>

#include "runtime/ui_service.h"

namespace yz {

// The probe before each message: whether the public web portal can be reached.
using PortalProbe = std::function<bool()>;

class Chat {
  public:
    // The online list keeps at most this many rows.
    static constexpr std::size_t kOnlineRowsMax = 1000;

    // Datagrams go to `port` of the datagram unit's broadcast address. `address_text` is the
    // program's own address text, read at each presence tick; `return_operation` closes every
    // panel and gives the editor back.
    Chat(UiService& ui,
         int port,
         PortalProbe portal_reachable,
         const Text& address_text,
         std::function<void()> return_operation);

    // For tests: another probe in place of the one given.
    void ReplacePortalProbe(PortalProbe probe) { portal_reachable_ = std::move(probe); }

    // The menu entry and hotkey: opens the chat panel, or closes it when it is open.
    void TogglePanel();

    // Key-down handlers (virtual key, modifiers 1 Ctrl, 2 Shift, 4 Alt); false swallows the key.
    bool OnMessageKey(int key, int modifiers);
    bool OnCodeKey(int key);
    bool OnAnnouncementKey(int key);
    // The console's close button.
    void CloseConsole();

    // The datagram unit's arrival event and the presence timer's tick.
    void OnDatagramArrived();
    void OnPresenceTick();
    // Shows or records one received datagram.
    void Receive(const Bytes& datagram);

  private:
    void SendWriterMessage();
    void RefuseMessage(const Text& tail);
    void OpenConsole();
    void UnlockConsole();
    void SendAnnouncement();
    void ShowChatBalloon(const Text& rich_text);
    void RecordPresence(const Text& body);
    bool Broadcast(const char* tag, const Text& body);

    UiService& ui_;
    int port_;
    PortalProbe portal_reachable_;
    const Text& address_text_;
    std::function<void()> return_operation_;

    // The online list's rows as received, in the list's order.
    struct OnlineRow {
        Text address;
        std::uint64_t refreshed = 0;  // the number of the last presence notice from it
    };
    std::vector<OnlineRow> online_rows_;
    std::uint64_t presence_count_ = 0;
};

}  // namespace yz
