#pragma once

// Paces the balloons of one tip control. A new balloon shows at most once every kBalloonSpacingMs:
// one asked for sooner waits its turn, behind at most kWaitingBalloonsMax others; when that many
// wait already, it is dropped. Datagrams from anyone become balloons, and a flood of them must not
// rebuild a window on the screen faster than anyone can read it.

#include <cstdint>
#include <deque>
#include <optional>

#include "runtime/types.h"

namespace yz {

inline constexpr std::int64_t kBalloonSpacingMs = 500;
inline constexpr std::size_t kWaitingBalloonsMax = 3;

struct BalloonRequest {
    int x = 0;
    int y = 0;
    Text rich_text;
    int icon = -1;
    bool flag = false;
    friend bool operator==(const BalloonRequest&, const BalloonRequest&) = default;
};

class BalloonQueue {
  public:
    // A balloon asked for at `now_ms` (a steady clock): the one to show now, or nullopt when it
    // waits or was dropped.
    std::optional<BalloonRequest> Offer(BalloonRequest request, std::int64_t now_ms);
    // The waiting balloon whose turn has come at `now_ms`, if any; it counts as shown.
    std::optional<BalloonRequest> TakeDue(std::int64_t now_ms);
    // Milliseconds from `now_ms` until the next waiting balloon is due (0 when it is due now);
    // nullopt when none waits.
    std::optional<std::int64_t> NextDueIn(std::int64_t now_ms) const;

  private:
    bool MayShow(std::int64_t now_ms) const { return !last_shown_ || now_ms - *last_shown_ >= kBalloonSpacingMs; }

    std::deque<BalloonRequest> waiting_;
    std::optional<std::int64_t> last_shown_;
};

}  // namespace yz
