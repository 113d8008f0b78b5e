#include "online/web_pages.h"

#include "online/web_requests.h"
#include "runtime/convert.h"
#include "runtime/net.h"

namespace yz {

Text FetchRecordsText(const Text& server_base_address, const Text& work_link) {
    return ToText(HttpReadFile(RecordsQueryAddress(server_base_address, work_link)));
}

bool AddRecord(const Text& server_base_address, const Text& work_link, const Text& visitor_pen_name) {
    return IsAcknowledgement(HttpReadFile(AddRecordAddress(server_base_address, work_link, visitor_pen_name)),
                             kRecordAddedAnswer);
}

bool PublishWork(const Text& server_base_address,
                 const Text& pen_name,
                 const Text& work_name,
                 const Text& motto,
                 const Text& work_link) {
    return IsAcknowledgement(HttpReadFile(PublishAddress(server_base_address, pen_name, work_name, motto, work_link)),
                             kWorkPublishedAnswer);
}

TextList FetchWorksList(const Text& server_base_address) {
    return ReadWorksList(HttpReadFile(WorksListAddress(server_base_address)));
}

bool SendFeedback(const Text& server_base_address, const Text& nickname, const Text& feedback_text) {
    return IsAcknowledgement(HttpReadFile(FeedbackAddress(server_base_address, nickname, feedback_text)),
                             kFeedbackReceivedAnswer);
}

bool NewerVersionPublished(const Text& server_base_address, const Text& own_version) {
    return IsNewerVersion(HttpReadFile(LatestVersionAddress(server_base_address)), own_version);
}

std::optional<Announcement> FetchAnnouncement(const Text& server_base_address) {
    return ReadAnnouncement(HttpReadFile(AnnouncementAddress(server_base_address)));
}

Bytes FetchAnnouncementImage(const Text& server_base_address, const Text& image_path) {
    return HttpReadFile(AnnouncementImageAddress(server_base_address, image_path));
}

Text FetchAddressText(const Text& ip_lookup_address) {
    return ReadAddressText(HttpReadFile(ip_lookup_address));
}

}  // namespace yz
