#include "server/pages/pictures.h"

#include <array>
#include <cstdint>

namespace yz::server {

namespace {

// Reads a picture front to back; every read past the end fails and leaves it failed.
class Reader {
  public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}

    bool ok() const { return ok_; }
    bool AtEnd() const { return ok_ && at_ == bytes_.size(); }
    std::size_t left() const { return bytes_.size() - at_; }
    std::size_t at() const { return at_; }

    std::uint32_t Byte() { return Take(1) ? static_cast<unsigned char>(bytes_[at_ - 1]) : 0; }
    // Each byte read in its own statement: the operands of | are not read in a fixed order.
    std::uint32_t Little16() {
        const std::uint32_t low = Byte();
        return low | Byte() << 8;
    }
    std::uint32_t Little32() {
        const std::uint32_t low = Little16();
        return low | Little16() << 16;
    }
    std::uint32_t Big16() {
        const std::uint32_t high = Byte();
        return high << 8 | Byte();
    }
    std::uint32_t Big32() {
        const std::uint32_t high = Big16();
        return high << 16 | Big16();
    }
    std::string_view Bytes(std::size_t count) { return Take(count) ? bytes_.substr(at_ - count, count) : ""; }
    bool Skip(std::size_t count) { return Take(count); }
    // Back to an offset already read, so that what follows it is read again.
    void Return(std::size_t offset) { at_ = ok_ && offset < at_ ? offset : at_; }

  private:
    bool Take(std::size_t count) {
        if (!ok_ || count > left()) {
            ok_ = false;
            return false;
        }
        at_ += count;
        return true;
    }

    std::string_view bytes_;
    std::size_t at_ = 0;
    bool ok_ = true;
};

std::uint32_t Crc32(std::string_view bytes) {
    static const auto kTable = [] {
        std::array<std::uint32_t, 256> table{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) {
                c = (c & 1) != 0 ? 0xEDB88320U ^ (c >> 1) : c >> 1;
            }
            table[n] = c;
        }
        return table;
    }();
    std::uint32_t crc = 0xFFFFFFFFU;
    for (const char c : bytes) {
        crc = kTable[(crc ^ static_cast<unsigned char>(c)) & 0xFF] ^ (crc >> 8);
    }
    return crc ^ 0xFFFFFFFFU;
}

// Chunks with their checksums, IHDR first with a size and a valid depth for its colour type, at
// least one IDAT, and IEND last.
bool IsPng(std::string_view bytes) {
    Reader in(bytes);
    if (in.Bytes(8) != "\x89PNG\r\n\x1A\n") {
        return false;
    }
    bool first = true;
    bool has_data = false;
    while (in.ok()) {
        const std::uint32_t length = in.Big32();
        if (length > 0x7FFFFFFFU || length + 4 > in.left()) {
            return false;
        }
        const std::string_view typed = in.Bytes(4 + length);
        if (!in.ok() || in.Big32() != Crc32(typed)) {
            return false;
        }
        const std::string_view type = typed.substr(0, 4);
        for (const char c : type) {
            if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) {
                return false;
            }
        }
        if (first != (type == "IHDR")) {
            return false;
        }
        if (first) {
            Reader header(typed.substr(4));
            const std::uint32_t width = header.Big32();
            const std::uint32_t height = header.Big32();
            const std::uint32_t depth = header.Byte();
            const std::uint32_t colour = header.Byte();
            const bool depth_fits =
                (colour == 0 && (depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16)) ||
                (colour == 3 && (depth == 1 || depth == 2 || depth == 4 || depth == 8)) ||
                ((colour == 2 || colour == 4 || colour == 6) && (depth == 8 || depth == 16));
            header.Skip(3);
            if (length != 13 || !header.AtEnd() || width == 0 || height == 0 || width > 0x7FFFFFFFU ||
                height > 0x7FFFFFFFU || !depth_fits) {
                return false;
            }
            first = false;
        }
        has_data = has_data || type == "IDAT";
        if (type == "IEND") {
            return has_data && length == 0 && in.AtEnd();
        }
    }
    return false;
}

// Sub-blocks up to their empty terminator.
bool SkipGifBlocks(Reader& in) {
    for (std::uint32_t size = in.Byte(); in.ok() && size != 0; size = in.Byte()) {
        in.Skip(size);
    }
    return in.ok();
}

