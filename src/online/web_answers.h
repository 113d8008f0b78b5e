#pragma once

// Reading the web server's answers and the IP-lookup page. Every reader takes the body as the
// fetch returned it (empty after a failed fetch) and turns it into a text first: the bytes up to
// the first zero byte.

#include <optional>

#include "runtime/types.h"

namespace yz {

// The acknowledgements, each compared with the whole body.
inline constexpr char kRecordAddedAnswer[] = "添加记录成功!";
inline constexpr char kWorkPublishedAnswer[] = "作品发布成功!";
inline constexpr char kFeedbackReceivedAnswer[] = "56822";

// True only when the body is exactly the acknowledgement, byte for byte: a trailing line break,
// white space or markup around it is a failure, and so is an empty body.
bool IsAcknowledgement(const Bytes& body, const Text& acknowledgement);

// The pen names of a mutual-help records answer, each of which ends with "~"; none for an empty
// body.
TextList ReadPenNames(const Bytes& body);

// The entries of the published-works answer, separated by "<br>"; a final "<br>" gives no empty
// last entry; none for an empty body.
TextList ReadWorksList(const Bytes& body);

// One published work: pen name "|" work name "|" motto "|" work link.
struct WorkEntry {
    Text pen_name;
    Text work_name;
    Text motto;
    Text work_link;

    friend bool operator==(const WorkEntry&, const WorkEntry&) = default;
};

// The fields of one entry; nothing when it has fewer than four. Fields beyond the fourth are
// dropped.
std::optional<WorkEntry> ReadWorkEntry(const Text& entry);

// The leading decimal number of the latest-version answer; 0 for an empty body or one that does
// not start with a number.
double ReadVersionNumber(const Bytes& body);

// True when the answer's number exceeds the program's own version by more than 0.0000001.
bool IsNewerVersion(const Bytes& body, const Text& own_version);

// True when `link` begins with "http://" or "https://", in any case: the only links the program
// hands to the shell. Anything else there (a file share, a program path, a script) is not opened.
bool IsWebLink(const Text& link);

// The announcement answer: image path "●" link address "●" show flag.
struct Announcement {
    Text image_path;
    Text link_address;
    bool shown = false;  // only a flag of exactly "真" shows it

    friend bool operator==(const Announcement&, const Announcement&) = default;
};

// Nothing for a body without "●" or with fewer than three parts.
std::optional<Announcement> ReadAnnouncement(const Bytes& body);

// The `address text` from the IP-lookup page: the text after the first "[" up to the first "</c"
// after it, which has the form address "] 来自：" location. Empty for an empty body and for a
// body without "[".
Text ReadAddressText(const Bytes& body);

}  // namespace yz
