#pragma once

// The in-memory desktop: a UiService whose screen, keyboard, mouse, clock and modal boxes belong
// to a test that plays the writer. Features run on it unchanged and meet the same events in the
// same order as on Win32 (see ui_service.h); on top of the service it offers the writer's actions,
// the answers to modal boxes queued before the action that opens them, and the records of what
// the program showed.
//
// Posted work (a CloseWindow without at_once, keys injected by SimulateKeys, PostEvent) runs when
// the outermost call into the desktop returns, which is when the real event loop would get to it,
// and inside every nested loop: message boxes, dialogs, popup menus, modal windows,
// DelayWithEvents and AdvanceClock.
//
// Anything modal that finds no queued answer is a problem: it is reported to the problem handler
// (tests make it a failure) and given the answer that does least (Cancel, No, nothing picked).

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <tuple>
#include <utility>
#include <vector>

#include "runtime/headless/headless_answers.h"
#include "runtime/headless/headless_datagrams.h"
#include "runtime/headless/headless_hotkeys.h"
#include "runtime/headless/headless_keys.h"
#include "runtime/headless/headless_records.h"
#include "runtime/headless/headless_state.h"
#include "runtime/ui_service.h"

namespace yz {

class HeadlessDesktop final : public UiService {
  public:
    using ProblemHandler = std::function<void(const Text& problem)>;
    using UserAction = QueuedAnswers::UserAction;

    HeadlessDesktop();
    ~HeadlessDesktop() override;
    HeadlessDesktop(const HeadlessDesktop&) = delete;
    HeadlessDesktop& operator=(const HeadlessDesktop&) = delete;

    // UiService.
    bool LoadWindow(const WindowTemplate& window, const Text& owner, bool modal) override;
    void CloseWindow(const Text& window, bool at_once) override;
    bool Exists(const ControlRef& ref) const override;
    void SetFocus(const ControlRef& ref) override;
    ControlRef FocusedControl() const override;
    PropertyValue GetProperty(const ControlRef& ref, Property property) const override;
    void SetProperty(const ControlRef& ref, Property property, const PropertyValue& value) override;
    void Bind(const ControlRef& ref, EventKind event, EventHandler handler) override;
    void BindMenu(const Text& window, const Text& caption, MenuHandler handler) override;
    void PopupMenu(const Text& window, const Text& menu, std::optional<int> x, std::optional<int> y) override;
    int MessageBox(const Text& text, int flags, const Text& caption) override;
    bool ShowFileDialog(const ControlRef& dialog) override;
    void EditAppend(const ControlRef& edit, const Text& text) override;
    std::string_view EditText(const ControlRef& edit) const override;
    int ListBoxInsert(const ControlRef& list, int index, const Text& text, std::int64_t data) override;
    void ListBoxClear(const ControlRef& list) override;
    int ListViewInsert(const ControlRef& view, int row, const Text& text) override;
    void ListViewSetText(const ControlRef& view, int row, int column, const Text& text) override;
    Text ListViewGetText(const ControlRef& view, int row, int column) const override;
    int ListViewItemCount(const ControlRef& view) const override;
    void ListViewDelete(const ControlRef& view, int row) override;
    void ListViewInsertColumn(const ControlRef& view, int column, const Text& title, int width) override;
    void SetTabCaption(const ControlRef& tabs, int page, const Text& caption) override;
    std::int64_t SendUnitMessage(const ControlRef& ref, int message, std::int64_t wparam, std::int64_t lparam) override;
    void SetWindowAlpha(const Text& window, int alpha) override;
    void SetColourKey(const Text& window, Colour key) override;
    void SetBackgroundPicture(const Text& window, const Bytes& picture) override;
    void SetTrayIcon(const Text& window, const std::optional<Text>& picture, const Text& tooltip) override;
    void ShowTip(const ControlRef& tip, int x, int y, const Text& rich_text, int icon, bool flag) override;
    // Sends only to loopback: any other target fails.
    bool DatagramSend(const ControlRef& socket, const Text& host, int port, const Bytes& data) override;
    Bytes DatagramData(const ControlRef& socket) const override;
    int RegisterGlobalHotKey(const Text& watched_window,
                             const ControlRef& receiver,
                             int modifier,
                             int virtual_key) override;
    void SimulateKeys(std::initializer_list<int> virtual_keys) override;
    void OpenUrl(const Text& address) override;
    int CursorX() const override { return cursor_x_; }
    int CursorY() const override { return cursor_y_; }
    int ScreenWidth() const override { return screen_width_; }
    int ScreenHeight() const override { return screen_height_; }
    void DelayWithEvents(int milliseconds) override;
    void Sleep(int milliseconds) override;
    // Runs posted work and the queued user actions in turn until EndProgram (answering its code)
    // or until neither is left (answering 0, ended() stays false).
    int RunMessageLoop() override;
    void EndProgram(int exit_code) override;

