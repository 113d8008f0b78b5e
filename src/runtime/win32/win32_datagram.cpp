// Winsock first: <windows.h> would otherwise bring in the old <winsock.h>.
#include <winsock2.h>

#include "runtime/win32/win32_desktop.h"

namespace yz {

namespace {

constexpr wchar_t kDatagramClass[] = L"YzDatagramUnit";
// Private: the socket in wparam has something to read (WSAAsyncSelect).
constexpr UINT kDatagramReadableMessage = WM_APP + 0x32;

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
    WSAAsyncSelect(static_cast<SOCKET>(control->datagram->native_handle()), hidden, kDatagramReadableMessage, FD_READ);
}

LRESULT CALLBACK Win32Desktop::DatagramWindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message != kDatagramReadableMessage) {
        return DefWindowProcW(hwnd, message, wparam, lparam);
    }
    auto* control = reinterpret_cast<ControlState*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (control == nullptr || control->datagram == nullptr || WSAGETSELECTEVENT(lparam) != FD_READ) {
        return 0;
    }
    // One datagram per notice; reading re-arms FD_READ while more are waiting.
    if (std::optional<Bytes> received = control->datagram->Receive()) {
        control->datagram_data = std::move(*received);
        control->desktop->RaiseFor(control, EventKind::kDatagramArrived);
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
