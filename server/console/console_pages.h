#pragma once

// The console's signed-in pages, built from what the store holds. Stored texts are GBK and are
// shown as UTF-8; every form that changes something carries the session's CSRF token.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "server/console/console_html.h"
#include "server/store/store.h"

namespace yz::console {

// One page of the published works, newest first.
struct WorksListing {
    std::string query;  // the search text as typed (UTF-8); empty: every work
    std::vector<server::Work> works;
    std::int64_t older_than = 0;  // id to continue from for the next page; 0: this is the last one
};

std::string WorksPage(const WorksListing& listing, std::string_view csrf, const Notice& notice);

// The pen names recorded as visitors of the work at `link` (GBK).
std::string RecordsPage(const std::string& link,
                        const std::vector<std::string>& pen_names,
                        std::string_view csrf,
                        const Notice& notice);

// One page of feedback, newest first; `older_than` as for the works.
std::string FeedbackPage(const std::vector<server::Feedback>& feedback,
                         std::int64_t older_than,
                         std::string_view csrf,
                         const Notice& notice);

// `version` is the stored GBK text (empty until set); `entered` refills the field after a refusal.
std::string VersionPage(const std::string& version,
                        std::string_view entered,
                        std::string_view csrf,
                        const Notice& notice);

// `image_address` is where the program fetches the image ("/" + the path in the announcement
// answer); empty when there is no image.
std::string AnnouncementPage(const server::Announcement& announcement,
                             std::string_view image_address,
                             std::string_view csrf,
                             const Notice& notice);

}  // namespace yz::console