    // Problems: a modal box nobody answered, a modal window nobody closed, an answer that does
    // not fit what was asked. Each is kept and passed to the handler.
    void SetProblemHandler(ProblemHandler handler) { problem_handler_ = std::move(handler); }
    const std::vector<Text>& problems() const { return problems_; }

    // Answers, queued before the action that needs them; each kind is used first in, first out.
    void QueueMessageBoxAnswer(int result) { answers_.message_boxes.push_back(result); }
    void QueueFileDialogAnswer(std::optional<Text> path) { answers_.files.push_back(std::move(path)); }
    void QueueFontDialogAnswer(std::optional<FontChoice> font) { answers_.fonts.push_back(std::move(font)); }
    void QueuePopupMenuPick(std::optional<Text> caption) { answers_.popup_picks.push_back(std::move(caption)); }
    void QueueColourPick(std::optional<Colour> colour) { answers_.colours.push_back(colour); }
    // The writer's next move inside a modal window or RunMessageLoop, whichever loop runs first.
    void QueueUserAction(UserAction action) { answers_.user_actions.push_back(std::move(action)); }
    // One line per queued answer nobody asked for.
    std::vector<Text> UnusedAnswers() const { return answers_.DescribeUnused(); }

    // The writer's actions. Each answers false when the target cannot take the input: it does not
    // exist, or it, its tab control or its window is hidden, disabled or minimised.
    //
    // Keyboard (modifiers: vk::kCtrl, vk::kShift, vk::kAlt). TypeText gives the control the focus,
    // then types each character as key-down, character, key-up; "\r\n" or "\n" is one Enter and a
    // double-byte character one input-method character.
    bool TypeText(const ControlRef& ref, const Text& text);
    // One key (key-down, its character if it makes one, key-up) to the control after giving it
    // the focus, or to whatever has the focus. A registered hotkey takes the key-down first.
    bool PressKey(const ControlRef& ref, int virtual_key, int modifiers = 0);
    bool PressKey(int virtual_key, int modifiers = 0);
    // A key pressed while another program has the focus: only a hotkey reacts; true when one did.
    bool PressGlobalKey(int virtual_key, int modifiers = 0);
    // Mouse, at client coordinates of the control (or of the window for an empty control name).
    bool Click(const ControlRef& ref, int x = 1, int y = 1, int modifiers = 0);
    bool LeftButtonDown(const ControlRef& ref, int x = 1, int y = 1, int modifiers = 0);
    bool LeftButtonUp(const ControlRef& ref, int x = 1, int y = 1, int modifiers = 0);
    bool DoubleClick(const ControlRef& ref, int x = 1, int y = 1, int modifiers = 0);
    bool RightClick(const ControlRef& ref, int x = 1, int y = 1, int modifiers = 0);
    bool MouseMove(const ControlRef& ref, int x, int y, int modifiers = 0);
    bool Wheel(const ControlRef& ref, int notches, int modifiers = 0);
    // Shows page `page` by the tab page rule, raises the tab control's selection-changed (a: the
    // page), then gives the focus to the page's first control in Tab order.
    bool SelectTabPage(const ControlRef& tabs, int page);
    // Clamped to the slider's range, then position-changed (a: the position).
    bool MoveSlider(const ControlRef& slider, int position);
    bool SelectListBoxLine(const ControlRef& list, int index);
    // The edit box's selection as the writer drags it, without events.
    bool SelectEditText(const ControlRef& edit, int anchor, int caret);
    // Windows. A menu entry runs like a click; false when the window has no such entry that is
    // shown and enabled.
    bool PickMenuItem(const Text& window, const Text& caption);
    // The close button: query-close runs, and the window closes unless refused; true when closed.
    bool RequestClose(const Text& window);
    bool Activate(const Text& window);
    bool MinimiseByUser(const Text& window);
    bool MoveWindowByUser(const Text& window, int left, int top);
    bool ResizeWindowByUser(const Text& window, int width, int height);
    // action 1 left button released, 2 double click, 3 right button released; false without icon.
    bool ClickTrayIcon(const Text& window, int action);
    // Any event raised now or posted for later (a datagram arriving, say); true when not swallowed.
    bool RaiseEvent(const Event& event);
    void PostEvent(const Event& event);
    // Runs posted work now.
    void RunPending();
    // The next event or menu handler to run calls `fault` first, as if the handler itself had
    // failed there (a test makes the program meet a programming error or exhausted memory).
    void InjectFault(std::function<void()> fault) { fault_ = std::move(fault); }
    // Datagrams. Those that reach a socket queue up behind the posted work and arrive, one event
    // each, wherever posted work runs. DeliverDatagram queues one as if it had come from the
    // network (false when the control has no socket); WaitForDatagram blocks up to `real_ms` of
    // real time until one waits, then runs the events: true when one arrived.
    bool DeliverDatagram(const ControlRef& socket, const Bytes& data);
    bool WaitForDatagram(int real_ms);
    // Virtual time passes: due timers tick in order and posted work runs, as in DelayWithEvents.
    void AdvanceClock(int milliseconds);

