#include "server/pages/showcase_cache.h"

#include <time.h>

#include <iterator>

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
    const long long checked_ms = NowMilliseconds();
    bool moved = false;
    if (!CatchUp(moved)) {
        return nullptr;
    }
    if (!kept.body || moved) {
        kept.body = std::make_shared<const std::string>(compose_(window_));
    }
    kept.generation = generation;
    kept.checked_ms = checked_ms;
    std::lock_guard lock(kept_mutex_);
    kept_ = kept;
    return kept_.body;
}

bool ShowcaseCache::CatchUp(bool& moved) {
    if (window_read_) {
        const std::int64_t newest = window_.empty() ? 0 : window_.front().id;
        auto since = store_.WorksAfter(newest, window_limit_);
        if (!since) {
            return false;
        }
        if (since->stamp - window_stamp_ == static_cast<std::int64_t>(since->works.size())) {
            moved = !since->works.empty();
            window_.insert(window_.begin(), std::make_move_iterator(since->works.begin()),
                           std::make_move_iterator(since->works.end()));
            if (window_.size() > window_limit_) {
                window_.resize(window_limit_);
            }
            window_stamp_ = since->stamp;
            return true;
        }
    }
    auto all = store_.WorksAfter(0, window_limit_);
    if (!all) {
        return false;
    }
    window_.assign(std::make_move_iterator(all->works.begin()), std::make_move_iterator(all->works.end()));
    window_stamp_ = all->stamp;
    window_read_ = true;
    moved = true;
    return true;
}

void ShowcaseCache::Changed() {
    std::lock_guard lock(kept_mutex_);
    ++generation_;
}

}  // namespace yz::server
