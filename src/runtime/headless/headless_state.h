#pragma once

// The state of one headless window and its controls: what the templates give them, what the
// program and the writer change, and the plain reads and writes of their properties. Writes with
// consequences beyond the stored value (events, focus, the tab page rule, timers) are the
// desktop's; the ones here only store.

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "runtime/headless/headless_edit.h"
#include "runtime/headless/headless_records.h"
#include "runtime/ui_service.h"

namespace yz {

struct ListBoxLine {
    Text text;
    std::int64_t data = 0;
};

struct ControlState {
    ControlTemplate made_from;
    Rect rect;
    bool visible = true;
    bool enabled = true;
    Text caption;  // labels, buttons, check boxes
    EditBuffer edit;
    Colour text_colour = kBlack;
    Colour back_colour = kWhite;
    FontChoice font;  // labels, buttons, edit boxes; the common dialog's font choice
    int input_mode = kInputNormal;
    bool checked = false;
    std::vector<ListBoxLine> lines;
    int list_selection = -1;
    std::vector<std::vector<Text>> rows;  // list view cells, column 0 first
    std::vector<Text> columns;
    int current_page = 0;  // tab control
    std::vector<Text> page_captions;
    std::int64_t slider_position = 0;
    std::int64_t period = 0;    // timer, milliseconds; 0 stopped
    std::int64_t due = 0;       // virtual time of the next tick while running
    std::uint64_t started = 0;  // orders timers due at the same moment
    Colour colour = kBlack;     // colour picker
    int dialog_kind = kDialogOpen;
    Text file_name;
    Text filter;
    Text initial_directory;
    Text default_extension;

    ControlKind kind() const { return made_from.kind; }
    const Text& name() const { return made_from.name; }
};

struct WindowState {
    WindowTemplate made_from;
    Text owner;
    bool modal = false;
    Rect rect;
    Rect normal_rect;  // the rectangle to restore from maximised
    bool visible = true;
    bool enabled = true;
    Text title;
    Colour back_colour = 0xF0F0F0;
    int position_state = 0;  // last applied 0 or 1
    bool minimised = false;
    bool maximised = false;
    bool topmost = false;
    bool activated_before = false;
    Text last_focus;  // the control that had the focus when the window was last active
    LayeredState layered;
    Bytes background_picture;  // set at run time; the template's picture is named in made_from
    std::optional<TrayIconState> tray_icon;
    std::vector<ControlState> controls;  // creation order

    const Text& name() const { return made_from.name; }
    ControlState* Find(const Text& control);
    const ControlState* Find(const Text& control) const;
};

// A window and its controls as the template makes them, before any event; `screen` places a
// window whose template asks to be centred.
std::unique_ptr<WindowState> BuildWindow(const WindowTemplate& made_from,
                                         const Text& owner,
                                         bool modal,
                                         const Rect& screen);

// Selecting page `page` of the tab control: its page controls whose template says visible show,
// every other page control hides.
void ShowTabPage(WindowState& window, const Text& tabs, int page);

// Font size in points of a template font height in pixels at 96 dpi.
int PointsFromPixels(int height_px);

// Property reads as GetProperty answers them; a property the kind lacks reads as 0, false or "".
PropertyValue ReadWindowProperty(const WindowState& window, Property property);
PropertyValue ReadControlProperty(const ControlState& control, Property property);
bool ControlHasProperty(ControlKind kind, Property property);

// Stores a control property that has no consequence beyond its value; false when the kind lacks
// it, the value does not fit, or the desktop must handle it (text of an edit box, visibility,
// enabling, the timer period).
bool StorePlainControlProperty(ControlState& control, Property property, const PropertyValue& value);

}  // namespace yz