    // The surroundings.
    void SetClipboard(const Text& text) { clipboard_ = text; }
    const Text& clipboard() const { return clipboard_; }
    void SetCursor(int x, int y);
    void SetScreenSize(int width, int height);
    // A picture the tray cannot show (an unknown resource); the empty name is never usable.
    void MarkPictureUnusable(const Text& picture) { unusable_pictures_.insert(picture); }
    // Another program owns the combination (modifiers as key events carry them).
    void ClaimHotKeyElsewhere(int modifiers, int virtual_key);
    // That program ended: the combination reaches the focused control again (a registration that
    // failed meanwhile stays failed).
    void ReleaseHotKeyElsewhere(int modifiers, int virtual_key);
    // Local time (runtime/clock.h Now()) starts at `at` and runs with the virtual clock, until
    // this desktop is destroyed.
    void SetLocalDateTime(const DateTime& at);

    // Inspection.
    std::int64_t now_ms() const { return now_ms_; }
    const std::vector<MessageBoxRecord>& message_boxes() const { return message_boxes_; }
    const std::vector<DialogRecord>& dialogs() const { return dialogs_; }
    const std::vector<PopupRecord>& popups() const { return popups_; }
    const std::vector<BalloonRecord>& balloons() const { return balloons_; }
    // Drops the balloons shown so far (a test that looks only at what follows).
    void ForgetBalloons() { balloons_.clear(); }
    const std::vector<Text>& opened_urls() const { return opened_urls_; }
    const std::vector<std::vector<int>>& simulated_keys() const { return simulated_keys_; }
    const std::vector<RegisteredHotKey>& hot_keys() const { return hot_keys_.keys(); }
    std::optional<TrayIconState> TrayIcon(const Text& window) const;
    LayeredState Layered(const Text& window) const;
    // The bytes last given as the window's background picture; empty when none was given.
    Bytes BackgroundPicture(const Text& window) const;
    Text ActiveWindow() const { return active_; }
    // Shown on screen: its own flag, and every tab control it sits in, and its window.
    bool IsEffectivelyVisible(const ControlRef& ref) const;
    bool AcceptsInput(const ControlRef& ref) const;
    int TabPage(const ControlRef& tabs) const;
    std::vector<Text> TabCaptions(const ControlRef& tabs) const;
    std::vector<ListBoxLine> ListBoxLines(const ControlRef& list) const;
    int ListBoxSelection(const ControlRef& list) const;
    std::vector<Text> ListViewColumns(const ControlRef& view) const;
    // Edit boxes: [start, end) of the selection and the caret, in bytes.
    std::pair<int, int> EditSelection(const ControlRef& edit) const;
    int EditCaret(const ControlRef& edit) const;
    int DatagramPort(const ControlRef& socket) const;
    // Whether the control's socket could be bound to its port.
    bool DatagramBound(const ControlRef& socket) const { return datagrams_.Bound(socket); }
    std::vector<Text> WindowNames() const;
    // Every (window, control, event) and every (window, menu caption) with a handler bound.
    std::set<std::tuple<Text, Text, EventKind>> BoundEvents() const;
    std::set<std::pair<Text, Text>> BoundMenus() const;
    bool ended() const { return ended_; }
    int exit_code() const { return exit_code_; }

