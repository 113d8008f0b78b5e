#include "runtime/win32/win32_pictures.h"

#include <cstring>

#include "runtime/wide_win32.h"

namespace yz {

GdiplusSession::GdiplusSession() {
    Gdiplus::GdiplusStartupInput input;
    if (Gdiplus::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok) {
        token_ = 0;
    }
}

GdiplusSession::~GdiplusSession() {
    if (token_ != 0) {
        Gdiplus::GdiplusShutdown(token_);
    }
}

std::optional<Bytes> PictureResourceBytes(const Text& name) {
    if (name.empty()) {
        return std::nullopt;
    }
    HMODULE module = GetModuleHandleW(nullptr);
    const std::wstring wide = WideFromGbk(name);
    HRSRC found = FindResourceW(module, wide.c_str(), MAKEINTRESOURCEW(10));  // RT_RCDATA
    if (found == nullptr) {
        return std::nullopt;
    }
    HGLOBAL loaded = LoadResource(module, found);
    const DWORD size = SizeofResource(module, found);
    const auto* data = loaded != nullptr ? static_cast<const std::uint8_t*>(LockResource(loaded)) : nullptr;
    if (data == nullptr) {
        return std::nullopt;
    }
    return Bytes(data, data + size);
}

namespace {

std::optional<Bytes> ReadWholeFile(const Text& path) {
    const std::wstring wide = WideFromGbk(path);
    HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    LARGE_INTEGER size{};
    std::optional<Bytes> result;
    if (GetFileSizeEx(file, &size) && size.QuadPart < (1LL << 30)) {
        Bytes bytes(static_cast<std::size_t>(size.QuadPart));
        DWORD read = 0;
        if (bytes.empty() ||
            (ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) && read == bytes.size())) {
            result = std::move(bytes);
        }
    }
    CloseHandle(file);
    return result;
}

}  // namespace

std::optional<Bytes> PictureBytes(const Text& name) {
    if (auto bytes = PictureResourceBytes(name)) {
        return bytes;
    }
    if (name.empty()) {
        return std::nullopt;
    }
    return ReadWholeFile(name);
}

std::unique_ptr<Gdiplus::Bitmap> DecodePicture(ByteView bytes) {
    if (bytes.empty()) {
        return nullptr;
    }
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (memory == nullptr) {
        return nullptr;
    }
    void* target = GlobalLock(memory);
    memcpy(target, bytes.data(), bytes.size());
    GlobalUnlock(memory);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
        GlobalFree(memory);
        return nullptr;
    }
    std::unique_ptr<Gdiplus::Bitmap> copy;
    {
        Gdiplus::Bitmap decoded(stream);
        const UINT width = decoded.GetWidth();
        const UINT height = decoded.GetHeight();
        if (decoded.GetLastStatus() == Gdiplus::Ok && width > 0 && height > 0) {
            copy = std::make_unique<Gdiplus::Bitmap>(static_cast<INT>(width), static_cast<INT>(height),
                                                     PixelFormat32bppPARGB);
            Gdiplus::Graphics graphics(copy.get());
            graphics.DrawImage(&decoded, 0, 0, static_cast<INT>(width), static_cast<INT>(height));
            if (copy->GetLastStatus() != Gdiplus::Ok) {
                copy.reset();
            }
        }
    }
    stream->Release();
    return copy;
}

std::unique_ptr<Gdiplus::Bitmap> LoadPicture(const Text& name) {
    const auto bytes = PictureBytes(name);
    return bytes ? DecodePicture(*bytes) : nullptr;
}

HICON IconFromPicture(const Text& name) {
    auto picture = LoadPicture(name);
    HICON icon = nullptr;
    if (picture == nullptr || picture->GetHICON(&icon) != Gdiplus::Ok) {
        return nullptr;
    }
    return icon;
}

void DrawPicture(HDC dc, Gdiplus::Bitmap& picture, int x, int y, int width, int height) {
    Gdiplus::Graphics graphics(dc);
    graphics.DrawImage(&picture, x, y, width, height);
}

}  // namespace yz
