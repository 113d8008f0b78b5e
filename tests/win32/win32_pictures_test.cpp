// Pictures: the program's own BMP resources drawn by GDI as their originals looked, other formats
// through GDI+, icons, and BMP headers that do not describe their bytes.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "runtime/win32/win32_pictures.h"

namespace yz::testing {
namespace {

// The colour at (x, y) once the picture is drawn at its own size onto white.
COLORREF DrawnPixel(const Picture& picture, int x, int y) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP target = CreateCompatibleBitmap(screen, picture.width, picture.height);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, target);
    const RECT all{0, 0, picture.width, picture.height};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawPicture(dc, picture, 0, 0, picture.width, picture.height);
    const COLORREF colour = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteObject(target);
    DeleteDC(dc);
    return colour;
}

// A 2 x 2 BMP, 24 bits, rows top-down or bottom-up: red, green / blue, white as seen.
Bytes SmallBmp(bool top_down) {
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof(info);
    info.biWidth = 2;
    info.biHeight = top_down ? -2 : 2;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const std::uint8_t top[8] = {0, 0, 255, 0, 255, 0, 0, 0};  // BGR, padded to 4 bytes
    const std::uint8_t bottom[8] = {255, 0, 0, 255, 255, 255, 0, 0};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + 16;
    Bytes bytes(file.bfSize);
    std::memcpy(bytes.data(), &file, sizeof(file));
    std::memcpy(bytes.data() + sizeof(file), &info, sizeof(info));
    std::memcpy(bytes.data() + file.bfOffBits, top_down ? top : bottom, 8);
    std::memcpy(bytes.data() + file.bfOffBits + 8, top_down ? bottom : top, 8);
    return bytes;
}

// Every pixel once the picture is drawn at its own size onto white, row by row from the top.
std::vector<std::uint32_t> DrawnPixels(const Picture& picture) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = picture.width;
    info.bmiHeader.biHeight = -picture.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP target = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, target);
    const RECT all{0, 0, picture.width, picture.height};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawPicture(dc, picture, 0, 0, picture.width, picture.height);
    GdiFlush();
    const auto* first = static_cast<const std::uint32_t*>(bits);
    std::vector<std::uint32_t> pixels(first, first + static_cast<std::size_t>(picture.width) * picture.height);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(target);
    return pixels;
}

TEST(Win32Pictures, ProgramPicturesLookLikeTheirOriginals) {
    // The main window's background, stored uncompressed with its palette: the colours are those of
    // the original picture, in their places (its rows are stored bottom-up).
    const auto main = LoadPicture("MAIN_PICTURE");
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->width, 500);
    EXPECT_EQ(main->height, 610);
    EXPECT_FALSE(main->alpha);
    EXPECT_EQ(DrawnPixel(*main, 10, 10), RGB(223, 230, 228));
    EXPECT_EQ(DrawnPixel(*main, 250, 300), RGB(255, 255, 255));  // the colour key shows the backdrop
    EXPECT_EQ(DrawnPixel(*main, 499, 609), RGB(225, 229, 221));

    // The same picture run-length coded, as GDI expands it: the same pixels everywhere.
    const auto run_length = LoadPicture("RUN_LENGTH_PICTURE");
    ASSERT_NE(run_length, nullptr);
    ASSERT_EQ(run_length->width, main->width);
    ASSERT_EQ(run_length->height, main->height);
    EXPECT_TRUE(DrawnPixels(*run_length) == DrawnPixels(*main));

    for (const bool top_down : {false, true}) {
        const auto small = DecodeBmp(SmallBmp(top_down));
        ASSERT_NE(small, nullptr);
        EXPECT_EQ(DrawnPixel(*small, 0, 0), RGB(255, 0, 0));
        EXPECT_EQ(DrawnPixel(*small, 1, 0), RGB(0, 255, 0));
        EXPECT_EQ(DrawnPixel(*small, 0, 1), RGB(0, 0, 255));
        EXPECT_EQ(DrawnPixel(*small, 1, 1), RGB(255, 255, 255));
    }

    HICON icon = IconFromPicture("BACKDROP_ICON");
    ASSERT_NE(icon, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP colour{};
    GetObjectW(info.hbmColor, sizeof(colour), &colour);
    EXPECT_EQ(colour.bmWidth, 32);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
}

