#pragma once

// One call per page of the web server: build the request, fetch it (blocking) and read the
// answer. A failed fetch reads like an answer that is not the expected one: false, an empty text
// or list, nothing.

#include <optional>

#include "online/web_answers.h"
#include "runtime/types.h"

namespace yz {

// The body of the mutual-help records answer as text: the visitors' pen names, each followed by
// "~"; empty when there are none.
Text FetchRecordsText(const Text& server_base_address, const Text& work_link);

// True when the server acknowledged the record.
bool AddRecord(const Text& server_base_address, const Text& work_link, const Text& visitor_pen_name);

// True when the server acknowledged the publication.
bool PublishWork(const Text& server_base_address,
                 const Text& pen_name,
                 const Text& work_name,
                 const Text& motto,
                 const Text& work_link);

// The published works, one entry each.
TextList FetchWorksList(const Text& server_base_address);

// True when the server acknowledged the feedback.
bool SendFeedback(const Text& server_base_address, const Text& nickname, const Text& feedback_text);

// True when the server names a version above `own_version`.
bool NewerVersionPublished(const Text& server_base_address, const Text& own_version);

std::optional<Announcement> FetchAnnouncement(const Text& server_base_address);

// The bytes of the announcement's picture.
Bytes FetchAnnouncementImage(const Text& server_base_address, const Text& image_path);

// The `address text` cut from the IP-lookup page at `ip_lookup_address`; empty when the page
// could not be fetched or holds no address.
Text FetchAddressText(const Text& ip_lookup_address);

}  // namespace yz
