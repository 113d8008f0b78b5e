#include "online/web_answers.h"

#include "runtime/convert.h"
#include "runtime/text.h"

namespace yz {

namespace {

constexpr double kVersionMargin = 0.0000001;

}  // namespace

bool IsAcknowledgement(const Bytes& body, const Text& acknowledgement) {
    return ToText(body) == acknowledgement;
}

TextList ReadPenNames(const Bytes& body) {
    return SplitText(ToText(body), "~");
}

TextList ReadWorksList(const Bytes& body) {
    return SplitText(ToText(body), "<br>");
}

std::optional<WorkEntry> ReadWorkEntry(const Text& entry) {
    const TextList fields = SplitText(entry, "|");
    if (fields.size() < 4) {
        return std::nullopt;
    }
    return WorkEntry{fields[0], fields[1], fields[2], fields[3]};
}

double ReadVersionNumber(const Bytes& body) {
    return ToNumber(ToText(body));
}

bool IsNewerVersion(const Bytes& body, const Text& own_version) {
    return ReadVersionNumber(body) - ToNumber(own_version) > kVersionMargin;
}

std::optional<Announcement> ReadAnnouncement(const Bytes& body) {
    const TextList parts = SplitText(ToText(body), "●");
    if (parts.size() < 3) {
        return std::nullopt;
    }
    return Announcement{parts[0], parts[1], parts[2] == "真"};
}

Text ReadAddressText(const Bytes& body) {
    const TextList after_bracket = SplitText(ToText(body), "[");
    // Fewer than two parts: no "[" at all, or nothing after the only one.
    if (after_bracket.size() < 2) {
        return {};
    }
    const TextList before_tag = SplitText(after_bracket[1], "</c");
    return before_tag.empty() ? Text() : before_tag[0];
}

bool IsWebLink(const Text& link) {
    return FindText(link, "http://", 1, true) == 1 || FindText(link, "https://", 1, true) == 1;
}

}  // namespace yz
