#pragma once

// Window templates: a window's own properties, its controls in creation order with their kind,
// rectangle, initial state and kind-specific settings, its menus, and which events it binds. The
// UI service builds a window and all its controls from one of these; the four windows of the
// program are tables of this shape (src/ui/).

#include <cstdint>
#include <optional>
#include <vector>

#include "runtime/types.h"

namespace yz {

// Windows colour value 0x00BBGGRR.
using Colour = std::int32_t;
inline constexpr Colour kWhite = 0xFFFFFF;
inline constexpr Colour kRed = 0x0000FF;
inline constexpr Colour kBlue = 0xFF0000;
inline constexpr Colour kBlack = 0x000000;

struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

// A font as the templates give it: a character height in pixels (96 dpi: 24 px is 18 points).
struct FontSpec {
    Text face;
    int height_px = 0;
    bool bold = false;
    bool italic = false;
    bool strike_out = false;
    bool underline = false;
    friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

enum class ControlKind {
    kEditBox,
    kLabel,
    kTransparentLabel,
    kButton,
    kPictureButton,
    kCheckBox,
    kListBox,
    kListView,
    kTabControl,
    kSlider,
    kColourPicker,
    kCommonDialog,
    kTimer,
    kDatagramSocket,
    kBalloonTip,
};

// Whether a control of this kind is a window on screen (timers, dialogs, sockets and tips are not).
bool IsVisualKind(ControlKind kind);

enum class EventKind {
    // window events
    kCreated,
    kQueryClose,
    kMoved,
    kResized,
    kActivated,
    kDeactivated,
    kFirstActivation,
    kTray,  // a: 1 left button released, 2 double click, 3 right button released / context key
    // common events of windows and visible controls; mouse positions in the control's client area
    kLeftButtonDown,   // a: x, b: y, c: modifiers (1 Ctrl, 2 Shift, 4 Alt)
    kLeftButtonUp,     // likewise
    kDoubleClick,      // likewise
    kRightButtonDown,  // likewise
    kRightButtonUp,    // likewise
    kMouseMove,        // likewise
    kGotFocus,
    kLostFocus,
    kKeyDown,    // a: virtual-key code, b: modifiers; a handler answering false swallows the key
    kKeyUp,      // likewise
    kCharacter,  // a: character code
    kWheel,      // a: notches, b: modifiers
    // kind-specific events
    kContentChanged,    // edit box
    kClicked,           // button, picture button, check box
    kSelectionChanged,  // list box (a: line); tab control (a: the page the writer selected)
    kPositionChanged,   // slider
    kColourChosen,      // colour picker
    kTick,              // timer
    kDatagramArrived,   // datagram socket
    kNotification,      // label: event 0, the receiver of global hotkeys; a: identifier, b: 0
};

enum class MousePointer { kArrow, kHand, kNo };
enum class Alignment { kLeft, kCentre, kRight };

// Edit box input modes.
inline constexpr int kInputNormal = 0;
inline constexpr int kInputReadOnly = 1;
inline constexpr int kInputMasked = 2;

struct SliderSettings {
    bool vertical = false;
    int minimum = 0;
    int maximum = 100;
    int page_step = 10;
    int line_step = 1;
    int tick_frequency = 0;  // 0: no tick marks
    bool ticks_both_sides = false;
};

struct ControlTemplate {
    Text name;
    ControlKind kind = ControlKind::kLabel;
    Rect rect;
    bool visible = true;
    bool enabled = true;
    bool focus_on_click = true;
    int tab_position = 0;  // 0: not in the Tab order
    MousePointer pointer = MousePointer::kArrow;
    // A control on a page of a tab control names it and the page (0-based); others leave it empty.
    Text container;
    int page = -1;

    // Kind-specific settings; each kind reads the ones that apply to it.
    Text text;  // edit text, label or button caption
    std::optional<Colour> text_colour;
    std::optional<Colour> back_colour;
    std::optional<FontSpec> font;
    int input_limit = 0;  // bytes; 0 no limit
    bool multi_line = false;
    bool vertical_scroll = false;
    bool border = true;
    Alignment alignment = Alignment::kLeft;
    int input_mode = kInputNormal;
    char mask_character = 0;
    Text placeholder;
    std::vector<Text> texts;     // picture-button texts; tab-page titles
    std::vector<Text> pictures;  // picture names (resources)
    SliderSettings slider;
    int port = 0;                                // datagram socket: the local port it listens on
    Text broadcast_address = "255.255.255.255";  // datagram socket: where a send without host goes
    Text filter;                                 // common dialog
    std::optional<FontSpec> body_font;           // balloon tip style sheet

    std::vector<EventKind> events;  // the events this control binds
};

// One menu entry. Level 0 entries are the (hidden) top-level menus; level 1 entries belong to the
// preceding level 0 entry. A caption "-" is a separator. The caption shows the shortcut after a
// tab; a shortcut is a keyboard accelerator of the window.
struct MenuEntry {
    Text caption;
    int level = 1;
    bool hidden = false;
    bool disabled = false;
    bool checked = false;
    Text shortcut;  // "Ctrl+Z", "Del", or empty
};

struct WindowTemplate {
    Text name;
    Rect rect;
    int start_position = 0;  // 0 at rect.left/top, 1 centred on the screen
    int border_style = 0;    // 0 none, 2 fixed frame with caption and system menu
    std::optional<Colour> background;
    Text picture;  // background picture name, empty for none
    Text icon;     // icon picture name, empty for none
    Text title;
    std::vector<ControlTemplate> controls;
    std::vector<MenuEntry> menus;
    std::vector<EventKind> events;  // window events bound
};

}  // namespace yz
