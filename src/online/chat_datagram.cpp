#include "online/chat_datagram.h"

#include <algorithm>

#include "runtime/text.h"

namespace yz {

namespace {

const Text kPresenceSeparator = "] 来自：";

bool IsLeadByte(unsigned char byte) {
    return byte >= 0x81 && byte <= 0xFE;
}

bool IsTrailByte(unsigned char byte) {
    return byte >= 0x40 && byte <= 0xFE && byte != 0x7F;
}

Text ShownBody(const Text& body) {
    if (body.size() <= static_cast<std::size_t>(kBalloonBodyBytes)) {
        return EscapeBalloonText(body);
    }
    return EscapeBalloonText(CutGbkAtBoundary(body, kBalloonBodyBytes)) + "…";
}

}  // namespace

ChatDatagram ReadChatDatagram(const Bytes& received) {
    const auto end = std::find(received.begin(), received.end(), std::uint8_t{0});
    const Text text(received.begin(), end);
    const Text tag = text.substr(0, 4);
    ChatDatagram datagram;
    if (tag == kWriterTag) {
        datagram.kind = ChatKind::kWriter;
    } else if (tag == kServiceTag) {
        datagram.kind = ChatKind::kService;
    } else if (tag == kPresenceTag) {
        datagram.kind = ChatKind::kPresence;
    } else {
        return datagram;
    }
    datagram.body = text.substr(4);
    return datagram;
}

Text EscapeBalloonText(const Text& text) {
    Text escaped;
    escaped.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            switch (byte) {
                case '<':
                    escaped += "&lt;";
                    break;
                case '>':
                    escaped += "&gt;";
                    break;
                case '&':
                    escaped += "&amp;";
                    break;
                default:
                    escaped.push_back(static_cast<char>(byte));
                    break;
            }
        } else if (IsLeadByte(byte) && i + 1 < text.size() && IsTrailByte(static_cast<unsigned char>(text[i + 1]))) {
            escaped.append(text, i, 2);
            ++i;
        } else {
            // Left alone, a stray lead byte would swallow the next character, markup included.
            escaped.push_back('?');
        }
    }
    return escaped;
}

Text WriterBalloon(const Text& body) {
    return "<font color=Blue>[潜水写手]说: " + ShownBody(body) + "</font>";
}

Text ServiceBalloon(const Text& body) {
    return "<font color=red>『霁川客服』: " + ShownBody(body) + "</font>";
}

PresenceNotice ReadPresence(const Text& body) {
    const TextList parts = SplitText(body, kPresenceSeparator);
    PresenceNotice notice;
    if (!parts.empty()) {
        notice.address = CutGbkAtBoundary(parts[0], kPresencePartBytes);
    }
    if (parts.size() > 1) {
        notice.location = CutGbkAtBoundary(parts[1], kPresencePartBytes);
    }
    return notice;
}

}  // namespace yz
