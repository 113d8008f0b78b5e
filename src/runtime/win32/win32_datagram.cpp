// Winsock first: <windows.h> would otherwise bring in the old <winsock.h>.
#include <winsock2.h>

#include "runtime/win32/win32_desktop.h"

namespace yz {

namespace {

constexpr wchar_t kDatagramClass[] = L"YzDatagramUnit";
// Private: the socket in wparam has something to read (WSAAsyncSelect).
constexpr UINT kDatagramReadableMessage = WM_APP + 0x32;
// Posted messages go before input and paint, so a socket that reported each datagram as it came
// would let a flood starve the window. Once it has reported, the socket falls quiet and a timer,
// whose message comes only when no input or paint is waiting, reads what arrives, at most a batch
// per tick, until a tick finds nothing: then the socket reports again.
constexpr int kDatagramBatch = 32;
constexpr UINT_PTR kBacklogTimer = 1;

SOCKET SocketOf(const ControlState* control) {
    return static_cast<SOCKET>(control->datagram->native_handle());
}

// The socket reports each arrival, and any datagram already waiting, through the message queue.
void ReportArrivals(const ControlState* control, HWND hidden) {
    KillTimer(hidden, kBacklogTimer);
    WSAAsyncSelect(SocketOf(control), hidden, kDatagramReadableMessage, FD_READ);
}

// The socket is quiet; the timer reads what arrives.
void ReadByTimer(const ControlState* control, HWND hidden) {
    WSAAsyncSelect(SocketOf(control), hidden, 0, 0);
    SetTimer(hidden, kBacklogTimer, USER_TIMER_MINIMUM, nullptr);
}

}  // namespace

void Win32Desktop::OpenDatagramSocket(ControlState* control) {
    control->datagram = std::make_unique<DatagramSocket>(control->tmpl.port);
    if (!control->datagram->bound()) {
        return;  // sends fail; nothing arrives
    }
    static const ATOM registered = [] {
        WNDCLASSEXW type{};
        type.cbSize = sizeof type;
        type.lpfnWndProc = DatagramWindowProc;
        type.hInstance = GetModuleHandleW(nullptr);
        type.lpszClassName = kDatagramClass;
        return RegisterClassExW(&type);
    }();
    if (registered == 0) {
        return;
    }
    // A message-only window: the socket's notices go through the thread's message queue, so each
    // datagram arrives as an event on the UI thread, in modal loops and waits too.
    HWND hidden = CreateWindowExW(0, kDatagramClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    if (hidden == nullptr) {
        return;
    }
    SetWindowLongPtrW(hidden, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control));
    control->datagram_window = hidden;
    ReportArrivals(control, hidden);
}

LRESULT CALLBACK Win32Desktop::DatagramWindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    const bool readable = message == kDatagramReadableMessage && WSAGETSELECTEVENT(lparam) == FD_READ;
    const bool backlog = message == WM_TIMER && wparam == kBacklogTimer;
    if (!readable && !backlog) {
        return message == kDatagramReadableMessage ? 0 : DefWindowProcW(hwnd, message, wparam, lparam);
    }
    auto* control = reinterpret_cast<ControlState*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (control == nullptr || control->datagram == nullptr) {
        return 0;
    }
    int handled = 0;
    for (; handled < kDatagramBatch; ++handled) {
        std::optional<Bytes> received = control->datagram->Receive();
        if (!received) {
            break;
        }
        control->datagram_data = std::move(*received);
        control->desktop->RaiseFor(control, EventKind::kDatagramArrived);
        if (!control->window->live) {
            return 0;  // a handler closed the window; its socket goes with it
        }
    }
    if (readable) {
        ReadByTimer(control, hwnd);
    } else if (handled == 0) {
        ReportArrivals(control, hwnd);
    }
    return 0;
}

bool Win32Desktop::DatagramSend(const ControlRef& socket, const Text& host, int port, const Bytes& data) {
    const ControlState* control = FindControl(socket);
    if (control == nullptr || control->datagram == nullptr) {
        return false;
    }
    return control->datagram->Send(host.empty() ? control->tmpl.broadcast_address : host, port, data);
}

Bytes Win32Desktop::DatagramData(const ControlRef& socket) const {
    const ControlState* control = FindControl(socket);
    return control == nullptr ? Bytes{} : control->datagram_data;
}

}  // namespace yz
