#include "runtime/win32/win32_pictures.h"

// GDI+ needs the COM declarations that WIN32_LEAN_AND_MEAN leaves out; after <windows.h>.
#include <objidl.h>
// After both of the above.
#include <gdiplus.h>

#include <cstdlib>
#include <cstring>

#include "runtime/wide_win32.h"

namespace yz {

Picture::Picture(HBITMAP owned, int columns, int rows, bool transparent)
    : bitmap(owned), width(columns), height(rows), alpha(transparent) {}

Picture::~Picture() {
    DeleteObject(bitmap);
}

std::optional<ByteView> PictureResourceView(const Text& name) {
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
    return ByteView(data, size);
}

std::optional<Bytes> PictureResourceBytes(const Text& name) {
    const auto view = PictureResourceView(name);
    if (!view) {
        return std::nullopt;
    }
    return Bytes(view->data(), view->data() + view->size());
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

namespace {

// The largest side accepted: far beyond any window, and small enough that sizes cannot overflow.
constexpr std::int64_t kMaxSide = 16384;

template <typename T>
T ReadAt(ByteView bytes, std::size_t at) {
    T value{};
    std::memcpy(&value, bytes.data() + at, sizeof(T));
    return value;
}

// Keeps GDI+ running from its first use to the end of the process. No GDI+ object outlives the
// function that made it.
class GdiplusSession {
  public:
    GdiplusSession() {
        Gdiplus::GdiplusStartupInput input;
        if (Gdiplus::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok) {
            token_ = 0;
        }
    }
    ~GdiplusSession() {
        if (token_ != 0) {
            Gdiplus::GdiplusShutdown(token_);
        }
    }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;

    bool running() const { return token_ != 0; }

  private:
    ULONG_PTR token_ = 0;
};

// The first frame, premultiplied, in a 32-bit DIB section of its own.
std::unique_ptr<Picture> CopyPixels(Gdiplus::Bitmap& decoded) {
    const UINT width = decoded.GetWidth();
    const UINT height = decoded.GetHeight();
    if (decoded.GetLastStatus() != Gdiplus::Ok || width == 0 || height == 0 || width > kMaxSide || height > kMaxSide) {
        return nullptr;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height);  // top-down, like GDI+'s rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr) {
        return nullptr;
    }
    Gdiplus::Rect rect(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    Gdiplus::BitmapData data{};
    data.Width = width;
    data.Height = height;
    data.Stride = static_cast<INT>(width * 4);
    data.PixelFormat = PixelFormat32bppPARGB;
    data.Scan0 = bits;
    if (decoded.LockBits(&rect, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf, PixelFormat32bppPARGB,
                         &data) != Gdiplus::Ok) {
        DeleteObject(bitmap);
        return nullptr;
    }
    decoded.UnlockBits(&data);
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    bool alpha = false;
    for (std::size_t i = 0; i < static_cast<std::size_t>(width) * height && !alpha; ++i) {
        alpha = (pixels[i] >> 24) != 0xFF;
    }
    return std::make_unique<Picture>(bitmap, static_cast<int>(width), static_cast<int>(height), alpha);
}

std::unique_ptr<Picture> DecodeWithGdiplus(ByteView bytes) {
    static GdiplusSession session;
    if (!session.running()) {
        return nullptr;
    }
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (memory == nullptr) {
        return nullptr;
    }
    void* target = GlobalLock(memory);
    std::memcpy(target, bytes.data(), bytes.size());
    GlobalUnlock(memory);
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
        GlobalFree(memory);
        return nullptr;
    }
    std::unique_ptr<Picture> picture;
    {
        Gdiplus::Bitmap decoded(stream);
        picture = CopyPixels(decoded);
    }
    stream->Release();
    return picture;
}

// The first image of an ICO file, as the icon functions take it; nullptr when it is not one.
HICON IconFromIco(ByteView bytes) {
    constexpr std::size_t kDirectory = 6;
    constexpr std::size_t kEntry = 16;
    if (bytes.size() < kDirectory + kEntry || ReadAt<WORD>(bytes, 0) != 0 || ReadAt<WORD>(bytes, 2) != 1 ||
        ReadAt<WORD>(bytes, 4) == 0) {
        return nullptr;
    }
    const DWORD size = ReadAt<DWORD>(bytes, kDirectory + 8);
    const DWORD at = ReadAt<DWORD>(bytes, kDirectory + 12);
    if (size == 0 || at > bytes.size() || size > bytes.size() - at) {
        return nullptr;
    }
    // The icon functions take the image's bytes as writable, though they only read them.
    Bytes image(bytes.data() + at, bytes.data() + at + size);
    return CreateIconFromResourceEx(image.data(), size, TRUE, 0x00030000, 0, 0, LR_DEFAULTCOLOR);
}

// 8-bit rows expanded through their palette into a 32-bit DIB section of the same orientation.
// Drawing it is then a plain copy; drawn from the indexed form, every paint of a window's
// background would look each pixel up again. An index past the palette is black.
HBITMAP ExpandIndexed(BITMAPINFOHEADER header,
                      const std::uint8_t* palette,
                      std::size_t colours,
                      const std::uint8_t* pixels,
                      std::int64_t stride) {
    std::uint32_t colour_of[256] = {};
    std::memcpy(colour_of, palette, colours * 4);  // RGBQUAD is a 32-bit pixel's byte order
    for (std::uint32_t& colour : colour_of) {
        colour &= 0x00FFFFFFu;
    }
    header.biBitCount = 32;
    header.biClrUsed = 0;
    header.biSizeImage = 0;
    void* bits = nullptr;
    HBITMAP bitmap =
        CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr) {
        return nullptr;
    }
    const auto width = static_cast<std::size_t>(header.biWidth);
    const auto rows = static_cast<std::size_t>(std::llabs(static_cast<std::int64_t>(header.biHeight)));
    auto* target = static_cast<std::uint32_t*>(bits);
    for (std::size_t row = 0; row < rows; ++row) {
        const std::uint8_t* source = pixels + row * static_cast<std::size_t>(stride);
        for (std::size_t column = 0; column < width; ++column) {
            *target++ = colour_of[source[column]];
        }
    }
    return bitmap;
}

}  // namespace

