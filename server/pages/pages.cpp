#include "server/pages/pages.h"

#include <deque>
#include <map>
#include <optional>
#include <set>
#include <string_view>

#include "server/pages/field_rules.h"
#include "server/pages/local_pages.h"

namespace yz::server {

namespace {

const char* const kPublished = "作品发布成功!";
const char* const kRecordAdded = "添加记录成功!";
const char* const kFeedbackReceived = "56822";
const char* const kAnnouncementImageStem = "/announcement.";

// The records answer keeps under the same read ceiling; a pen name is at least one byte plus "~".
constexpr std::size_t kRecordsLimit = kShowcaseCeiling / 2;

// A showcase answer looks at no more works than this, however many one address has stored.
constexpr std::size_t kShowcaseScanLimit = 8192;

PageAnswer Refused(const std::string& reason) {
    return PageAnswer{.status = 400, .body = "refused: " + reason};
}

PageAnswer OverQuota(const char* what) {
    return PageAnswer{.status = 429, .body = std::string("refused: over this address's hourly quota of ") + what};
}

PageAnswer Unavailable() {
    return PageAnswer{.status = 503, .body = ""};
}

PageAnswer Text(std::string body) {
    return PageAnswer{.status = 200, .body = std::move(body)};
}

// The query of a write carries exactly the keys the program sends, each once. An unexpected key
// usually means a value was cut at a raw "&" by a client that does not escape it: storing the
// rest would keep a truncated link.
std::string CheckKeys(const PageRequest& request, const std::set<std::string>& keys) {
    for (const auto& [key, value] : request.params) {
        if (keys.count(key) == 0) {
            return "unexpected key " + key;
        }
    }
    for (const std::string& key : keys) {
        const auto count = request.params.count(key);
        if (count != 1) {
            return (count == 0 ? "missing key " : "repeated key ") + key;
        }
    }
    return {};
}

std::string Value(const PageRequest& request, const std::string& key) {
    const auto found = request.params.find(key);
    return found == request.params.end() ? std::string() : found->second;
}

std::string ImageContentType(const std::string& type) {
    if (type == "jpg") {
        return "image/jpeg";
    }
    return "image/" + type;
}

// The newest works, each address's entries until its share is spent, until the ceiling.
std::string ComposeShowcase(const std::deque<Work>& works) {
    std::string body;
    std::map<std::string_view, std::size_t> shares;  // bytes each address has in the answer
    for (const Work& work : works) {
        const std::size_t entry =
            work.pen_name.size() + work.work_name.size() + work.motto.size() + work.link.size() + 3;
        const std::size_t separator = body.empty() ? 0 : 4;
        if (body.size() + separator + entry >= kShowcaseCeiling) {
            break;
        }
        std::size_t& share = shares[work.address];
        if (share + entry > kShowcaseShare) {
            continue;
        }
        share += entry;
        if (separator != 0) {
            body += "<br>";
        }
        body.append(work.pen_name).append("|").append(work.work_name).append("|").append(work.motto);
        body.append("|").append(work.link);
    }
    return body;
}

}  // namespace

Pages::Pages(Store& store, QuotaLimits limits)
    : store_(store), quotas_(limits), showcase_(store, kShowcaseScanLimit, ComposeShowcase) {}

PageAnswer Pages::Answer(const PageRequest& request) {
    const std::string& path = request.path;
    if (path == "/cxzp.asp") {
        return Showcase();
    }
    if (path == "/tjfb.asp") {
        PageAnswer answer = Publish(request);
        if (answer.status == 200) {
            showcase_.Changed();
        }
        return answer;
    }
    if (path == "/cxjl.asp") {
        return Records(request);
    }
    if (path == "/tjjl.asp") {
        return AddRecord(request);
    }
    if (path == "/jyfk.asp") {
        return SendFeedback(request);
    }
    if (path == "/ybtwzp.asp") {
        return LatestVersion();
    }
    if (path == "/lszbgg.asp") {
        return AnnouncementText();
    }
    if (path.rfind(kAnnouncementImageStem, 0) == 0) {
        return AnnouncementImage(path);
    }
    if (path == "/ip") {
        return Text(IpLookupPage(request.remote_address));
    }
    if (path == "/tutorial") {
        // The one page a browser shows; it holds nothing a caller sent.
        return PageAnswer{.status = 200, .body = TutorialPage(), .content_type = "text/html; charset=GBK"};
    }
    return PageAnswer{.status = 404, .body = ""};
}

PageAnswer Pages::Showcase() {
    const auto body = showcase_.Get();
    return body ? Text(*body) : Unavailable();
}

PageAnswer Pages::Publish(const PageRequest& request) {
    if (const std::string problem = CheckKeys(request, {"zz", "sm", "fy", "zplj"}); !problem.empty()) {
        return Refused(problem);
    }
    const Work work{.pen_name = Value(request, "zz"),
                    .work_name = Value(request, "sm"),
                    .motto = Value(request, "fy"),
                    .link = Value(request, "zplj"),
                    .address = request.remote_address};
    for (const auto& [field, value] : {std::pair{Field::kPenName, &work.pen_name},
                                       {Field::kWorkName, &work.work_name},
                                       {Field::kMotto, &work.motto},
                                       {Field::kLink, &work.link}}) {
        if (const std::string problem = CheckField(field, *value); !problem.empty()) {
            return Refused(problem);
        }
    }
    if (!quotas_.Take(WriteKind::kPublish, request.remote_address)) {
        return OverQuota("publishes");
    }
    return store_.AddWork(work) ? Text(kPublished) : Unavailable();
}

PageAnswer Pages::Records(const PageRequest& request) {
    const std::string link = Value(request, "zplj");
    if (!CheckField(Field::kLink, link).empty()) {
        return Text("");  // no record can be kept under such a link
    }
    const auto names = store_.ListRecords(link, kRecordsLimit);
    if (!names) {
        return Unavailable();
    }
    std::string body;
    for (const std::string& name : *names) {
        if (body.size() + name.size() + 1 >= kShowcaseCeiling) {
            break;
        }
        body += name + "~";
    }
    return Text(std::move(body));
}

PageAnswer Pages::AddRecord(const PageRequest& request) {
    if (const std::string problem = CheckKeys(request, {"zplj", "zznc"}); !problem.empty()) {
        return Refused(problem);
    }
    const std::string link = Value(request, "zplj");
    std::string pen_name = Value(request, "zznc");
    // The program sends the visitor's pen name followed by the list separator.
    if (pen_name.empty() || pen_name.back() != '~') {
        return Refused("visitor's pen name does not end with ~");
    }
    pen_name.pop_back();
    for (const auto& [field, value] : {std::pair{Field::kLink, &link}, {Field::kPenName, &pen_name}}) {
        if (const std::string problem = CheckField(field, *value); !problem.empty()) {
            return Refused(problem);
        }
    }
    if (!quotas_.Take(WriteKind::kRecord, request.remote_address)) {
        return OverQuota("records");
    }
    return store_.AddRecord(link, pen_name) ? Text(kRecordAdded) : Unavailable();
}

PageAnswer Pages::SendFeedback(const PageRequest& request) {
    if (const std::string problem = CheckKeys(request, {"nc", "zw"}); !problem.empty()) {
        return Refused(problem);
    }
    const Feedback feedback{
        .nickname = Value(request, "nc"), .text = Value(request, "zw"), .address = request.remote_address};
    for (const auto& [field, value] :
         {std::pair{Field::kNickname, &feedback.nickname}, {Field::kFeedbackText, &feedback.text}}) {
        if (const std::string problem = CheckField(field, *value); !problem.empty()) {
            return Refused(problem);
        }
    }
    if (!quotas_.Take(WriteKind::kFeedback, request.remote_address)) {
        return OverQuota("feedback");
    }
    return store_.AddFeedback(feedback) ? Text(kFeedbackReceived) : Unavailable();
}

PageAnswer Pages::LatestVersion() {
    const auto version = store_.LatestVersion();
    return version ? Text(*version) : Unavailable();
}

PageAnswer Pages::AnnouncementText() {
    const auto announcement = store_.GetAnnouncement();
    if (!announcement) {
        return Unavailable();
    }
    if (announcement->image.empty() && announcement->link.empty() && !announcement->shown) {
        return Text("");
    }
    // The image path goes after the server address and a "/", so it carries no leading slash.
    const std::string image_path = std::string(kAnnouncementImageStem + 1) + announcement->image_type;
    return Text(image_path + "●" + announcement->link + "●" + (announcement->shown ? "真" : "假"));
}

PageAnswer Pages::AnnouncementImage(const std::string& path) {
    const auto announcement = store_.GetAnnouncement();
    if (!announcement) {
        return Unavailable();
    }
    if (announcement->image.empty() || path != kAnnouncementImageStem + announcement->image_type) {
        return PageAnswer{.status = 404, .body = ""};
    }
    return PageAnswer{
        .status = 200, .body = announcement->image, .content_type = ImageContentType(announcement->image_type)};
}

}  // namespace yz::server
