#include <windows.h>

#include <wininet.h>

#include "runtime/net.h"
#include "runtime/net_session.h"
#include "runtime/web_address.h"

namespace yz {

namespace {

class InternetHandle {
  public:
    explicit InternetHandle(HINTERNET handle) : handle_(handle) {}
    ~InternetHandle() {
        if (handle_ != nullptr) {
            InternetCloseHandle(handle_);
        }
    }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
    HINTERNET get() const { return handle_; }

  private:
    HINTERNET handle_;
};

// The time-outs go on the session and on each connection: Windows hands the session's down to
// the handles made under it, Wine takes a request's from its connection only.
void SetTimeouts(HINTERNET handle) {
    for (const DWORD option :
         {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT,
          INTERNET_OPTION_DATA_SEND_TIMEOUT, INTERNET_OPTION_DATA_RECEIVE_TIMEOUT}) {
        DWORD milliseconds = kHttpTimeoutMs;
        InternetSetOptionA(handle, option, &milliseconds, sizeof milliseconds);
    }
}

// The one internet handle of the run: opened by the first fetch, kept to the end. Direct access,
// so a proxy configured for the system never sees the requests. A failed open is tried again by
// the next fetch.
HINTERNET Session() {
    static HINTERNET session = nullptr;
    if (session == nullptr) {
        session = InternetOpenA(kHttpUserAgent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
        if (session != nullptr) {
            SetTimeouts(session);
        }
    }
    return session;
}

std::int64_t AnnouncedLength(HINTERNET request) {
    DWORD length = 0;
    DWORD size = sizeof length;
    if (!HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &length, &size, nullptr)) {
        return 0;
    }
    return length;
}

}  // namespace

Bytes HttpReadFile(const Text& address) {
    const std::optional<WebAddress> parts = SplitWebAddress(address);
    if (!parts) {
        return {};
    }
    const HINTERNET session = Session();
    if (session == nullptr) {
        return {};
    }
    const InternetHandle connection(InternetConnectA(session, parts->host.c_str(),
                                                     static_cast<INTERNET_PORT>(parts->port), nullptr, nullptr,
                                                     INTERNET_SERVICE_HTTP, 0, 0));
    if (connection.get() == nullptr) {
        return {};
    }
    SetTimeouts(connection.get());
    LPCSTR accept_types[] = {"Accept: */* \r\n", nullptr};
    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE;
    if (parts->secure) {
        flags |= INTERNET_FLAG_SECURE;
    }
    const InternetHandle request(
        HttpOpenRequestA(connection.get(), "GET", parts->object.c_str(), "HTTP/1.0", nullptr, accept_types, flags, 0));
    if (request.get() == nullptr) {
        return {};
    }
    static const char kHeaders[] = "Accept: */*\r\n\r\n";
    if (!HttpSendRequestA(request.get(), kHeaders, sizeof kHeaders - 1, nullptr, 0)) {
        return {};
    }
    Bytes buffer(HttpReadBufferSize(AnnouncedLength(request.get())));
    Bytes body;
    for (;;) {
        DWORD read = 0;
        if (!InternetReadFile(request.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read)) {
            // A read that fails part-way (a time-out included) leaves a cut body: no answer.
            return {};
        }
        if (read == 0) {
            return body;
        }
        body.insert(body.end(), buffer.begin(), buffer.begin() + read);
    }
}

}  // namespace yz
