#pragma once

// The real desktop: Win32 windows and common controls built from the templates, their messages
// turned into the service's events, and the message loops. One instance per process; it owns every
// window it loads. Texts cross the interface as GBK and are converted with code page 936 here.

#include <windows.h>
// <windows.h> renames these to their W forms; the service interfaces' own functions of the same
// names (UiService::MessageBox, the file attribute services) keep theirs in every file that
// includes this header.
#undef MessageBox
#undef SetFileAttributes
#undef GetFileAttributes

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "runtime/ui_service.h"
#include "runtime/win32/win32_pictures.h"
#include "runtime/win32/win32_state.h"

namespace yz {

class Win32Desktop final : public UiService {
  public:
    Win32Desktop();
    ~Win32Desktop() override;
    Win32Desktop(const Win32Desktop&) = delete;
    Win32Desktop& operator=(const Win32Desktop&) = delete;

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
    bool DatagramSend(const ControlRef& socket, const Text& host, int port, const Bytes& data) override;
    Bytes DatagramData(const ControlRef& socket) const override;
    int RegisterGlobalHotKey(const Text& watched_window,
                             const ControlRef& receiver,
                             int modifier,
                             int virtual_key) override;
    void SimulateKeys(std::initializer_list<int> virtual_keys) override;
    void OpenUrl(const Text& address) override;
    int CursorX() const override;
    int CursorY() const override;
    int ScreenWidth() const override;
    int ScreenHeight() const override;
    void DelayWithEvents(int milliseconds) override;
    void Sleep(int milliseconds) override;
    int RunMessageLoop() override;
    void EndProgram(int exit_code) override;

    // For the backend's own tests: replaces the blocking MessageBoxW; the native window of a
    // window or control; whether the window shows a tray icon; the balloon a tip shows; the open
    // colour palette.
    using MessageBoxFunction = std::function<int(const std::wstring& text, const std::wstring& caption, UINT style)>;
    void ReplaceMessageBoxForTesting(MessageBoxFunction function) { message_box_ = std::move(function); }
    HWND Handle(const ControlRef& ref) const;
    bool HasTrayIcon(const Text& window) const;
    HWND BalloonOf(const ControlRef& tip) const;
    HWND PaletteWindow() const { return palette_; }

  private:
    using HandlerKey = std::tuple<Text, Text, EventKind>;

    // Lookups (win32_desktop.cpp).
    WindowState* FindWindowState(const Text& name) const;
    // FindControl makes a deferred control's window first; LookUpControl leaves it deferred.
    ControlState* FindControl(const ControlRef& ref) const;
    ControlState* LookUpControl(const ControlRef& ref) const;
    ControlState* ControlOf(HWND hwnd) const;
    WindowState* WindowOf(HWND hwnd) const;
    MenuEntry* FindMenuEntry(const ControlRef& ref) const;
    ControlRef RefOf(HWND hwnd) const;

    // Events: the bound handler's answer, true when none is bound or the window is not live yet.
    bool Raise(const Text& window, const Text& control, EventKind kind, int a = 0, int b = 0, int c = 0);
    bool RaiseFor(const ControlState* control, EventKind kind, int a = 0, int b = 0, int c = 0);
    // Runs one handler. An exception that escapes it is fatal (runtime/fatal_error.h): the box, and
    // the process ends with -1; no handler runs while the box is up.
    bool RunHandler(const std::function<bool()>& handler);
    bool RaiseForWindow(const WindowState* window, EventKind kind, int a = 0, int b = 0, int c = 0);
    // Raises the event a mouse, key or character message stands for; false when it is swallowed.
    bool RaiseInput(const WindowState* window, const ControlState* control, UINT message, WPARAM wparam, LPARAM lparam);

    // Window life (win32_desktop.cpp).
    void DestroyWindowState(WindowState* window);
    void Bury(WindowState* window);
    void ReleaseBuried();
    void ApplyPositionState(WindowState* window, int state);

    // Balloon tips, one new balloon per spacing (win32_desktop.cpp).
    void PopUpBalloon(ControlState* control, const BalloonRequest& request);
    void ShowDueBalloon(ControlState* control);
    void ScheduleBalloon(ControlState* control);

    // Window procedure and container messages (win32_window_proc.cpp).
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT OnWindowMessage(WindowState* window, UINT message, WPARAM wparam, LPARAM lparam);
    bool OnContainerMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result);
    void OnActivate(WindowState* window, WPARAM wparam);
    void OnMovedOrResized(WindowState* window);
    void PaintBackground(WindowState* window, HDC dc, POINT origin) const;
    LRESULT ControlColours(ControlState* control, HDC dc, UINT message, WPARAM wparam, LPARAM lparam);

