#include "runtime/balloon_queue.h"

#include <algorithm>

namespace yz {

std::optional<BalloonRequest> BalloonQueue::Offer(BalloonRequest request, std::int64_t now_ms) {
    if (waiting_.empty() && MayShow(now_ms)) {
        last_shown_ = now_ms;
        return request;
    }
    if (waiting_.size() < kWaitingBalloonsMax) {
        waiting_.push_back(std::move(request));
    }
    return std::nullopt;
}

std::optional<BalloonRequest> BalloonQueue::TakeDue(std::int64_t now_ms) {
    if (waiting_.empty() || !MayShow(now_ms)) {
        return std::nullopt;
    }
    BalloonRequest next = std::move(waiting_.front());
    waiting_.pop_front();
    last_shown_ = now_ms;
    return next;
}

std::optional<std::int64_t> BalloonQueue::NextDueIn(std::int64_t now_ms) const {
    if (waiting_.empty()) {
        return std::nullopt;
    }
    return last_shown_ ? std::max<std::int64_t>(0, *last_shown_ + kBalloonSpacingMs - now_ms) : 0;
}

}  // namespace yz
