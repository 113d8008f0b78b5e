#pragma once

// The UI service: windows and controls built from templates, their properties and events, modal
// boxes and dialogs, menus, timers, waits, layered windows, the tray icon, balloon tips and global
// hotkeys. Features call only this interface; it has two backends: the real Win32 one and an
// in-memory headless desktop that the tests drive. Both raise events in the same places and order:
//   - every event runs its one handler to completion on the one UI thread;
//   - setting an edit box's text raises its content-changed event before SetProperty returns;
//   - key-down reaches the handler before the key takes effect (false swallows the key);
//   - a focus change raises lost-focus on the old control, then got-focus on the new one;
//   - message boxes, dialogs, modal windows and DelayWithEvents run nested event loops;
//   - a timer ticks every period while its period is positive; setting the period restarts it.
// No call throws; a failure is the result stated on the declaration.

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string_view>
#include <utility>
#include <variant>

#include "runtime/types.h"
#include "runtime/ui_template.h"

namespace yz {

// A window, or one of its controls, addressed by the template names. An empty control names the
// window itself; a menu entry is addressed by its caption.
struct ControlRef {
    Text window;
    Text control;
    friend bool operator==(const ControlRef&, const ControlRef&) = default;
};

struct Event {
    EventKind kind;
    ControlRef source;
    int a = 0;
    int b = 0;
    int c = 0;
};

// Answers false to swallow an input event (a key, a close request); ignored for other events.
using EventHandler = std::function<bool(const Event&)>;

// A handler that runs the action and never swallows the event.
inline EventHandler Always(std::function<void()> action) {
    return [action = std::move(action)](const Event&) {
        action();
        return true;
    };
}

using MenuHandler = std::function<void()>;

enum class Property {
    // every window and visual control
    kLeft,
    kTop,
    kWidth,
    kHeight,
    kVisible,
    kDisabled,
    // windows
    kTitle,
    kPositionState,  // 0 normal, 1 centred, 2 minimised, 3 maximised; applied while visible
    kAlwaysOnTop,
    // edit boxes, labels, buttons, check boxes
    kText,  // edit text or caption
    kTextColour,
    kBackColour,
    kFontFace,
    kFontSize,  // points
    kFontBold,
    kFontItalic,
    kFontStrikeOut,
    kFontUnderline,
    kInputMode,
    kChecked,
    // slider
    kSliderPosition,
    // timer
    kPeriod,
    // colour picker
    kColour,
    // common dialog
    kDialogKind,  // 0 open, 1 save, 2 font
    kFileName,
    kFilter,
    kInitialDirectory,
    kDefaultExtension,
};

using PropertyValue = std::variant<std::int64_t, bool, Text>;

// Message box flags (the Windows MB_ values the program uses) and results.
inline constexpr int kMbOk = 0x0;
inline constexpr int kMbOkCancel = 0x1;
inline constexpr int kMbYesNo = 0x4;
inline constexpr int kMbIconError = 0x10;
inline constexpr int kMbIconQuestion = 0x20;
inline constexpr int kMbIconWarning = 0x30;
inline constexpr int kMbIconInformation = 0x40;
inline constexpr int kMbSystemModal = 0x1000;
inline constexpr int kMbTaskModal = 0x2000;
inline constexpr int kResultOk = 0;
inline constexpr int kResultCancel = 1;
inline constexpr int kResultAbort = 2;
inline constexpr int kResultRetry = 3;
inline constexpr int kResultIgnore = 4;
inline constexpr int kResultYes = 5;
inline constexpr int kResultNo = 6;

// Common dialog kinds.
inline constexpr int kDialogOpen = 0;
inline constexpr int kDialogSave = 1;
inline constexpr int kDialogFont = 2;

class UiService {
  public:
    virtual ~UiService() = default;

    // Windows. LoadWindow creates the window and its controls from the template and shows it;
    // the created event runs before it returns, then moved and resized. A modal load returns when
    // the window is closed. False when the window cannot be created.
    virtual bool LoadWindow(const WindowTemplate& window, const Text& owner, bool modal) = 0;
    // Closes the window: destroyed during the call with at_once, else after the current event.
    virtual void CloseWindow(const Text& window, bool at_once) = 0;
    // Whether the window or control exists (the native handle is not 0).
    virtual bool Exists(const ControlRef& ref) const = 0;
    virtual void SetFocus(const ControlRef& ref) = 0;
    // The control that has the keyboard focus; empty names when none of ours has it.
    virtual ControlRef FocusedControl() const = 0;

