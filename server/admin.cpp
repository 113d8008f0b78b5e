#include "server/admin.h"

#include <algorithm>
#include <charconv>
#include <ctime>
#include <fstream>
#include <iterator>
#include <regex>

#include "runtime/encoding.h"
#include "runtime/text.h"
#include "server/console/gbk_form.h"
#include "server/pages/field_rules.h"
#include "server/pages/pictures.h"

namespace yz::server {

namespace {

constexpr std::size_t kImageLimit = 1024 * 1024;
constexpr std::size_t kListBatch = 500;

int Usage(std::ostream& errors, const std::string& problem) {
    errors << "yanzhou-server: " << problem << "\n" << kUsage;
    return 2;
}

int Failed(std::ostream& errors, const std::string& problem) {
    errors << "yanzhou-server: " << problem << "\n";
    return 1;
}

std::string UtcTime(std::int64_t seconds) {
    const std::time_t time = static_cast<std::time_t>(seconds);
    std::tm parts{};
    gmtime_r(&time, &parts);
    char text[32] = {};
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &parts);
    return text;
}

// One field of a listing line: UTF-8, with tabs and line breaks turned into spaces.
std::string Shown(const std::string& gbk) {
    std::string text = Utf8FromGbk(gbk);
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
    return text;
}

std::optional<std::string> ImageType(const std::string& file) {
    const auto dot = file.rfind('.');
    std::string extension = dot == std::string::npos ? "" : file.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == "jpeg") {
        return "jpg";
    }
    if (extension == "jpg" || extension == "png" || extension == "gif" || extension == "bmp") {
        return extension;
    }
    return std::nullopt;
}

int SetVersion(const CommandLine& line, Store& store, std::ostream& errors) {
    // The program reads the answer as a decimal number: anything else would read as 0.
    if (line.arguments.size() != 1 || !std::regex_match(line.arguments[0], std::regex("[0-9]+(\\.[0-9]+)?"))) {
        return Usage(errors, "set-version takes one decimal number such as 4.3");
    }
    return store.SetLatestVersion(line.arguments[0]) ? 0 : Failed(errors, "the version could not be stored");
}

