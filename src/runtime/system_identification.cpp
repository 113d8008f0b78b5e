#include "runtime/system_identification.h"

namespace yz {

std::int32_t HashIdentification(const std::string& identification) {
    std::uint32_t hash = 2166136261u;
    for (const unsigned char c : identification) {
        hash ^= c;
        hash *= 16777619u;
    }
    return static_cast<std::int32_t>(hash);
}

}  // namespace yz
