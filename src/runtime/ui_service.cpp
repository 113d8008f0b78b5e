#include "runtime/ui_service.h"

namespace yz {

std::int64_t GetNumber(const UiService& ui, const ControlRef& ref, Property property) {
    const PropertyValue value = ui.GetProperty(ref, property);
    if (const auto* number = std::get_if<std::int64_t>(&value)) {
        return *number;
    }
    if (const auto* flag = std::get_if<bool>(&value)) {
        return *flag ? 1 : 0;
    }
    return 0;
}

bool GetFlag(const UiService& ui, const ControlRef& ref, Property property) {
    const PropertyValue value = ui.GetProperty(ref, property);
    if (const auto* flag = std::get_if<bool>(&value)) {
        return *flag;
    }
    if (const auto* number = std::get_if<std::int64_t>(&value)) {
        return *number != 0;
    }
    return false;
}

Text GetText(const UiService& ui, const ControlRef& ref, Property property) {
    const PropertyValue value = ui.GetProperty(ref, property);
    if (const auto* text = std::get_if<Text>(&value)) {
        return *text;
    }
    return {};
}

bool IsVisualKind(ControlKind kind) {
    switch (kind) {
        case ControlKind::kCommonDialog:
        case ControlKind::kTimer:
        case ControlKind::kDatagramSocket:
        case ControlKind::kBalloonTip:
            return false;
        default:
            return true;
    }
}

}  // namespace yz
