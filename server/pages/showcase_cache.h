#pragma once

// The showcase answer kept in memory. Every running copy of the program asks for it every few
// seconds, and it changes only when a work is added or deleted, so it is built once and served
// until the store's works stamp moves (another process on the same database changed the works) or
// this process says it changed them. The stamp is looked at again at most every
// kShowcaseRecheckMilliseconds, on the first request after that: no answer is older than that
// look, and a change made here is in the very next answer.

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "server/store/store.h"

namespace yz::server {

inline constexpr int kShowcaseRecheckMilliseconds = 250;

class ShowcaseCache {
  public:
    // `build` makes the body from the store; nullopt when the store fails.
    ShowcaseCache(Store& store, std::function<std::optional<std::string>()> build)
        : store_(store), build_(std::move(build)) {}

    // The kept body while it is known to be current; null when the stamp must be looked at or the
    // body rebuilt first (Get). Never waits for the store.
    std::shared_ptr<const std::string> Current() const;
    // The current body, after looking at the stamp and rebuilding when needed; null when the
    // store fails.
    std::shared_ptr<const std::string> Get();
    // A work was added or deleted in this process: the next answer is built anew.
    void Changed();

  private:
    struct Kept {
        std::shared_ptr<const std::string> body;
        std::int64_t stamp = 0;
        std::uint64_t generation = 0;  // of Changed() calls when it was built
        long long checked_ms = 0;      // when the stamp was last read for it (monotonic)
    };

    bool Fresh(const Kept& kept) const;

    Store& store_;
    std::function<std::optional<std::string>()> build_;
    mutable std::mutex kept_mutex_;  // held only to copy or replace kept_
    Kept kept_;
    std::uint64_t generation_ = 1;  // under kept_mutex_; kept_ starts out of date
    std::mutex build_mutex_;        // one look at the store at a time
};

}  // namespace yz::server
