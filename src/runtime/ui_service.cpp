#include "runtime/ui_service.h"

#include "runtime/convert.h"

namespace yz {

std::int64_t PropertyNumber(const PropertyValue& value) {
    if (const auto* number = std::get_if<std::int64_t>(&value)) {
        return *number;
    }
    if (const auto* flag = std::get_if<bool>(&value)) {
        return *flag ? 1 : 0;
    }
    return ToInteger(std::get<Text>(value));
}

bool PropertyFlag(const PropertyValue& value) {
    return PropertyNumber(value) != 0;
}

Text PropertyText(const PropertyValue& value) {
    if (const auto* text = std::get_if<Text>(&value)) {
        return *text;
    }
    if (const auto* flag = std::get_if<bool>(&value)) {
        return ToText(*flag);
    }
    return ToText(std::get<std::int64_t>(value));
}

PropertyValue EmptyPropertyValue(Property property) {
    switch (property) {
        case Property::kVisible:
        case Property::kDisabled:
        case Property::kAlwaysOnTop:
        case Property::kFontBold:
        case Property::kFontItalic:
        case Property::kFontStrikeOut:
        case Property::kFontUnderline:
        case Property::kChecked:
            return false;
        case Property::kTitle:
        case Property::kText:
        case Property::kFontFace:
        case Property::kFileName:
        case Property::kFilter:
        case Property::kInitialDirectory:
        case Property::kDefaultExtension:
            return Text();
        default:
            return std::int64_t{0};
    }
}

std::int64_t GetNumber(const UiService& ui, const ControlRef& ref, Property property) {
    return PropertyNumber(ui.GetProperty(ref, property));
}

bool GetFlag(const UiService& ui, const ControlRef& ref, Property property) {
    return PropertyFlag(ui.GetProperty(ref, property));
}

Text GetText(const UiService& ui, const ControlRef& ref, Property property) {
    const PropertyValue value = ui.GetProperty(ref, property);
    const auto* text = std::get_if<Text>(&value);
    return text != nullptr ? *text : Text();
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
