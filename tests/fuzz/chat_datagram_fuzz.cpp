// Feeds fuzzed datagrams to the chat's receiving path: the wire-format reader, the escaping of
// received text for the balloon, the presence reader, and the whole arrival handler on a headless
// main window whose operator console is unlocked (balloons and online-list rows).
//
// Input: the datagram's bytes as they arrive.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "online/chat.h"
#include "online/chat_datagram.h"
#include "runtime/headless/headless_desktop.h"
#include "ui/names.h"
#include "ui/templates.h"

namespace {

void Fail(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

// Every byte of 0x80 or above is a lead byte with a valid trail after it, and no markup
// character is left.
void CheckEscaped(const yz::Text& escaped) {
    for (std::size_t i = 0; i < escaped.size(); ++i) {
        const auto byte = static_cast<unsigned char>(escaped[i]);
        if (byte == '<' || byte == '>') {
            Fail("markup character left in escaped text");
        }
        if (byte >= 0x80) {
            if (i + 1 >= escaped.size() || static_cast<unsigned char>(escaped[i + 1]) < 0x40) {
                Fail("escaped text ends in a cut character");
            }
            ++i;
        }
    }
}

// A main window with an unlocked console and no socket (nothing goes out, nothing binds a port).
struct Receiver {
    Receiver()
        : chat(
              desktop,
              1,
              [] { return true; },
              address_text,
              [] {}) {
        yz::WindowTemplate window = yz::ui::MainWindowTemplate();
        std::erase_if(window.controls, [](const yz::ControlTemplate& control) {
            return control.kind == yz::ControlKind::kDatagramSocket;
        });
        desktop.LoadWindow(window, "", false);
        chat.OnMessageKey(122, 5);
        desktop.SetProperty(yz::ui::密令编框, yz::Property::kText, yz::Text("47085316"));
        chat.OnCodeKey(13);
    }

    yz::HeadlessDesktop desktop;
    yz::Text address_text;
    yz::Chat chat;
    int runs = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const yz::Bytes received(data, data + size);
    const yz::ChatDatagram datagram = yz::ReadChatDatagram(received);
    if (datagram.body.find('\0') != yz::Text::npos || datagram.body.size() + 4 > std::max<std::size_t>(size, 4)) {
        Fail("body holds a zero byte or more than was received");
    }
    CheckEscaped(yz::EscapeBalloonText(datagram.body));
    const yz::PresenceNotice notice = yz::ReadPresence(datagram.body);
    if (notice.address.size() + notice.location.size() > datagram.body.size()) {
        Fail("presence parts longer than the body");
    }
    if (notice.address.size() > yz::kPresencePartBytes || notice.location.size() > yz::kPresencePartBytes) {
        Fail("a presence part longer than its limit");
    }

    // The records and the online list only grow: a fresh window now and then keeps runs fast.
    static std::unique_ptr<Receiver> receiver;
    if (!receiver || ++receiver->runs > 500) {
        receiver = std::make_unique<Receiver>();
    }
    const std::size_t balloons = receiver->desktop.balloons().size();
    receiver->chat.Receive(received);
    const bool shown = receiver->desktop.balloons().size() == balloons + 1;
    const bool expected = datagram.kind == yz::ChatKind::kWriter || datagram.kind == yz::ChatKind::kService;
    if (shown != expected) {
        Fail("a balloon for a datagram that is no message, or none for one that is");
    }
    // The heading, at most 72 bytes each escaped into at most 5, "…" and the closing tag.
    if (shown && receiver->desktop.balloons().back().rich_text.size() > 64 + 5 * yz::kBalloonBodyBytes) {
        Fail("a balloon longer than its limit");
    }
    return 0;
}
