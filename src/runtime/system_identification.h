#pragma once

// Shared by the platform ways of reading the first disk's identification.

#include <cstdint>
#include <filesystem>
#include <string>

namespace yz {

// The disk number of an identification text (serial, product, device name): FNV-1a over its
// bytes, 32 bits. Any stable spread of the bytes will do; 0 stays the answer for "unknown".
std::int32_t HashIdentification(const std::string& identification);

// Linux: DiskFeatureNumber read from a sysfs block-device directory ("/sys/block") and a udev
// disk-name directory ("/dev/disk/by-id"), which tests give as directories of their own.
std::int32_t DiskFeatureNumberFrom(const std::filesystem::path& block_devices, const std::filesystem::path& disk_ids);

}  // namespace yz
