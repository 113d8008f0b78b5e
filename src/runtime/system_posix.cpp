#include "runtime/system.h"
#include "runtime/system_identification.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

namespace yz {

namespace {

std::string Trimmed(std::string text) {
    const auto blank = [](unsigned char c) { return c <= 0x20; };
    while (!text.empty() && blank(static_cast<unsigned char>(text.back()))) {
        text.pop_back();
    }
    const auto first = std::find_if_not(text.begin(), text.end(), blank);
    return std::string(first, text.end());
}

std::string ReadSmallFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return {};
    }
    char buffer[4096];
    in.read(buffer, sizeof buffer);
    return Trimmed(std::string(buffer, static_cast<std::size_t>(in.gcount())));
}

std::vector<std::filesystem::path> SortedEntries(const std::filesystem::path& directory) {
    std::vector<std::filesystem::path> entries;
    std::error_code error;
    for (std::filesystem::directory_iterator it(directory, error), end; !error && it != end; it.increment(error)) {
        entries.push_back(it->path());
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

// The first block device, in name order, that reports a serial number or a world-wide name.
// Loop and RAM devices report neither and are passed over by that alone.
std::string SerialFromSysfs(const std::filesystem::path& block_devices) {
    static const char* const kSources[] = {"device/serial", "serial", "wwid", "device/wwid"};
    for (const std::filesystem::path& device : SortedEntries(block_devices)) {
        for (const char* source : kSources) {
            std::string serial = ReadSmallFile(device / source);
            if (!serial.empty()) {
                return serial;
            }
        }
    }
    return {};
}

// udev's names carry the model and serial of each disk.
std::string NameFromDiskIds(const std::filesystem::path& disk_ids) {
    const std::vector<std::filesystem::path> names = SortedEntries(disk_ids);
    return names.empty() ? std::string() : names.front().filename().string();
}

}  // namespace

std::int32_t DiskFeatureNumberFrom(const std::filesystem::path& block_devices, const std::filesystem::path& disk_ids) {
    std::string identification = SerialFromSysfs(block_devices);
    if (identification.empty()) {
        identification = NameFromDiskIds(disk_ids);
    }
    return identification.empty() ? 0 : HashIdentification(identification);
}

std::int32_t DiskFeatureNumber() {
    return DiskFeatureNumberFrom("/sys/block", "/dev/disk/by-id");
}

}  // namespace yz