    // Controls (win32_controls.cpp).
    void CreateControl(WindowState* window, const ControlTemplate& settings, int index);
    void MakeControlWindow(ControlState* control);
    void MakeShownControlWindows(WindowState* window);
    void OpenDeferredSockets(WindowState* window);
    void MakeDeferredControlWindows(WindowState* window);
    void ApplyFont(ControlState* control);
    void ApplyBackColour(ControlState* control);
    void DrawPictureButton(ControlState* control, const DRAWITEMSTRUCT& item);
    void DrawPictureFace(ControlState* control, const DRAWITEMSTRUCT& item);
    void DrawColourButton(ControlState* control, const DRAWITEMSTRUCT& item);
    void ShowPage(ControlState* tabs, int page, bool move_focus);
    std::vector<ControlState*> TabOrder(const WindowState* window) const;

    // Control subclass (win32_subclass.cpp).
    static LRESULT CALLBACK ControlProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT OnControlMessage(ControlState* control, UINT message, WPARAM wparam, LPARAM lparam);
    bool OnEditInput(ControlState* control, UINT message, WPARAM wparam, LPARAM lparam);
    void PaintPlaceholder(ControlState* control);
    bool RestAndLookForInput(const ControlState* typed_into);
    void NotePaint(HWND hwnd);
    bool OnButtonWithoutFocus(ControlState* control, UINT message, LPARAM lparam);
    void SetEditText(ControlState* control, const std::wstring& text);

    // Properties (win32_properties.cpp).
    PropertyValue WindowProperty(const WindowState* window, Property property) const;
    void SetWindowProperty(WindowState* window, Property property, const PropertyValue& value);
    PropertyValue ControlProperty(const ControlState* control, Property property) const;
    void SetControlProperty(ControlState* control, Property property, const PropertyValue& value);
    PropertyValue MenuProperty(const MenuEntry& entry, Property property) const;
    void SetMenuProperty(MenuEntry& entry, Property property, const PropertyValue& value);
    void SetFontProperty(ControlState* control, Property property, const PropertyValue& value);

    // Menus (win32_menus.cpp).
    void BuildAccelerators(WindowState* window);
    HMENU BuildMenu(const WindowState* window, std::size_t* index, int level) const;
    void RunMenuCommand(WindowState* window, UINT command);

    // Dialogs (win32_dialogs.cpp).
    bool RunFileDialog(ControlState* dialog);
    bool RunFontDialog(ControlState* dialog);

    // Tray (win32_tray.cpp).
    void RemoveTrayIcon(WindowState* window);

    // Colour picker palette (win32_colour_picker.cpp).
    void OpenPalette(ControlState* picker);
    void ChooseColourFor(ControlState* picker, Colour colour);
    void ChooseOtherColour(ControlState* picker);
    static LRESULT CALLBACK PaletteProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

    // Datagram sockets (win32_datagram.cpp).
    void OpenDatagramSocket(ControlState* control);
    static LRESULT CALLBACK DatagramWindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

    // Global hotkeys (win32_hotkeys.cpp).
    static LRESULT CALLBACK HotKeyWindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

    // Message loops (win32_message_loop.cpp).
    void Dispatch(MSG& message);
    bool TranslateShortcut(MSG& message);
    bool MoveFocusByTab(HWND from, bool backwards);
    void RunModal(HWND window);

    static Win32Desktop* current_;

    HFONT default_font_ = nullptr;
    HBRUSH off_key_brush_ = nullptr;  // see ControlColours
    COLORREF off_key_colour_ = 0;
    std::map<Text, std::unique_ptr<WindowState>> windows_;
    std::vector<std::unique_ptr<WindowState>> buried_;
    std::unordered_map<HWND, WindowState*> window_by_hwnd_;
    std::unordered_map<HWND, ControlState*> control_by_hwnd_;
    std::map<HandlerKey, EventHandler> handlers_;
    std::map<std::pair<Text, Text>, MenuHandler> menu_handlers_;
    int depth_ = 0;                              // handlers running
    bool fatal_ = false;                         // a handler failed: the last-resort box is up
    bool key_swallowed_ = false;                 // the key-down just dispatched was swallowed
    bool in_character_ = false;                  // a typed character's handlers run: what they write is painted with it
    bool painting_character_ = false;            // a typed character is being painted
    std::vector<HWND> painted_with_characters_;  // every window a typed character has repainted
    int exit_code_ = 0;
    MessageBoxFunction message_box_;
    LOGFONTW last_font_{};  // the last confirmed font dialog choice of this run
    COLORREF last_font_colour_ = 0;
    COLORREF custom_colours_[16] = {};
    HWND palette_ = nullptr;

    // Global hotkeys: identifiers 33001.. in registration order.
    int hotkey_count_ = 0;
    ControlRef hotkey_receiver_;
    std::map<HWND, WNDPROC> hotkey_previous_procs_;
};

}  // namespace yz