// The screen descriptor and its colour table, then extensions and images up to the trailer, at
// least one image, each with its size, colour table and LZW code size.
bool IsGif(std::string_view bytes) {
    Reader in(bytes);
    const std::string_view version = in.Bytes(6);
    if (version != "GIF87a" && version != "GIF89a") {
        return false;
    }
    const std::uint32_t width = in.Little16();
    const std::uint32_t height = in.Little16();
    const std::uint32_t flags = in.Byte();
    in.Skip(2);
    if (width == 0 || height == 0 || ((flags & 0x80) != 0 && !in.Skip(3U << ((flags & 7) + 1)))) {
        return false;
    }
    bool has_image = false;
    while (in.ok()) {
        const std::uint32_t introducer = in.Byte();
        if (introducer == 0x3B) {
            return has_image && in.AtEnd();
        }
        if (introducer == 0x21) {
            in.Byte();  // the extension's label
            if (!SkipGifBlocks(in)) {
                return false;
            }
        } else if (introducer == 0x2C) {
            in.Skip(4);  // the image's place on the screen
            const std::uint32_t image_width = in.Little16();
            const std::uint32_t image_height = in.Little16();
            const std::uint32_t image_flags = in.Byte();
            if (image_width == 0 || image_height == 0 ||
                ((image_flags & 0x80) != 0 && !in.Skip(3U << ((image_flags & 7) + 1)))) {
                return false;
            }
            const std::uint32_t code_size = in.Byte();
            if (code_size < 2 || code_size > 8 || !SkipGifBlocks(in)) {
                return false;
            }
            has_image = true;
        } else {
            return false;
        }
    }
    return false;
}

bool IsStartOfFrame(std::uint32_t marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// Segments with their lengths from the start mark on, a frame header with a size and its
// components, entropy-coded data after each scan header, and the end mark last.
bool IsJpeg(std::string_view bytes) {
    Reader in(bytes);
    if (in.Byte() != 0xFF || in.Byte() != 0xD8) {
        return false;
    }
    bool has_frame = false;
    bool has_scan = false;
    while (in.ok()) {
        if (in.Byte() != 0xFF) {
            return false;
        }
        std::uint32_t marker = in.Byte();
        while (in.ok() && marker == 0xFF) {  // fill bytes
            marker = in.Byte();
        }
        if (marker == 0xD9) {
            return has_frame && has_scan && in.AtEnd();
        }
        if (marker == 0x00 || marker == 0x01 || marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7)) {
            return false;
        }
        const std::uint32_t length = in.Big16();
        if (length < 2) {
            return false;
        }
        Reader segment(in.Bytes(length - 2));
        if (!in.ok()) {
            return false;
        }
        if (IsStartOfFrame(marker)) {
            segment.Byte();  // sample precision
            const std::uint32_t height = segment.Big16();
            const std::uint32_t width = segment.Big16();
            const std::uint32_t components = segment.Byte();
            if (has_frame || height == 0 || width == 0 || components == 0 || components > 4 ||
                length != 8 + 3 * components) {
                return false;
            }
            has_frame = true;
        } else if (marker == 0xDA) {
            const std::uint32_t components = segment.Byte();
            if (!has_frame || components == 0 || components > 4 || length != 6 + 2 * components) {
                return false;
            }
            has_scan = true;
            // The coded data runs to the next marker that is neither a stuffed zero nor a restart.
            while (in.ok()) {
                if (in.Byte() != 0xFF) {
                    continue;
                }
                const std::size_t mark = in.at() - 1;
                std::uint32_t next = in.Byte();
                while (in.ok() && next == 0xFF) {
                    next = in.Byte();
                }
                if (in.ok() && next != 0x00 && !(next >= 0xD0 && next <= 0xD7)) {
                    in.Return(mark);  // the segment loop reads this marker
                    break;
                }
            }
        }
    }
    return false;
}

// The file header's size and pixel offset, an info header of a known size, and the pixel rows
// of an uncompressed picture within the file.
bool IsBmp(std::string_view bytes) {
    Reader in(bytes);
    if (in.Bytes(2) != "BM" || in.Little32() != bytes.size()) {
        return false;
    }
    in.Skip(4);
    const std::uint64_t offset = in.Little32();
    const std::uint32_t header_size = in.Little32();
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::uint32_t planes = 0;
    std::uint32_t bits = 0;
    std::uint32_t compression = 0;
    if (header_size == 12) {
        width = in.Little16();
        height = in.Little16();
        planes = in.Little16();
        bits = in.Little16();
    } else if (header_size == 40 || header_size == 52 || header_size == 56 || header_size == 108 ||
               header_size == 124) {
        width = static_cast<std::int32_t>(in.Little32());
        height = static_cast<std::int32_t>(in.Little32());
        planes = in.Little16();
        bits = in.Little16();
        compression = in.Little32();
        in.Skip(header_size - 20);
    } else {
        return false;
    }
    const bool known_bits = bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    const bool known_compression = compression <= 3 || compression == 6;
    if (!in.ok() || width <= 0 || height == 0 || planes != 1 || !known_bits || !known_compression || offset < in.at() ||
        offset >= bytes.size()) {
        return false;
    }
    if (compression == 1 || compression == 2) {
        return true;  // run-length coded rows have no fixed size
    }
    const std::uint64_t row = (static_cast<std::uint64_t>(width) * bits + 31) / 32 * 4;
    const std::uint64_t rows = static_cast<std::uint64_t>(height < 0 ? -height : height);
    return row * rows <= bytes.size() - offset;
}

}  // namespace

std::optional<std::string> PictureType(std::string_view bytes) {
    if (IsJpeg(bytes)) {
        return "jpg";
    }
    if (IsPng(bytes)) {
        return "png";
    }
    if (IsGif(bytes)) {
        return "gif";
    }
    if (IsBmp(bytes)) {
        return "bmp";
    }
    return std::nullopt;
}

}  // namespace yz::server
