#include "runtime/win32/win32_key_paint.h"

#include <cstdint>

#include "runtime/win32/win32_state.h"

namespace yz {

bool ColourKeyOf(HWND control, COLORREF* key) {
    HWND top = GetAncestor(control, GA_ROOT);
    BYTE alpha = 0;
    DWORD flags = 0;
    return top != nullptr && (GetWindowLongW(top, GWL_EXSTYLE) & WS_EX_LAYERED) != 0 &&
           GetLayeredWindowAttributes(top, key, &alpha, &flags) && (flags & LWA_COLORKEY) != 0;
}

void DrawAvoidingKey(HDC target, const RECT& rect, COLORREF key, const std::function<void(HDC)>& draw) {
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap =
        width > 0 && height > 0 ? CreateDIBSection(target, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
    if (bitmap == nullptr) {
        return;
    }
    HDC copy = CreateCompatibleDC(target);
    HGDIOBJ old_bitmap = SelectObject(copy, bitmap);
    draw(copy);
    GdiFlush();
    // DIB pixels are 0x00RRGGBB; a colour value is 0x00BBGGRR.
    const std::uint32_t keyed = (GetRValue(key) << 16) | (GetGValue(key) << 8) | GetBValue(key);
    const std::uint32_t nearest = keyed ^ 1u;  // one step of blue away, invisible to the eye
    auto* pixel = static_cast<std::uint32_t*>(bits);
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    for (std::size_t i = 0; i < count; ++i) {
        if ((pixel[i] & 0x00FFFFFFu) == keyed) {
            pixel[i] = nearest;
        }
    }
    BitBlt(target, rect.left, rect.top, width, height, copy, 0, 0, SRCCOPY);
    SelectObject(copy, old_bitmap);
    DeleteDC(copy);
    DeleteObject(bitmap);
}

bool PaintedAvoidingKey(HWND control, UINT message) {
    COLORREF key = 0;
    if ((message != WM_PAINT && message != WM_ERASEBKGND) || !ColourKeyOf(control, &key)) {
        return false;
    }
    if (message == WM_PAINT) {
        PAINTSTRUCT paint{};
        HDC screen = BeginPaint(control, &paint);
        RECT client{};
        GetClientRect(control, &client);
        // The control draws its background and face into the copy, as it would on the screen.
        DrawAvoidingKey(screen, client, key, [control](HDC copy) {
            CallControlClass(control, WM_ERASEBKGND, reinterpret_cast<WPARAM>(copy), 0);
            CallControlClass(control, WM_PAINT, reinterpret_cast<WPARAM>(copy), 0);
        });
        EndPaint(control, &paint);
    }
    return true;
}

}  // namespace yz
