#pragma once

// The addresses of the web server's pages, built from the server base address ("http://" + host,
// no trailing slash). The query keys and their order are fixed:
//
//   /cxjl.asp?zplj=<work link>                                  mutual-help records of a work
//   /tjjl.asp?zplj=<work link>&zznc=<visitor's pen name>~       add a mutual-help record
//   /tjfb.asp?zz=<pen name>&sm=<work name>&fy=<motto>&zplj=<work link>   publish a work
//   /cxzp.asp                                                   published works
//   /jyfk.asp?nc=<nickname>&zw=<feedback text>                  send feedback
//   /ybtwzp.asp?id=1                                            latest version
//   /lszbgg.asp?id=1                                            announcement
//   /<image path>                                               announcement image
//
// Every value is escaped with EscapeQueryValue, so a work link such as
// "http://example.com/book?id=7&ch=2" reaches the server whole; the server decodes the values.

#include "runtime/types.h"

namespace yz {

// The value with "%", "&", "=", "#", "+", the space and every control byte (below 0x20, and 0x7F)
// written as "%" and two upper-case hex digits. Everything else stays raw, GBK bytes and the
// record separators "~" and "|" included: the server reads those as they are.
Text EscapeQueryValue(const Text& value);

Text RecordsQueryAddress(const Text& server_base_address, const Text& work_link);
Text AddRecordAddress(const Text& server_base_address, const Text& work_link, const Text& visitor_pen_name);
Text PublishAddress(const Text& server_base_address,
                    const Text& pen_name,
                    const Text& work_name,
                    const Text& motto,
                    const Text& work_link);
Text WorksListAddress(const Text& server_base_address);
Text FeedbackAddress(const Text& server_base_address, const Text& nickname, const Text& feedback_text);
Text LatestVersionAddress(const Text& server_base_address);
Text AnnouncementAddress(const Text& server_base_address);
// The image path comes from the announcement answer and is a path on the server, not a query
// value: it is appended as it is.
Text AnnouncementImageAddress(const Text& server_base_address, const Text& image_path);

}  // namespace yz