std::unique_ptr<Picture> DecodeBmp(ByteView bytes) {
    constexpr std::size_t kFileHeader = sizeof(BITMAPFILEHEADER);
    if (bytes.size() < kFileHeader + sizeof(BITMAPINFOHEADER) || bytes.data()[0] != 'B' || bytes.data()[1] != 'M') {
        return nullptr;
    }
    const auto file = ReadAt<BITMAPFILEHEADER>(bytes, 0);
    auto header = ReadAt<BITMAPINFOHEADER>(bytes, kFileHeader);
    const std::int64_t width = header.biWidth;
    const std::int64_t height = std::llabs(static_cast<std::int64_t>(header.biHeight));
    const WORD depth = header.biBitCount;
    const DWORD compression = header.biCompression;
    const bool indexed = depth == 1 || depth == 4 || depth == 8;
    const bool run_length = (compression == BI_RLE8 && depth == 8) || (compression == BI_RLE4 && depth == 4);
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biPlanes != 1 || width <= 0 || width > kMaxSide ||
        height == 0 || height > kMaxSide || !(indexed || depth == 24 || depth == 32) ||
        !(compression == BI_RGB || run_length) || (run_length && header.biHeight < 0)) {
        return nullptr;
    }
    const std::int64_t colours = indexed ? (header.biClrUsed != 0 ? header.biClrUsed : 1LL << depth) : 0;
    const std::int64_t palette_at = static_cast<std::int64_t>(kFileHeader) + header.biSize;
    const std::int64_t pixels_at = file.bfOffBits;
    const std::int64_t size = static_cast<std::int64_t>(bytes.size());
    if (colours > (1LL << depth) && indexed) {
        return nullptr;
    }
    const std::int64_t stride = (width * depth + 31) / 32 * 4;
    const std::int64_t pixel_bytes = run_length ? header.biSizeImage : stride * height;
    if (palette_at + colours * 4 > pixels_at || pixel_bytes <= 0 || pixels_at + pixel_bytes > size) {
        return nullptr;
    }

    // The header as GDI knows it, whatever version the file carries, then the palette.
    std::vector<std::uint8_t> info(sizeof(BITMAPINFOHEADER) + static_cast<std::size_t>(colours) * 4);
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biClrUsed = static_cast<DWORD>(colours);
    std::memcpy(info.data(), &header, sizeof(header));
    std::memcpy(info.data() + sizeof(header), bytes.data() + palette_at, static_cast<std::size_t>(colours) * 4);
    HBITMAP bitmap = nullptr;
    if (run_length) {
        HDC screen = GetDC(nullptr);
        bitmap = CreateDIBitmap(screen, &header, CBM_INIT, bytes.data() + pixels_at,
                                reinterpret_cast<const BITMAPINFO*>(info.data()), DIB_RGB_COLORS);
        ReleaseDC(nullptr, screen);
    } else if (depth == 8) {
        bitmap = ExpandIndexed(header, bytes.data() + palette_at, static_cast<std::size_t>(colours),
                               bytes.data() + pixels_at, stride);
    } else {
        void* bits = nullptr;
        bitmap = CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(info.data()), DIB_RGB_COLORS, &bits,
                                  nullptr, 0);
        if (bitmap != nullptr) {
            std::memcpy(bits, bytes.data() + pixels_at, static_cast<std::size_t>(pixel_bytes));
        }
    }
    if (bitmap == nullptr) {
        return nullptr;
    }
    return std::make_unique<Picture>(bitmap, static_cast<int>(width), static_cast<int>(height), false);
}

