// Feeds arbitrary bytes as a server or IP-lookup answer to every reader of the program. None may
// crash or read past the body; the parts a list reader gives back hold no separator and, put
// together again, make up the text; the address text is a piece of the text.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "online/web_answers.h"
#include "runtime/convert.h"
#include "runtime/text.h"

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// The parts of a list, joined with the separator, are the text itself, or the text less one
// final separator.
void CheckList(const yz::TextList& parts, const yz::Text& text, const yz::Text& separator) {
    yz::Text joined;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        Check(yz::FindText(parts[i], separator) == -1);
        joined += parts[i];
        if (i + 1 < parts.size()) {
            joined += separator;
        }
    }
    Check(joined == text || joined + separator == text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const yz::Bytes body(data, data + size);
    const yz::Text text = yz::ToText(body);

    Check(yz::IsAcknowledgement(body, yz::kWorkPublishedAnswer) == (text == yz::kWorkPublishedAnswer));
    Check(!yz::IsAcknowledgement(body, yz::kFeedbackReceivedAnswer) || text == "56822");

    CheckList(yz::ReadPenNames(body), text, "~");
    const yz::TextList works = yz::ReadWorksList(body);
    CheckList(works, text, "<br>");
    for (const yz::Text& entry : works) {
        const std::optional<yz::WorkEntry> work = yz::ReadWorkEntry(entry);
        Check(!work ||
              (work->pen_name.size() + work->work_name.size() + work->motto.size() + work->work_link.size() + 3 <=
               entry.size()));
    }

    yz::ReadVersionNumber(body);
    yz::IsNewerVersion(body, "4.2");

    const std::optional<yz::Announcement> announcement = yz::ReadAnnouncement(body);
    Check(!announcement || text.find(announcement->image_path) == 0);

    const yz::Text address_text = yz::ReadAddressText(body);
    Check(address_text.empty() || text.find(address_text) != yz::Text::npos);
    Check(text.find('[') != yz::Text::npos || address_text.empty());
    return 0;
}
