#pragma once

// The showcase answer kept in memory. Every running copy of the program asks for it every few
// seconds, and it changes only when a work is added or deleted, so it is built once and served
// until the store's works stamp moves (another process on the same database changed the works) or
// this process says it changed them. The stamp is looked at again at most every
// kShowcaseRecheckMilliseconds, on the first request after that: no answer is older than that
// look, and a change made here is in the very next answer.
//
// The newest works the answer is composed from are kept too. While works are only added, a look
// at the store reads just the new ones and the answer is composed again from memory; a deletion
// anywhere, or a change the look cannot account for, reads the whole window again.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "server/store/store.h"

namespace yz::server {

inline constexpr int kShowcaseRecheckMilliseconds = 250;

class ShowcaseCache {
  public:
    // `compose` makes the body from the newest works (newest first, at most `window` of them).
    using Compose = std::function<std::string(const std::deque<Work>&)>;
    ShowcaseCache(Store& store, std::size_t window, Compose compose)
        : store_(store), window_limit_(window), compose_(std::move(compose)) {}

    // The kept body while it is known to be current; null when the stamp must be looked at or the
    // body rebuilt first (Get). Never waits for the store.
    std::shared_ptr<const std::string> Current() const;
    // The current body, after looking at the stamp and rebuilding when needed; null when the
    // store fails.
    std::shared_ptr<const std::string> Get();
    // A work was added or deleted in this process: the next answer looks at the store first.
    void Changed();

  private:
    struct Kept {
        std::shared_ptr<const std::string> body;
        std::uint64_t generation = 0;  // of Changed() calls when it was built
        long long checked_ms = 0;      // when the stamp was last read for it (monotonic)
    };

    bool Fresh(const Kept& kept) const;
    // Brings window_ up to the store; false when the store fails. Under build_mutex_.
    bool CatchUp(bool& moved);

    Store& store_;
    const std::size_t window_limit_;
    Compose compose_;
    mutable std::mutex kept_mutex_;  // held only to copy or replace kept_
    Kept kept_;
    std::uint64_t generation_ = 1;  // under kept_mutex_; kept_ starts out of date
    std::mutex build_mutex_;        // one look at the store at a time; guards what follows
    std::deque<Work> window_;       // newest first
    std::int64_t window_stamp_ = 0;
    bool window_read_ = false;
};

}  // namespace yz::server
