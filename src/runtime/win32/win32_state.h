#pragma once

// What the Win32 desktop keeps about each loaded window and each of its controls. The template
// copy inside each state is the live settings: property writes update it (caption, colours, font,
// wanted visibility), so drawing code and the page rule read one place.

#include <windows.h>

#include <memory>
#include <optional>
#include <vector>

#include "runtime/balloon_queue.h"
#include "runtime/datagram_socket.h"
#include "runtime/ui_template.h"
#include "runtime/win32/win32_edit_text.h"
#include "runtime/win32/win32_pictures.h"

namespace yz {

class Win32Desktop;
struct WindowState;

// Messages with a fixed meaning for the program.
inline constexpr UINT kTrayCallbackMessage = 0x8064;
inline constexpr UINT kHotKeyNotifyMessage = 0x8075;
// Private: destroys the window after the event that asked for it has finished.
inline constexpr UINT kDeferredCloseMessage = WM_APP + 0x31;
// Private: makes the windows of the hidden controls not used so far.
inline constexpr UINT kMakeDeferredControlsMessage = WM_APP + 0x32;

inline constexpr UINT kTrayIconId = 100;
inline constexpr UINT kFirstMenuCommand = 40001;
inline constexpr UINT_PTR kFirstTimerId = 1000;
inline constexpr int kFirstControlId = 2000;

struct ControlState {
    ~ControlState();

    Win32Desktop* desktop = nullptr;
    WindowState* window = nullptr;
    ControlTemplate tmpl;
    int index = 0;  // in the template: the control identifier and the stacking order
    HWND hwnd = nullptr;
    HWND parent = nullptr;
    // The procedure of the control's class; the desktop's own procedure runs first and passes on to it.
    WNDPROC class_proc = nullptr;
    // A control's window is made on its first use, or once the loading window's handlers have run
    // (shown controls, at the places those handlers gave them), or once the window has been shown
    // and painted (hidden ones): a window's start then costs only what it shows, each window made
    // once where it belongs. Until then the template copy holds what is written to it. A datagram
    // socket likewise opens once its window is painted, or on its first use before.
    bool deferred = false;
    HFONT font = nullptr;  // owned; nullptr uses the desktop's default font
    HBRUSH back_brush = nullptr;
    std::vector<std::unique_ptr<Picture>> pictures;

    int content_changes = 0;           // EN_CHANGE count, to raise exactly one event per text write
    mutable EditTextMirror edit_text;  // edit boxes: the text as read last, kept up to date while typing
    bool hot = false;                  // picture button under the mouse
    bool pressed = false;              // a button pressed without taking the focus

    // Slider: the value last written, reported until the writer moves the thumb.
    std::optional<int> slider_written;
    bool slider_moved = false;

    int period = 0;         // timer
    UINT_PTR timer_id = 0;  // timers, and balloon tips for the next balloon's turn

    Colour colour = kBlack;  // colour picker

    // Common dialog; the font choice lives in tmpl.font and tmpl.text_colour.
    int dialog_kind = 0;
    Text file_name;
    Text initial_directory;
    Text default_extension;

    HWND balloon = nullptr;  // balloon tip shown by this tip control
    bool balloon_flag = false;
    BalloonQueue balloon_queue;  // balloons asked for before their turn; the timer shows them
    bool balloon_timer = false;  // set for the next one's turn (setting it again would put it off)

    // Datagram socket: the socket, the hidden window it reports readable data to, and the bytes
    // of the datagram last received.
    std::unique_ptr<DatagramSocket> datagram;
    HWND datagram_window = nullptr;
    Bytes datagram_data;
};

struct WindowState {
    ~WindowState();

    Win32Desktop* desktop = nullptr;
    WindowTemplate tmpl;
    HWND hwnd = nullptr;
    HWND owner = nullptr;
    bool modal = false;
    bool live = false;  // events flow once every control exists
    bool visible_wanted = true;
    bool close_asked = false;  // closed "after the current event": never shown from then on
    bool activated_once = false;
    std::optional<int> pending_position_state;
    int position_state = 0;
    RECT reported{};  // the rectangle last reported by moved / resized
    std::vector<std::unique_ptr<ControlState>> controls;
    std::vector<MenuEntry> menus;  // current state of the template's menu entries
    HACCEL accelerators = nullptr;
    HBRUSH background_brush = nullptr;
    std::unique_ptr<Picture> background_picture;
    bool picture_pending = false;  // the template's picture is decoded when the window is first painted
    HICON icon = nullptr;
    HICON tray_icon = nullptr;
    bool tray_shown = false;
    HWND last_focus = nullptr;
};

// What the control's class does with a message, below the desktop's own procedure.
LRESULT CallControlClass(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

}  // namespace yz
