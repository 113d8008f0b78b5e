#pragma once

// Writes per caller address and hour, so one caller cannot flood the showcase or fill the disk.
// The defaults lie far above what a writer does by hand (a writer publishes a work or two and
// records a visit per click), and are set with --quota KIND=N (publish, record, feedback; 0: no
// limit). An IPv6 caller counts by its /64, which one subscriber usually holds whole.
//
// Counts live in this process and start again with it: several server processes on one database
// each allow the full quota.

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace yz::server {

enum class WriteKind { kPublish, kRecord, kFeedback };

struct QuotaLimits {
    std::size_t publishes = 20;
    std::size_t records = 200;
    std::size_t feedback = 10;
};

// The limits `settings` ("publish=20", "record=200", "feedback=10"; several may share one word,
// joined by ","), over the defaults. Empty with `error` set on a word it does not know.
std::optional<QuotaLimits> ParseQuotas(const std::vector<std::string>& settings, std::string& error);

class Quotas {
  public:
    // `clock`: seconds; hours are counted from the first write of each address.
    explicit Quotas(QuotaLimits limits, std::function<std::int64_t()> clock = {});

    // Counts one write of `kind` from `address` and gives true; false, counting nothing, when
    // the address made its quota within the hour.
    bool Take(WriteKind kind, const std::string& address);

  private:
    struct Window {
        std::int64_t started = 0;
        std::size_t count = 0;
    };

    QuotaLimits limits_;
    std::function<std::int64_t()> clock_;
    std::mutex mutex_;
    std::unordered_map<std::string, Window> windows_;  // kind and address key
};

}  // namespace yz::server
