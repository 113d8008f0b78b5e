#include "server/pages/field_rules.h"

#include <vector>

#include "runtime/text.h"

namespace yz::server {

namespace {

struct Rule {
    const char* name;
    std::size_t shortest;
    std::size_t longest;
    std::vector<const char*> separators;
    bool line_breaks_allowed;
};

Rule RuleOf(Field field) {
    switch (field) {
        case Field::kPenName:
            return {"pen name", 1, kPenNameLimit, {"|", "<br>", "~"}, false};
        case Field::kWorkName:
            return {"work name", 1, kWorkNameLimit, {"|", "<br>"}, false};
        case Field::kMotto:
            return {"motto", 0, kMottoLimit, {"|", "<br>"}, false};
        case Field::kLink:
            return {"link", 1, kLinkLimit, {"|", "<br>"}, false};
        case Field::kNickname:
            return {"nickname", 1, kNicknameLimit, {}, false};
        case Field::kFeedbackText:
            return {"feedback text", kFeedbackTextShortest, kFeedbackTextLimit, {}, true};
    }
    return {"field", 1, 0, {}, false};
}

bool HasControlByte(std::string_view value, bool line_breaks_allowed) {
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (line_breaks_allowed && (byte == '\r' || byte == '\n' || byte == '\t')) {
            continue;
        }
        if (byte < 0x20 || byte == 0x7F) {
            return true;
        }
    }
    return false;
}

bool HasSeparator(const std::string& value, const std::vector<const char*>& separators) {
    for (const char* separator : separators) {
        if (FindText(value, separator) > 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool IsWebLink(std::string_view link) {
    const std::string text(link);
    if (FindText(text, "http://", 1, true) != 1 && FindText(text, "https://", 1, true) != 1) {
        return false;
    }
    // A space or control byte is never a GBK trail byte; a backslash may be, so it is found on character
    // boundaries.
    return !HasControlByte(link, false) && link.find(' ') == std::string_view::npos && FindText(text, "\\") < 1;
}

bool IsWholeGbk(std::string_view value) {
    for (std::size_t i = 0; i < value.size(); ++i) {
        const auto byte = static_cast<unsigned char>(value[i]);
        if (byte == 0) {
            return false;
        }
        if (byte == 0x80 || byte == 0xFF) {
            return false;
        }
        if (byte >= 0x81) {
            if (i + 1 >= value.size()) {
                return false;
            }
            const auto trail = static_cast<unsigned char>(value[++i]);
            if (trail < 0x40 || trail == 0x7F || trail == 0xFF) {
                return false;
            }
        }
    }
    return true;
}

std::string CheckField(Field field, std::string_view value) {
    const Rule rule = RuleOf(field);
    const std::string name = rule.name;
    if (value.size() < rule.shortest) {
        return value.empty() ? name + " is empty" : name + " is too short";
    }
    if (value.size() > rule.longest) {
        return name + " is too long";
    }
    if (!IsWholeGbk(value)) {
        return name + " is not GBK text";
    }
    if (HasControlByte(value, rule.line_breaks_allowed)) {
        return name + " holds a control character";
    }
    const std::string text(value);
    if (HasSeparator(text, rule.separators)) {
        return name + " holds a separator";
    }
    if (field == Field::kLink && !IsWebLink(text)) {
        return "link is not an http:// or https:// address";
    }
    return {};
}

}  // namespace yz::server