  private:
    friend class ActionScope;

    // headless_desktop.cpp: windows, lookups, events, posted work.
    WindowState* FindWindow(const Text& window);
    const WindowState* FindWindow(const Text& window) const;
    ControlState* FindControl(const ControlRef& ref);
    const ControlState* FindControl(const ControlRef& ref) const;
    bool Raise(const ControlRef& ref, EventKind kind, int a = 0, int b = 0, int c = 0);
    // Runs a handler with the injected fault first; what escapes it is fatal (runtime/fatal_error),
    // and no handler runs after that.
    bool RunHandlerWithFault(const std::function<bool()>& handler);
    void RunMenuHandler(std::shared_ptr<MenuHandler> handler);  // a copy: the handler may rebind itself
    void Post(std::function<void()> work) { posted_.push_back(std::move(work)); }
    void DrainPosted();
    void ReportProblem(const Text& problem);
    void DestroyWindow(const Text& window);
    bool IsEffectivelyEnabled(const ControlRef& ref) const;
    // headless_windows.cpp: properties with consequences, activation, focus.
    void SetWindowProperty(const Text& window, Property property, const PropertyValue& value);
    void SetControlProperty(const ControlRef& ref, Property property, const PropertyValue& value);
    void ApplyPositionState(const Text& window, int state);
    void ChangeFocus(const ControlRef& to);
    void ActivateWindow(const Text& window, std::optional<ControlRef> focus);
    void DeactivateWindow(const Text& window);
    void FocusAfterHiding();
    std::optional<ControlRef> FirstInTabOrder(const Text& window, const Text& container, int page) const;
    bool CanTakeFocus(const ControlRef& ref) const;
    void MoveFocusInTabOrder(bool backwards);
    void FocusOnClick(const ControlRef& ref);
    // headless_keyboard.cpp.
    bool FocusForTyping(const ControlRef& ref);
    bool TakeHotKey(const KeyStroke& key);
    void DeliverKey(const KeyStroke& key);
    void DeliverKeyDown(const KeyStroke& key);
    void DeliverKeyUp(const KeyStroke& key);
    void ApplyKeyToEdit(const ControlRef& ref, const KeyStroke& key);
    void ApplyCharacterToEdit(const ControlRef& ref, int character);
    void ChangeEdit(const ControlRef& ref, const std::function<bool(EditBuffer&)>& change);
    void RunSimulatedKeys(const std::vector<int>& keys);
    // headless_mouse.cpp.
    bool PrepareMouse(const ControlRef& ref);
    void ApplyClick(const ControlRef& ref);
    // headless_modal.cpp.
    void RunModalLoop(const Text& window);
    void OpenColourPalette(const ControlRef& picker);
    // headless_time.cpp.
    void RunClockTo(std::int64_t target);

    std::vector<std::unique_ptr<WindowState>> windows_;  // creation order
    std::map<std::tuple<Text, Text, EventKind>, std::shared_ptr<EventHandler>> handlers_;
    std::map<std::pair<Text, Text>, std::shared_ptr<MenuHandler>> menu_handlers_;
    std::deque<std::function<void()>> posted_;
    std::function<void()> fault_;
    bool fatal_ = false;
    int action_depth_ = 0;
    ControlRef focus_;
    Text active_;
    int held_modifiers_ = 0;  // modifier keys down in injected input

    QueuedAnswers answers_;
    ProblemHandler problem_handler_;
    std::vector<Text> problems_;

    std::int64_t now_ms_ = 0;
    std::uint64_t timer_starts_ = 0;
    bool owns_time_source_ = false;
    DateTime local_base_;
    std::int64_t local_base_ms_ = 0;

    HotKeyRegistry hot_keys_;
    HeadlessDatagrams datagrams_;
    std::set<Text> unusable_pictures_;
    Text clipboard_;
    int cursor_x_ = 0;
    int cursor_y_ = 0;
    int screen_width_ = 1366;
    int screen_height_ = 768;
    bool ended_ = false;
    int exit_code_ = 0;

    std::vector<MessageBoxRecord> message_boxes_;
    std::vector<DialogRecord> dialogs_;
    std::vector<PopupRecord> popups_;
    std::vector<BalloonRecord> balloons_;
    std::vector<Text> opened_urls_;
    std::vector<std::vector<int>> simulated_keys_;
};

}  // namespace yz