TEST(Win32Pictures, OtherFormatsGoThroughGdiplus) {
    const auto bytes = PictureResourceBytes("TEST_PICTURE");
    ASSERT_TRUE(bytes);
    ASSERT_GE(bytes->size(), 8u);
    EXPECT_EQ((*bytes)[1], 'P');
    EXPECT_EQ(DecodeBmp(*bytes), nullptr);
    const auto picture = LoadPicture("TEST_PICTURE");
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->width, 32);
    EXPECT_EQ(DrawnPixel(*picture, 16, 16), RGB(32, 64, 224));  // the blue square in the middle
    EXPECT_EQ(DrawnPixel(*picture, 0, 0), RGB(224, 48, 32));
    HICON icon = IconFromPicture("TEST_PICTURE");
    EXPECT_NE(icon, nullptr);
    DestroyIcon(icon);

    EXPECT_EQ(LoadPicture("NOT_A_PICTURE"), nullptr);
    EXPECT_EQ(LoadPicture("c:\\没有这个文件.png"), nullptr);
    EXPECT_EQ(LoadPicture(""), nullptr);
    EXPECT_EQ(IconFromPicture("NOT_A_PICTURE"), nullptr);
}

TEST(Win32Pictures, BmpHeadersThatDoNotFitTheirBytesAreRefused) {
    const auto program = PictureResourceBytes("MAIN_PICTURE");
    ASSERT_TRUE(program);
    ASSERT_NE(DecodeBmp(*program), nullptr);
    const auto run_length = PictureResourceBytes("RUN_LENGTH_PICTURE");
    ASSERT_TRUE(run_length);
    ASSERT_NE(DecodeBmp(*run_length), nullptr);

    // Pixels cut short, uncompressed or run-length coded.
    EXPECT_EQ(DecodeBmp(ByteView(program->data(), program->size() - 100)), nullptr);
    EXPECT_EQ(DecodeBmp(ByteView(run_length->data(), run_length->size() - 100)), nullptr);
    // Only the headers.
    EXPECT_EQ(DecodeBmp(ByteView(program->data(), 54)), nullptr);
    EXPECT_EQ(DecodeBmp(ByteView(program->data(), 10)), nullptr);

    const auto altered = [](Bytes bytes, std::size_t at, std::uint32_t value, std::size_t width) {
        std::memcpy(bytes.data() + at, &value, width);
        return bytes;
    };
    const Bytes small = SmallBmp(false);
    ASSERT_NE(DecodeBmp(small), nullptr);
    EXPECT_EQ(DecodeBmp(altered(small, 10, 1000, 4)), nullptr);        // pixels past the end
    EXPECT_EQ(DecodeBmp(altered(small, 18, 3, 4)), nullptr);           // three pixels a row: 24 bytes
    EXPECT_EQ(DecodeBmp(altered(small, 18, 0, 4)), nullptr);           // no width
    EXPECT_EQ(DecodeBmp(altered(small, 18, 0x7FFFFFFF, 4)), nullptr);  // a size that would overflow
    EXPECT_EQ(DecodeBmp(altered(small, 22, 0, 4)), nullptr);           // no height
    EXPECT_EQ(DecodeBmp(altered(small, 28, 16, 2)), nullptr);          // 16 bits a pixel, left to GDI+
    EXPECT_EQ(DecodeBmp(altered(small, 14, 12, 4)), nullptr);          // an OS/2 header
    EXPECT_EQ(DecodeBmp(altered(small, 0, 'X', 1)), nullptr);
    // A palette that reaches into the pixels.
    Bytes indexed = *program;
    indexed = altered(indexed, 10, 54 + 100, 4);
    EXPECT_EQ(DecodeBmp(indexed), nullptr);
}

}  // namespace
}  // namespace yz::testing
