#include "runtime/headless/headless_state.h"

#include "runtime/convert.h"

namespace yz {

namespace {

// The font every control has when its template names none.
constexpr char kDefaultFontFace[] = "宋体";
constexpr int kDefaultFontPoints = 9;

bool IsCaptionKind(ControlKind kind) {
    switch (kind) {
        case ControlKind::kEditBox:
        case ControlKind::kLabel:
        case ControlKind::kTransparentLabel:
        case ControlKind::kButton:
        case ControlKind::kPictureButton:
        case ControlKind::kCheckBox:
            return true;
        default:
            return false;
    }
}

std::optional<PropertyValue> ReadCommon(const Rect& rect, bool visible, bool enabled, Property property) {
    switch (property) {
        case Property::kLeft:
            return std::int64_t{rect.left};
        case Property::kTop:
            return std::int64_t{rect.top};
        case Property::kWidth:
            return std::int64_t{rect.width};
        case Property::kHeight:
            return std::int64_t{rect.height};
        case Property::kVisible:
            return visible;
        case Property::kDisabled:
            return !enabled;
        default:
            return std::nullopt;
    }
}

FontChoice FontOf(const std::optional<FontSpec>& given) {
    FontChoice font;
    font.face = kDefaultFontFace;
    font.size = kDefaultFontPoints;
    if (given) {
        font.face = given->face.empty() ? font.face : given->face;
        font.size = given->height_px > 0 ? PointsFromPixels(given->height_px) : font.size;
        font.bold = given->bold;
        font.italic = given->italic;
        font.strike_out = given->strike_out;
        font.underline = given->underline;
    }
    return font;
}

ControlState BuildControl(const ControlTemplate& made_from) {
    ControlState control;
    control.made_from = made_from;
    control.rect = made_from.rect;
    control.visible = made_from.visible;
    control.enabled = made_from.enabled;
    if (made_from.kind == ControlKind::kEditBox) {
        control.edit.SetText(made_from.text);
        control.edit.SetLimit(made_from.input_limit);
    } else {
        control.caption = made_from.text;
    }
    control.text_colour = made_from.text_colour.value_or(kBlack);
    const bool white_by_default = made_from.kind == ControlKind::kEditBox || made_from.kind == ControlKind::kListBox ||
                                  made_from.kind == ControlKind::kListView;
    control.back_colour = made_from.back_colour.value_or(white_by_default ? kWhite : 0xF0F0F0);
    control.font = FontOf(made_from.font);
    control.input_mode = made_from.input_mode;
    control.page_captions = made_from.kind == ControlKind::kTabControl ? made_from.texts : std::vector<Text>{};
    control.slider_position = made_from.slider.minimum;
    control.filter = made_from.filter;
    return control;
}

}  // namespace

ControlState* WindowState::Find(const Text& control) {
    for (ControlState& state : controls) {
        if (state.name() == control) {
            return &state;
        }
    }
    return nullptr;
}

const ControlState* WindowState::Find(const Text& control) const {
    return const_cast<WindowState*>(this)->Find(control);
}

int PointsFromPixels(int height_px) {
    return height_px * 3 / 4;
}

std::unique_ptr<WindowState> BuildWindow(const WindowTemplate& made_from,
                                         const Text& owner,
                                         bool modal,
                                         const Rect& screen) {
    auto window = std::make_unique<WindowState>();
    window->made_from = made_from;
    window->owner = owner;
    window->modal = modal;
    window->rect = made_from.rect;
    if (made_from.start_position == 1) {
        window->rect.left = (screen.width - made_from.rect.width) / 2;
        window->rect.top = (screen.height - made_from.rect.height) / 2;
    }
    window->normal_rect = window->rect;
    window->title = made_from.title;
    window->back_colour = made_from.background.value_or(window->back_colour);
    for (const ControlTemplate& control : made_from.controls) {
        window->controls.push_back(BuildControl(control));
    }
    for (ControlState& control : window->controls) {
        if (control.kind() == ControlKind::kTabControl) {
            ShowTabPage(*window, control.name(), 0);
        }
    }
    return window;
}

void ShowTabPage(WindowState& window, const Text& tabs, int page) {
    ControlState* tab_control = window.Find(tabs);
    if (tab_control == nullptr) {
        return;
    }
    tab_control->current_page = page;
    for (ControlState& control : window.controls) {
        if (control.made_from.container == tabs) {
            control.visible = control.made_from.page == page && control.made_from.visible;
        }
    }
}

bool ControlHasProperty(ControlKind kind, Property property) {
    switch (property) {
        case Property::kLeft:
        case Property::kTop:
        case Property::kWidth:
        case Property::kHeight:
        case Property::kVisible:
        case Property::kDisabled:
            return IsVisualKind(kind);
        case Property::kText:
            return IsCaptionKind(kind);
        case Property::kBackColour:
            return IsVisualKind(kind);
        case Property::kTextColour:
        case Property::kFontFace:
        case Property::kFontSize:
        case Property::kFontBold:
        case Property::kFontItalic:
        case Property::kFontStrikeOut:
        case Property::kFontUnderline:
            // Every control on screen draws text in a colour and font; the font dialog returns both.
            return IsVisualKind(kind) || kind == ControlKind::kCommonDialog;
        case Property::kInputMode:
            return kind == ControlKind::kEditBox;
        case Property::kChecked:
            return kind == ControlKind::kCheckBox;
        case Property::kSliderPosition:
            return kind == ControlKind::kSlider;
        case Property::kPeriod:
            return kind == ControlKind::kTimer;
        case Property::kColour:
            return kind == ControlKind::kColourPicker;
        case Property::kDialogKind:
        case Property::kFileName:
        case Property::kFilter:
        case Property::kInitialDirectory:
        case Property::kDefaultExtension:
            return kind == ControlKind::kCommonDialog;
        default:
            return false;
    }
}

PropertyValue ReadWindowProperty(const WindowState& window, Property property) {
    if (auto common = ReadCommon(window.rect, window.visible, window.enabled, property)) {
        return *common;
    }
    switch (property) {
        case Property::kTitle:
            return window.title;
        case Property::kPositionState:
            return std::int64_t{window.minimised ? 2 : window.maximised ? 3 : window.position_state};
        case Property::kAlwaysOnTop:
            return window.topmost;
        case Property::kBackColour:
            return std::int64_t{window.back_colour};
        default:
            return EmptyPropertyValue(property);
    }
}

PropertyValue ReadControlProperty(const ControlState& control, Property property) {
    if (!ControlHasProperty(control.kind(), property)) {
        return EmptyPropertyValue(property);
    }
    if (auto common = ReadCommon(control.rect, control.visible, control.enabled, property)) {
        return *common;
    }
    switch (property) {
        case Property::kText:
            return control.kind() == ControlKind::kEditBox ? control.edit.text() : control.caption;
        case Property::kTextColour:
            return std::int64_t{control.kind() == ControlKind::kCommonDialog ? control.font.colour
                                                                             : control.text_colour};
        case Property::kBackColour:
            return std::int64_t{control.back_colour};
        case Property::kFontFace:
            return control.font.face;
        case Property::kFontSize:
            return std::int64_t{control.font.size};
        case Property::kFontBold:
            return control.font.bold;
        case Property::kFontItalic:
            return control.font.italic;
        case Property::kFontStrikeOut:
            return control.font.strike_out;
        case Property::kFontUnderline:
            return control.font.underline;
        case Property::kInputMode:
            return std::int64_t{control.input_mode};
        case Property::kChecked:
            return control.checked;
        case Property::kSliderPosition:
            return control.slider_position;
        case Property::kPeriod:
            return control.period;
        case Property::kColour:
            return std::int64_t{control.colour};
        case Property::kDialogKind:
            return std::int64_t{control.dialog_kind};
        case Property::kFileName:
            return control.file_name;
        case Property::kFilter:
            return control.filter;
        case Property::kInitialDirectory:
            return control.initial_directory;
        case Property::kDefaultExtension:
            return control.default_extension;
        default:
            return EmptyPropertyValue(property);
    }
}

bool StorePlainControlProperty(ControlState& control, Property property, const PropertyValue& value) {
    if (!ControlHasProperty(control.kind(), property)) {
        return false;
    }
    const std::int64_t number = PropertyNumber(value);
    const auto as_int = static_cast<int>(number);
    switch (property) {
        case Property::kLeft:
            control.rect.left = as_int;
            return true;
        case Property::kTop:
            control.rect.top = as_int;
            return true;
        case Property::kWidth:
            control.rect.width = as_int;
            return true;
        case Property::kHeight:
            control.rect.height = as_int;
            return true;
        case Property::kText:
            if (control.kind() == ControlKind::kEditBox) {
                return false;
            }
            control.caption = PropertyText(value);
            return true;
        case Property::kTextColour:
            (control.kind() == ControlKind::kCommonDialog ? control.font.colour : control.text_colour) = as_int;
            return true;
        case Property::kBackColour:
            control.back_colour = as_int;
            return true;
        case Property::kFontFace:
            control.font.face = PropertyText(value);
            return true;
        case Property::kFontSize:
            if (number <= 0) {
                return false;
            }
            control.font.size = as_int;
            return true;
        case Property::kFontBold:
            control.font.bold = number != 0;
            return true;
        case Property::kFontItalic:
            control.font.italic = number != 0;
            return true;
        case Property::kFontStrikeOut:
            control.font.strike_out = number != 0;
            return true;
        case Property::kFontUnderline:
            control.font.underline = number != 0;
            return true;
        case Property::kInputMode:
            if (number < kInputNormal || number > kInputMasked) {
                return false;
            }
            control.input_mode = as_int;
            return true;
        case Property::kChecked:
            control.checked = number != 0;
            return true;
        case Property::kSliderPosition:
            // The control keeps what the program set, within the range a trackbar can hold.
            control.slider_position = number < 0 ? 0 : number > 32767 ? 32767 : number;
            return true;
        case Property::kColour:
            control.colour = as_int;
            return true;
        case Property::kDialogKind:
            if (number < kDialogOpen || number > kDialogFont) {
                return false;
            }
            control.dialog_kind = as_int;
            return true;
        case Property::kFileName:
            control.file_name = PropertyText(value);
            return true;
        case Property::kFilter:
            control.filter = PropertyText(value);
            return true;
        case Property::kInitialDirectory:
            control.initial_directory = PropertyText(value);
            return true;
        case Property::kDefaultExtension:
            control.default_extension = PropertyText(value);
            return true;
        default:
            return false;
    }
}

}  // namespace yz
