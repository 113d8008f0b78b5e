#include "crypto/kkjx_format.h"

#include <algorithm>
#include <cstdio>

#include "crypto/data_cipher.h"
#include "crypto/rc4.h"

namespace yz {

namespace {

// The key of the outer block layer, the same for every file.
constexpr char kFileKey[] = "pwtm3842hd1795rvb";
constexpr std::uint8_t kBodyOffset = 56;
constexpr std::uint8_t kCheckPad = '~';
constexpr char kNoDiskTag[] = "1002";

// The check field: the password left-padded with '~' to 9 bytes (a longer one stays whole and so
// never matches the 9 bytes a file ends with).
Bytes CheckField(const Text& password) {
    Bytes field;
    if (password.size() < static_cast<std::size_t>(kKkjxPasswordMaxBytes)) {
        field.assign(kKkjxPasswordMaxBytes - password.size(), kCheckPad);
    }
    field.insert(field.end(), password.begin(), password.end());
    return field;
}

// Two digits of `value` + 9, with `value` held to its calendar range so the field stays 2 wide.
void AppendTimeField(Text& header, int value, int low, int high) {
    const int field = std::clamp(value, low, high) + 9;  // 9..40
    header += static_cast<char>('0' + field / 10);
    header += static_cast<char>('0' + field % 10);
}

}  // namespace

Text KkjxHeader(const DateTime& now, std::int32_t disk_number) {
    Text tag = kNoDiskTag;
    if (disk_number != 0) {
        char digits[16];
        std::snprintf(digits, sizeof digits, "%d", static_cast<int>(disk_number));
        const Text all = digits;
        tag = all.size() > 4 ? all.substr(all.size() - 4) : Text(4 - all.size(), '0') + all;
    }
    Text header = tag;
    AppendTimeField(header, now.month, 1, 12);
    AppendTimeField(header, now.day, 1, 31);
    AppendTimeField(header, now.hour, 0, 23);
    return header;
}

Bytes BuildKkjxFile(ByteView document, const Text& password, const DateTime& now, std::int32_t disk_number) {
    const Text header = KkjxHeader(now, disk_number);
    const Bytes check = CheckField(password);
    Bytes plain;
    plain.reserve(header.size() + document.size() + check.size());
    plain.insert(plain.end(), header.begin(), header.end());
    const std::size_t body = plain.size();
    plain.resize(body + document.size());
    std::uint8_t* out = plain.data() + body;
    for (std::size_t n = 0; n < document.size(); ++n) {
        out[n] = static_cast<std::uint8_t>(document.data()[n] + kBodyOffset);
    }
    Rc4Apply(password, out, out, document.size());
    plain.insert(plain.end(), check.begin(), check.end());
    return EncryptData(plain, kFileKey, CipherAlgorithm::kBlock);
}

std::optional<Text> OpenKkjxFile(ByteView file, const Text& password) {
    const Bytes plain = DecryptData(file, kFileKey, CipherAlgorithm::kBlock);
    const Bytes check = CheckField(password);
    const std::size_t tail = std::min(plain.size(), static_cast<std::size_t>(kKkjxPasswordMaxBytes));
    if (tail != check.size() || !std::equal(check.begin(), check.end(), plain.end() - tail)) {
        return std::nullopt;
    }
    const std::size_t rest = plain.size() - tail;
    const std::size_t header = std::min(rest, static_cast<std::size_t>(kKkjxHeaderBytes));
    Text text(plain.begin() + header, plain.begin() + rest);
    auto* bytes = reinterpret_cast<std::uint8_t*>(text.data());
    Rc4Apply(password, bytes, bytes, text.size());
    for (std::size_t n = 0; n < text.size(); ++n) {
        bytes[n] = static_cast<std::uint8_t>(bytes[n] - kBodyOffset);
    }
    const std::size_t end = text.find('\0');
    if (end != Text::npos) {
        text.resize(end);
    }
    return text;
}

}  // namespace yz
