#pragma once

// The program's pictures. A picture is named: the bytes come from the module's RCDATA resource of
// that name ("MAIN_BACKGROUND"), or, when there is none, from the file at that GBK path. GDI+
// decodes GIF, JPEG, PNG, BMP and ICO; the decoded picture is copied into a bitmap of its own so
// nothing keeps the source bytes alive.

#include <windows.h>
// GDI+ needs the COM declarations that WIN32_LEAN_AND_MEAN leaves out.
#include <objidl.h>
// After both of the above.
#include <gdiplus.h>

#include <memory>
#include <optional>

#include "runtime/types.h"

namespace yz {

// Keeps GDI+ running for its lifetime; every Bitmap must be gone before it ends.
class GdiplusSession {
  public:
    GdiplusSession();
    ~GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;

  private:
    ULONG_PTR token_ = 0;
};

// The bytes of the RCDATA resource named `name` in the program file; nullopt when absent.
std::optional<Bytes> PictureResourceBytes(const Text& name);
// The resource bytes, else the file's bytes; nullopt when neither exists.
std::optional<Bytes> PictureBytes(const Text& name);

// Nullptr when the bytes are not a picture GDI+ can decode.
std::unique_ptr<Gdiplus::Bitmap> DecodePicture(ByteView bytes);
std::unique_ptr<Gdiplus::Bitmap> LoadPicture(const Text& name);

// An icon made from the picture (the caller destroys it); nullptr when the picture is unusable.
HICON IconFromPicture(const Text& name);

// Draws the picture stretched to the rectangle.
void DrawPicture(HDC dc, Gdiplus::Bitmap& picture, int x, int y, int width, int height);

}  // namespace yz
