#pragma once

// The program's pictures. A picture is named: the bytes come from the module's RCDATA resource of
// that name ("MAIN_PICTURE"), or, when there is none, from the file at that GBK path.
//
// BMP goes to GDI as it is, and the program's own pictures are stored that way, uncompressed: their
// pixels are copied into a DIB section, where expanding a run-length coded one costs milliseconds
// under Wine and starting GDI+ and the codecs behind it more than all the rest of the first
// window's work. GDI+ decodes everything else (GIF, JPEG, PNG, ICO), started on first
// need. Either way the result is a GDI bitmap of its own, drawn with GDI.

#include <windows.h>

#include <memory>
#include <optional>

#include "runtime/types.h"

namespace yz {

struct Picture {
    Picture(HBITMAP owned, int columns, int rows, bool transparent);
    ~Picture();
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    HBITMAP bitmap;  // owned; a 32-bit premultiplied DIB section when `alpha`
    int width;
    int height;
    bool alpha;  // some pixels are transparent or partly so
};

// The bytes of the RCDATA resource named `name` in the program file, where the loaded module holds
// them or as a copy; nullopt when absent.
std::optional<ByteView> PictureResourceView(const Text& name);
std::optional<Bytes> PictureResourceBytes(const Text& name);
// The resource bytes, else the file's bytes; nullopt when neither exists.
std::optional<Bytes> PictureBytes(const Text& name);

// A BMP file (uncompressed, RLE4 or RLE8) made into a bitmap by GDI; nullptr when the bytes are
// no such file or its header does not describe the bytes that follow.
std::unique_ptr<Picture> DecodeBmp(ByteView bytes);
// Nullptr when the bytes are not a picture that GDI or GDI+ can decode.
std::unique_ptr<Picture> DecodePicture(ByteView bytes);
std::unique_ptr<Picture> LoadPicture(const Text& name);

// An icon made from the picture (the caller destroys it): an ICO file gives its first image as it
// is. Nullptr when the picture is unusable.
HICON IconFromPicture(const Text& name);

// Draws the picture stretched to the rectangle.
void DrawPicture(HDC dc, const Picture& picture, int x, int y, int width, int height);

}  // namespace yz
