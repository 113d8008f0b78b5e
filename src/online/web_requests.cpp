#include "online/web_requests.h"

namespace yz {

namespace {

bool NeedsEscape(unsigned char c) {
    return c < 0x20 || c == 0x7F || c == '%' || c == '&' || c == '=' || c == '#' || c == '+' || c == ' ';
}

}  // namespace

Text EscapeQueryValue(const Text& value) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    Text escaped;
    escaped.reserve(value.size());
    // Every byte that needs escaping is below 0x80, and a GBK trail byte is 0x40 or above, so no
    // trail byte is ever taken for one of them: the walk can go byte by byte.
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (NeedsEscape(byte)) {
            escaped += '%';
            escaped += kHex[byte >> 4];
            escaped += kHex[byte & 0x0F];
        } else {
            escaped += c;
        }
    }
    return escaped;
}

Text RecordsQueryAddress(const Text& server_base_address, const Text& work_link) {
    return server_base_address + "/cxjl.asp?zplj=" + EscapeQueryValue(work_link);
}

Text AddRecordAddress(const Text& server_base_address, const Text& work_link, const Text& visitor_pen_name) {
    return server_base_address + "/tjjl.asp?zplj=" + EscapeQueryValue(work_link) +
           "&zznc=" + EscapeQueryValue(visitor_pen_name + "~");
}

Text PublishAddress(const Text& server_base_address,
                    const Text& pen_name,
                    const Text& work_name,
                    const Text& motto,
                    const Text& work_link) {
    return server_base_address + "/tjfb.asp?zz=" + EscapeQueryValue(pen_name) + "&sm=" + EscapeQueryValue(work_name) +
           "&fy=" + EscapeQueryValue(motto) + "&zplj=" + EscapeQueryValue(work_link);
}

Text WorksListAddress(const Text& server_base_address) {
    return server_base_address + "/cxzp.asp";
}

Text FeedbackAddress(const Text& server_base_address, const Text& nickname, const Text& feedback_text) {
    return server_base_address + "/jyfk.asp?nc=" + EscapeQueryValue(nickname) +
           "&zw=" + EscapeQueryValue(feedback_text);
}

Text LatestVersionAddress(const Text& server_base_address) {
    return server_base_address + "/ybtwzp.asp?id=1";
}

Text AnnouncementAddress(const Text& server_base_address) {
    return server_base_address + "/lszbgg.asp?id=1";
}

Text AnnouncementImageAddress(const Text& server_base_address, const Text& image_path) {
    return server_base_address + "/" + image_path;
}

}  // namespace yz
