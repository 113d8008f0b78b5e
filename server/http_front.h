#pragma once

// Puts the pages on an HTTP server: every GET goes to Pages with its decoded path and query values
// and the caller's address. Requests beyond a sane size are refused before they reach a page: a
// request target over kTargetLimit bytes (414) and any body over kBodyLimit bytes (413).

#include <httplib.h>

#include "server/pages.h"

namespace yz::server {

// The longest work link with every byte percent-encoded fits, beside the other fields.
inline constexpr std::size_t kTargetLimit = 4096;
inline constexpr std::size_t kBodyLimit = 1024;
// Requests in progress at once; the rest wait for a worker.
inline constexpr std::size_t kWorkers = 16;

void BindPages(httplib::Server& server, Pages& pages);

}  // namespace yz::server