    // Properties. A property a control does not have reads as 0, false or empty and ignores writes.
    virtual PropertyValue GetProperty(const ControlRef& ref, Property property) const = 0;
    virtual void SetProperty(const ControlRef& ref, Property property, const PropertyValue& value) = 0;

    // Events. Binding replaces the control's earlier handler for that event; the bindings outlive
    // the window (a window loaded again gets them back).
    virtual void Bind(const ControlRef& ref, EventKind event, EventHandler handler) = 0;
    virtual void BindMenu(const Text& window, const Text& caption, MenuHandler handler) = 0;

    // Drops the top-level menu with that caption as a popup at screen point (x, y); an absent
    // coordinate is the cursor's plus 3. The picked entry's handler runs before this returns.
    virtual void PopupMenu(const Text& window, const Text& menu, std::optional<int> x, std::optional<int> y) = 0;

    // A task-modal box without owner (MB_TASKMODAL added unless MB_SYSTEMMODAL is asked for);
    // the result is 0 OK, 1 Cancel, 2 Abort, 3 Retry, 4 Ignore, 5 Yes, 6 No.
    virtual int MessageBox(const Text& text, int flags, const Text& caption) = 0;

    // Runs the common dialog with its kind, filter, initial directory and default extension; true
    // when the writer confirmed. Afterwards the file name (open/save) or the font properties
    // (font kind) hold the choice; a cancelled dialog leaves them as they were.
    virtual bool ShowFileDialog(const ControlRef& dialog) = 0;

    // Edit boxes: for each text, moves the caret to the end and inserts the text there; an empty
    // text only moves the caret (no content-changed).
    virtual void EditAppend(const ControlRef& edit, const Text& text) = 0;
    // The text of an edit box without a copy, for handlers that look at a large text after every
    // change; valid until that text changes again or the window closes. Empty for other controls.
    virtual std::string_view EditText(const ControlRef& edit) const = 0;

    // List boxes. Insert answers the new index, or -1 for a negative index or a failure.
    virtual int ListBoxInsert(const ControlRef& list, int index, const Text& text, std::int64_t data) = 0;
    virtual void ListBoxClear(const ControlRef& list) = 0;

    // List views: a negative row appends; Insert answers the new row index.
    virtual int ListViewInsert(const ControlRef& view, int row, const Text& text) = 0;
    virtual void ListViewSetText(const ControlRef& view, int row, int column, const Text& text) = 0;
    virtual Text ListViewGetText(const ControlRef& view, int row, int column) const = 0;
    virtual int ListViewItemCount(const ControlRef& view) const = 0;
    // Removes the row; the rows after it move up. Nothing for a row that does not exist.
    virtual void ListViewDelete(const ControlRef& view, int row) = 0;
    virtual void ListViewInsertColumn(const ControlRef& view, int column, const Text& title, int width) = 0;

    // Tab controls: the caption of page `page` (0-based). Selecting a page (by the writer) shows
    // that page's controls whose template says visible and hides the others.
    virtual void SetTabCaption(const ControlRef& tabs, int page, const Text& caption) = 0;

    // SendMessage to the control's window; its result. The colour picker opens its palette on a
    // left-button-up message (0x0202); a tab control switches to page wparam on TCM_SETCURSEL
    // (0x130C) by the page rule, without a selection-changed event.
    virtual std::int64_t SendUnitMessage(const ControlRef& ref,
                                         int message,
                                         std::int64_t wparam,
                                         std::int64_t lparam) = 0;

    // Layered windows. SetWindowAlpha replaces the extended style by WS_EX_LAYERED and sets the
    // whole-window alpha (outside 0..255 gives 255). SetColourKey adds WS_EX_LAYERED to the style
    // and makes every pixel of `key` transparent.
    virtual void SetWindowAlpha(const Text& window, int alpha) = 0;
    virtual void SetColourKey(const Text& window, Colour key) = 0;

