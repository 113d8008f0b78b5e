#include <httplib.h>

#include <string>

#include "runtime/net.h"
#include "runtime/net_session.h"
#include "runtime/web_address.h"

namespace yz {

// cpp-httplib's client speaks HTTP/1.1 and reads the whole body itself; the request otherwise
// carries what the Windows program sends: the raw object, the user agent, "Accept: */*", no
// proxy, no compression.
Bytes HttpReadFile(const Text& address) {
    const std::optional<WebAddress> parts = SplitWebAddress(address);
    if (!parts) {
        return {};
    }
    const std::string origin =
        (parts->secure ? "https://" : "http://") + parts->host + ":" + std::to_string(parts->port);
    httplib::Client client(origin);
    if (!client.is_valid()) {
        return {};
    }
    constexpr time_t kSeconds = kHttpTimeoutMs / 1000;
    client.set_connection_timeout(kSeconds);
    client.set_read_timeout(kSeconds);
    client.set_write_timeout(kSeconds);
    client.set_url_encode(false);
    client.set_decompress(false);
    client.set_keep_alive(false);
    client.set_follow_location(true);

    const httplib::Headers headers = {{"User-Agent", kHttpUserAgent}, {"Accept", "*/*"}};
    const httplib::Result result = client.Get(parts->object, headers);
    if (!result || result.error() != httplib::Error::Success) {
        return {};
    }
    return BytesOf(result->body);
}

}  // namespace yz
