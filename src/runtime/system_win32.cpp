#include "runtime/system.h"
#include "runtime/system_identification.h"

#include <windows.h>
#include <winioctl.h>

#include <string>
#include <vector>

namespace yz {

namespace {

// A zero-terminated ASCII field of the descriptor at `offset`, without surrounding blanks;
// empty when the offset is 0 (the drive has no such field) or outside the returned bytes.
std::string DescriptorField(const std::vector<BYTE>& buffer, DWORD returned, DWORD offset) {
    if (offset == 0 || offset >= returned) {
        return {};
    }
    std::string field;
    for (DWORD i = offset; i < returned && buffer[i] != 0; ++i) {
        field += static_cast<char>(buffer[i]);
    }
    const std::size_t first = field.find_first_not_of(" \t");
    const std::size_t last = field.find_last_not_of(" \t");
    return first == std::string::npos ? std::string() : field.substr(first, last - first + 1);
}

// The serial number and product id the first physical drive reports. Opening it with no access
// rights is enough for this query and needs no administrator.
std::string FirstDriveIdentification() {
    const HANDLE drive = CreateFileW(L"\\\\.\\PhysicalDrive0", 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     OPEN_EXISTING, 0, nullptr);
    if (drive == INVALID_HANDLE_VALUE) {
        return {};
    }
    STORAGE_PROPERTY_QUERY query{};
    query.PropertyId = StorageDeviceProperty;
    query.QueryType = PropertyStandardQuery;
    std::vector<BYTE> buffer(4096);
    DWORD returned = 0;
    std::string identification;
    if (DeviceIoControl(drive, IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof query, buffer.data(),
                        static_cast<DWORD>(buffer.size()), &returned, nullptr) &&
        returned >= sizeof(STORAGE_DEVICE_DESCRIPTOR)) {
        const auto* descriptor = reinterpret_cast<const STORAGE_DEVICE_DESCRIPTOR*>(buffer.data());
        identification = DescriptorField(buffer, returned, descriptor->SerialNumberOffset);
        identification += DescriptorField(buffer, returned, descriptor->ProductIdOffset);
    }
    CloseHandle(drive);
    return identification;
}

}  // namespace

std::int32_t DiskFeatureNumber() {
    const std::string identification = FirstDriveIdentification();
    return identification.empty() ? 0 : HashIdentification(identification);
}

}  // namespace yz
