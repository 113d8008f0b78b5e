#pragma once

// The chat's wire format and how a received datagram is shown. One datagram is one message:
//
//   bytes 0-3  tag: "X^XZ" a writer's anonymous message, "K^XZ" a customer-service announcement,
//              "Z^XZ" a presence notice
//   bytes 4-   body, GBK text without a terminating zero (may be empty)
//
// A presence body is the sender's address text: address "] 来自：" location.
// Received bytes are outside input: a datagram of any length, with zero bytes, cut double-byte
// characters or an unknown tag, is read without fault.

#include "runtime/types.h"

namespace yz {

inline constexpr char kWriterTag[] = "X^XZ";
inline constexpr char kServiceTag[] = "K^XZ";
inline constexpr char kPresenceTag[] = "Z^XZ";

enum class ChatKind { kWriter, kService, kPresence, kUnknown };

struct ChatDatagram {
    ChatKind kind = ChatKind::kUnknown;
    Text body;  // the text after the tag; empty for an unknown kind
};

// The bytes up to the first zero byte, read as a tag and a body.
ChatDatagram ReadChatDatagram(const Bytes& received);

// The text with the balloon markup characters '<', '>' and '&' written as entities, so that it
// shows as typed; a byte that starts no complete double-byte character shows as '?'.
Text EscapeBalloonText(const Text& text);

// A balloon shows at most this many bytes of a received body: the most a writer can type. Anyone
// can send a datagram of 64 KiB, which shown whole would cover the screen.
inline constexpr int kBalloonBodyBytes = 72;

// The rich text of the balloon that shows a writer's message or an announcement: the body, cut
// on a character boundary with "…" after it when it is longer than kBalloonBodyBytes.
Text WriterBalloon(const Text& body);
Text ServiceBalloon(const Text& body);

struct PresenceNotice {
    Text address;
    Text location;  // empty when the body has no "] 来自："
};

// Each part of a presence notice keeps at most this many bytes; a real address text is far shorter.
inline constexpr int kPresencePartBytes = 64;

// The body split at "] 来自：" (on character boundaries): the first part is the address, the
// second the location, each cut to kPresencePartBytes on a character boundary.
PresenceNotice ReadPresence(const Text& body);

}  // namespace yz