std::unique_ptr<Picture> DecodePicture(ByteView bytes) {
    if (bytes.empty()) {
        return nullptr;
    }
    if (auto picture = DecodeBmp(bytes)) {
        return picture;
    }
    return DecodeWithGdiplus(bytes);
}

std::unique_ptr<Picture> LoadPicture(const Text& name) {
    if (const auto resource = PictureResourceView(name)) {
        return DecodePicture(*resource);  // decoded where the module holds it, not copied first
    }
    const auto bytes = PictureBytes(name);
    return bytes ? DecodePicture(*bytes) : nullptr;
}

HICON IconFromPicture(const Text& name) {
    const auto bytes = PictureBytes(name);
    if (!bytes) {
        return nullptr;
    }
    if (HICON icon = IconFromIco(*bytes)) {
        return icon;
    }
    const auto picture = DecodePicture(*bytes);
    if (picture == nullptr) {
        return nullptr;
    }
    // An empty mask: the colours show everywhere, or where their alpha says so.
    HBITMAP mask = CreateBitmap(picture->width, picture->height, 1, 1, nullptr);
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmMask = mask;
    info.hbmColor = picture->bitmap;
    HICON icon = mask != nullptr ? CreateIconIndirect(&info) : nullptr;
    DeleteObject(mask);
    return icon;
}

void DrawPicture(HDC dc, const Picture& picture, int x, int y, int width, int height) {
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, picture.bitmap);
    if (picture.alpha) {
        const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        GdiAlphaBlend(dc, x, y, width, height, source, 0, 0, picture.width, picture.height, blend);
    } else if (width == picture.width && height == picture.height) {
        BitBlt(dc, x, y, width, height, source, 0, 0, SRCCOPY);
    } else {
        const int mode = SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
        StretchBlt(dc, x, y, width, height, source, 0, 0, picture.width, picture.height, SRCCOPY);
        SetStretchBltMode(dc, mode);
    }
    SelectObject(source, old);
    DeleteDC(source);
}

}  // namespace yz
