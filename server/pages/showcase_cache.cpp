#include "server/pages/showcase_cache.h"

#include <time.h>

namespace yz::server {

namespace {

long long NowMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
    return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

}  // namespace

bool ShowcaseCache::Fresh(const Kept& kept) const {
    return kept.body && kept.generation == generation_ &&
           NowMilliseconds() - kept.checked_ms < kShowcaseRecheckMilliseconds;
}

std::shared_ptr<const std::string> ShowcaseCache::Current() const {
    std::lock_guard lock(kept_mutex_);
    return Fresh(kept_) ? kept_.body : nullptr;
}

std::shared_ptr<const std::string> ShowcaseCache::Get() {
    std::uint64_t wanted = 0;
    {
        std::lock_guard lock(kept_mutex_);
        if (Fresh(kept_)) {
            return kept_.body;
        }
        wanted = generation_;
    }
    const long long arrived_ms = NowMilliseconds();
    std::lock_guard build_lock(build_mutex_);
    Kept kept;
    std::uint64_t generation = 0;
    {
        std::lock_guard lock(kept_mutex_);
        // A body built while this request waited holds every change made here before it arrived
        // and read the stamp after it arrived, so it serves this request even when newer changes
        // have come since: while writes pour in, each build answers everyone who waited for it
        // instead of each waiting request building once more in turn.
        if (Fresh(kept_) || (kept_.body && kept_.generation >= wanted && kept_.checked_ms >= arrived_ms)) {
            return kept_.body;
        }
        kept = kept_;
        generation = generation_;
    }
    // Read before the works: a change committed in between is counted by the next stamp, so the
    // body is at worst rebuilt once more, never kept past it.
    const long long checked_ms = NowMilliseconds();
    const auto stamp = store_.WorksStamp();
    if (!stamp) {
        return nullptr;
    }
    if (!kept.body || kept.stamp != *stamp || kept.generation != generation) {
        auto built = build_();
        if (!built) {
            return nullptr;
        }
        kept.body = std::make_shared<const std::string>(std::move(*built));
    }
    kept.stamp = *stamp;
    kept.generation = generation;
    kept.checked_ms = checked_ms;
    std::lock_guard lock(kept_mutex_);
    kept_ = kept;
    return kept_.body;
}

void ShowcaseCache::Changed() {
    std::lock_guard lock(kept_mutex_);
    ++generation_;
}

}  // namespace yz::server