int SetAnnouncement(const CommandLine& line, Store& store, std::ostream& errors) {
    for (const auto& [name, value] : line.options) {
        if (name != "image" && name != "link" && name != "show") {
            return Usage(errors, "set-announcement has no option --" + name);
        }
    }
    auto announcement = store.GetAnnouncement();
    if (!announcement) {
        return Failed(errors, "the announcement could not be read");
    }
    if (const auto image = line.options.find("image"); image != line.options.end()) {
        const auto type = ImageType(image->second);
        if (!type) {
            return Failed(errors, "the image must be a .jpg, .png, .gif or .bmp file");
        }
        std::ifstream file(image->second, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        if (!file.good() && !file.eof()) {
            return Failed(errors, "cannot read " + image->second);
        }
        if (bytes.empty() || bytes.size() > kImageLimit) {
            return Failed(errors, image->second + " is empty, missing or larger than 1 MiB");
        }
        if (PictureType(bytes) != type) {
            return Failed(errors,
                          image->second + " is not a whole ." + *type + " picture (damaged, or another kind of file)");
        }
        announcement->image = std::move(bytes);
        announcement->image_type = *type;
    }
    if (const auto link = line.options.find("link"); link != line.options.end()) {
        const auto strict = console::StrictGbkFromUtf8(link->second);
        if (!strict) {
            const std::string character = console::FirstCharacterOutsideGbk(link->second);
            return Failed(errors, character.empty() ? "the link is not UTF-8 text"
                                                    : "the link holds " + character + ", which GBK cannot hold");
        }
        const std::string& gbk = *strict;
        // The program cuts the announcement at this mark: a link holding it would shift the flag.
        if (FindText(gbk, "●") > 0 || gbk.find_first_of("\r\n") != std::string::npos) {
            return Failed(errors, "the link may not hold a line break or the mark U+25CF");
        }
        // Every program hands the link to the system's shell when the picture is clicked.
        if (!gbk.empty() && !IsWebLink(gbk)) {
            return Failed(
                errors,
                "the link must begin with http:// or https:// and hold no space, backslash or control character");
        }
        announcement->link = gbk;
    }
    if (const auto show = line.options.find("show"); show != line.options.end()) {
        if (show->second != "yes" && show->second != "no") {
            return Usage(errors, "--show takes yes or no");
        }
        announcement->shown = show->second == "yes";
    }
    return store.SetAnnouncement(*announcement) ? 0 : Failed(errors, "the announcement could not be stored");
}

int ShowSettings(Store& store, std::ostream& out, std::ostream& errors) {
    const auto version = store.LatestVersion();
    const auto announcement = store.GetAnnouncement();
    if (!version || !announcement) {
        return Failed(errors, "the settings could not be read");
    }
    out << "latest version: " << (version->empty() ? "(not set)" : *version) << "\n";
    out << "announcement: " << (announcement->shown ? "shown" : "not shown") << "\n";
    out << "announcement link: " << Shown(announcement->link) << "\n";
    out << "announcement image: ";
    if (announcement->image.empty()) {
        out << "(none)\n";
    } else {
        out << "announcement." << announcement->image_type << ", " << announcement->image.size() << " bytes\n";
    }
    return 0;
}

int ListWorks(Store& store, std::ostream& out, std::ostream& errors) {
    out << "id\tpublished (UTC)\tpen name\twork\tmotto\tlink\taddress\n";
    std::int64_t before = 0;
    while (true) {
        const auto works = store.ListWorks(before, kListBatch);
        if (!works) {
            return Failed(errors, "the works could not be read");
        }
        for (const Work& work : *works) {
            out << work.id << "\t" << UtcTime(work.published_at) << "\t" << Shown(work.pen_name) << "\t"
                << Shown(work.work_name) << "\t" << Shown(work.motto) << "\t" << Shown(work.link) << "\t"
                << work.address << "\n";
        }
        if (works->size() < kListBatch) {
            return 0;
        }
        before = works->back().id;
    }
}

int DeleteWork(const CommandLine& line, Store& store, std::ostream& errors) {
    std::int64_t id = 0;
    const std::string text = line.arguments.size() == 1 ? line.arguments[0] : "";
    const auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), id);
    if (text.empty() || problem != std::errc() || end != text.data() + text.size() || id <= 0) {
        return Usage(errors, "delete-work takes the id of a work (see list-works)");
    }
    const auto deleted = store.DeleteWork(id);
    if (!deleted) {
        return Failed(errors, "the work could not be deleted");
    }
    return *deleted ? 0 : Failed(errors, "there is no work " + text);
}

int ListFeedback(Store& store, std::ostream& out, std::ostream& errors) {
    out << "id\tsent (UTC)\tnickname\taddress\ttext\n";
    std::int64_t before = 0;
    while (true) {
        const auto list = store.ListFeedback(before, kListBatch);
        if (!list) {
            return Failed(errors, "the feedback could not be read");
        }
        for (const Feedback& feedback : *list) {
            out << feedback.id << "\t" << UtcTime(feedback.sent_at) << "\t" << Shown(feedback.nickname) << "\t"
                << feedback.address << "\t" << Shown(feedback.text) << "\n";
        }
        if (list->size() < kListBatch) {
            return 0;
        }
        before = list->back().id;
    }
}

}  // namespace

int RunAdminCommand(const CommandLine& line, Store& store, std::ostream& out, std::ostream& errors) {
    const std::string& command = line.command;
    if (command != "set-announcement" && !line.options.empty()) {
        return Usage(errors, command + " has no option --" + line.options.begin()->first);
    }
    if (command == "set-version") {
        return SetVersion(line, store, errors);
    }
    if (command == "set-announcement") {
        return SetAnnouncement(line, store, errors);
    }
    const bool no_arguments = line.arguments.empty();
    if (command == "show-settings" && no_arguments) {
        return ShowSettings(store, out, errors);
    }
    if (command == "list-works" && no_arguments) {
        return ListWorks(store, out, errors);
    }
    if (command == "delete-work") {
        return DeleteWork(line, store, errors);
    }
    if (command == "list-feedback" && no_arguments) {
        return ListFeedback(store, out, errors);
    }
    return Usage(errors, "unknown command or arguments: " + command);
}

}  // namespace yz::server
