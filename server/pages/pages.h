#pragma once

// The pages the program asks for, as functions from a decoded request to an answer, written
// against the Store only. Answers are GBK bytes without a trailing line break:
//
//   /cxzp.asp                           pen "|" work "|" motto "|" link, entries joined by "<br>",
//                                       newest first, the whole body under 102,400 bytes
//   /tjfb.asp?zz=&sm=&fy=&zplj=         "作品发布成功!"
//   /cxjl.asp?zplj=                     each visitor's pen name followed by "~"; empty: none
//   /tjjl.asp?zplj=&zznc=<pen name>~    "添加记录成功!"
//   /jyfk.asp?nc=&zw=                   "56822"
//   /ybtwzp.asp?id=1                    the latest version, e.g. "4.3"; empty until set
//   /lszbgg.asp?id=1                    image path "●" link "●" "真" or "假"; empty until set
//   /announcement.<type>                the announcement picture
//   /ip                                 "...[" caller address "] 来自：" location "</center>..."
//   /tutorial                           a plain page on using the program
//
// Every answer the program reads is text/plain: whatever a writer stored is never served as a page
// a browser would run.
//
// A write is acknowledged only when it was stored. Anything else (a refused field, a missing,
// repeated or unexpected key, an address over its quota, a failing or busy store) gets another
// answer: 400 with a short ASCII reason for what the caller sent, 429 over the quota, 503 when the
// store failed, could not get the database in time or has too many writes waiting already.
//
// The showcase lists the newest works, each caller address taking at most kShowcaseShare bytes of
// it, so one address cannot push every other writer out. It is built once and kept until the works
// change (see showcase_cache.h).

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "server/pages/quotas.h"
#include "server/pages/showcase_cache.h"
#include "server/store/store.h"

namespace yz::server {

// The program's read ceiling: the showcase answer stays below it.
inline constexpr std::size_t kShowcaseCeiling = 102400;
inline constexpr std::size_t kShowcaseShare = kShowcaseCeiling / 10;

struct PageRequest {
    std::string path;                                // percent-decoded
    std::multimap<std::string, std::string> params;  // percent-decoded query values
    std::string remote_address;
};

struct PageAnswer {
    int status = 200;
    std::string body;
    std::string content_type = "text/plain; charset=GBK";
};

class Pages {
  public:
    explicit Pages(Store& store, QuotaLimits limits = {});

    PageAnswer Answer(const PageRequest& request);

    // The showcase body while it is known current, for answering without a worker; null when only
    // Answer can give it (it must be checked or rebuilt first). Never waits for the store.
    std::shared_ptr<const std::string> CurrentShowcase() const { return showcase_.Current(); }
    // Works were added or deleted in this process other than through these pages.
    void WorksChanged() { showcase_.Changed(); }

  private:
    PageAnswer Showcase();
    PageAnswer Publish(const PageRequest& request);
    PageAnswer Records(const PageRequest& request);
    PageAnswer AddRecord(const PageRequest& request);
    PageAnswer SendFeedback(const PageRequest& request);
    PageAnswer LatestVersion();
    PageAnswer AnnouncementText();
    PageAnswer AnnouncementImage(const std::string& path);

    Store& store_;
    Quotas quotas_;
    ShowcaseCache showcase_;
};

}  // namespace yz::server