    // Replaces the window's background picture by the picture in `picture` (GIF, JPEG, PNG, BMP),
    // stretched from the top-left corner at its own size; bytes that are not a picture leave the
    // window without one.
    virtual void SetBackgroundPicture(const Text& window, const Bytes& picture) = 0;

    // Shows, changes or removes (no picture) the window's notification-area icon; the tooltip is
    // cut to 62 bytes. Its messages become the window's tray event.
    virtual void SetTrayIcon(const Text& window, const std::optional<Text>& picture, const Text& tooltip) = 0;

    // Pops up the balloon of a tip control at a screen point with rich text ("<font color=red>"
    // ... "</font>", likewise Blue; "&lt;", "&gt;" and "&amp;" show "<", ">" and "&"); icon -1
    // shows none. The flag is kept with the balloon. On the screen a new balloon comes at most
    // every half second, in a box of fixed maximum size (runtime/balloon_queue.h); the headless
    // desktop records every request as it is made.
    virtual void ShowTip(const ControlRef& tip, int x, int y, const Text& rich_text, int icon, bool flag) = 0;

    // Datagram sockets. Each datagram-socket control of a loaded window owns a UDP socket bound to
    // every local address on its template port, shared with other programs that bind the same port
    // (so several copies on one machine all hear a broadcast), broadcasting allowed. Every datagram
    // that arrives raises the control's datagram-arrived event on the UI thread, from the event
    // loop, one datagram per event.
    //
    // Sends `data` as one datagram to `host` (a dotted address) on `port`; an empty host broadcasts
    // to the control's broadcast address. False when the socket could not be made or bound (the
    // port is taken), the host or port is not valid, or the send fails.
    virtual bool DatagramSend(const ControlRef& socket, const Text& host, int port, const Bytes& data) = 0;
    // The bytes of the datagram whose arrival is being handled (the last one received); empty
    // before the first.
    virtual Bytes DatagramData(const ControlRef& socket) const = 0;

    // Global hotkeys: modifier numbers 0 none, 1 Ctrl, 2 Shift, 3 Ctrl+Shift, 4 Alt, 5 Ctrl+Alt,
    // 6 Shift+Alt. Identifiers are 33001, 33002, ... in registration order, a failed registration
    // using up its own; the result is the identifier or 0. A press raises the receiver's
    // notification event with the identifier.
    virtual int RegisterGlobalHotKey(const Text& watched_window,
                                     const ControlRef& receiver,
                                     int modifier,
                                     int virtual_key) = 0;

    // Injects key-down for each key in order, then key-up in the same order. A key is a
    // virtual-key code.
    virtual void SimulateKeys(std::initializer_list<int> virtual_keys) = 0;

    virtual void OpenUrl(const Text& address) = 0;
    virtual int CursorX() const = 0;
    virtual int CursorY() const = 0;
    virtual int ScreenWidth() const = 0;
    virtual int ScreenHeight() const = 0;

    // Returns after at least `milliseconds`, handling events meanwhile; nothing for 0 or less.
    virtual void DelayWithEvents(int milliseconds) = 0;
    // Blocks without handling events; a negative value counts as 0.
    virtual void Sleep(int milliseconds) = 0;

    // Runs the event loop until EndProgram; answers its exit code.
    virtual int RunMessageLoop() = 0;
    // Destroys every window (each removes its tray icon), stops the event loop with the code.
    virtual void EndProgram(int exit_code) = 0;
};

// A property's value read as the property's type: a number reads a flag as 1 or 0 and a text by
// ToInteger; a flag is a number other than 0; a text writes a number or a flag by ToText.
std::int64_t PropertyNumber(const PropertyValue& value);
bool PropertyFlag(const PropertyValue& value);
Text PropertyText(const PropertyValue& value);
// What a property reads as where it does not apply: false, an empty text or 0, by its type.
PropertyValue EmptyPropertyValue(Property property);

// Typed reads over GetProperty.
std::int64_t GetNumber(const UiService& ui, const ControlRef& ref, Property property);
bool GetFlag(const UiService& ui, const ControlRef& ref, Property property);
Text GetText(const UiService& ui, const ControlRef& ref, Property property);

}  // namespace yz
