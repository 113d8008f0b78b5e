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

// The rich text of the balloon that shows a writer's message or an announcement.
Text WriterBalloon(const Text& body);
Text ServiceBalloon(const Text& body);

struct PresenceNotice {
    Text address;
    Text location;  // empty when the body has no "] 来自："
};

// The body split at "] 来自：" (on character boundaries): the first part is the address, the
// second the location.
PresenceNotice ReadPresence(const Text& body);

}  // namespace yz
