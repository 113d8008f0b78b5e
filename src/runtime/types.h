#pragma once

// The value kinds every service speaks in.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace yz {

// A text is a GBK (code page 936) byte string without embedded zero bytes. Every length, limit
// and position on a text counts bytes: a Chinese character is 2, an ASCII character 1.
using Text = std::string;

// A counted byte array; may hold zero bytes.
using Bytes = std::vector<std::uint8_t>;

// What SplitText returns.
using TextList = std::vector<Text>;

// A moment in local time.
struct DateTime {
    int year = 1970;
    int month = 1;   // 1..12
    int day = 1;     // 1..31
    int hour = 0;    // 0..23
    int minute = 0;  // 0..59
    int second = 0;  // 0..59

    friend bool operator==(const DateTime&, const DateTime&) = default;
};

// A read-only view of bytes that both a Text and a Bytes can be passed as.
class ByteView {
  public:
    ByteView(const Bytes& bytes) : data_(bytes.data()), size_(bytes.size()) {}
    ByteView(std::string_view text) : data_(reinterpret_cast<const std::uint8_t*>(text.data())), size_(text.size()) {}
    ByteView(const Text& text) : ByteView(std::string_view(text)) {}
    ByteView(const char* text) : ByteView(std::string_view(text)) {}
    ByteView(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    const std::uint8_t* data() const { return data_; }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
};

inline Bytes BytesOf(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

}  // namespace yz
