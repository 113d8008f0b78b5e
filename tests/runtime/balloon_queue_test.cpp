// Balloon pacing: a flood of requests shows one balloon per spacing, keeps a few in order and
// drops the rest.

#include "runtime/balloon_queue.h"

#include <gtest/gtest.h>

namespace yz {
namespace {

BalloonRequest Numbered(int n) {
    return BalloonRequest{n, 0, "第" + std::to_string(n), -1, true};
}

TEST(BalloonQueueTest, AFloodShowsOneBalloonPerSpacingKeepingTheFirstFewThatWait) {
    BalloonQueue queue;
    EXPECT_EQ(queue.NextDueIn(0), std::nullopt);
    EXPECT_EQ(queue.Offer(Numbered(0), 1000), Numbered(0));
    // Within the spacing: three wait, in order; the others are dropped.
    for (int n = 1; n <= 10; ++n) {
        EXPECT_EQ(queue.Offer(Numbered(n), 1000 + n), std::nullopt);
    }
    EXPECT_EQ(queue.NextDueIn(1100), 400);
    EXPECT_EQ(queue.TakeDue(1499), std::nullopt);
    EXPECT_EQ(queue.TakeDue(1500), Numbered(1));
    // A new request never jumps the queue, even once the spacing has passed.
    EXPECT_EQ(queue.Offer(Numbered(11), 2100), std::nullopt);
    EXPECT_EQ(queue.NextDueIn(2100), 0);
    EXPECT_EQ(queue.TakeDue(2100), Numbered(2));
    EXPECT_EQ(queue.TakeDue(2600), Numbered(3));
    EXPECT_EQ(queue.TakeDue(3100), Numbered(11));
    EXPECT_EQ(queue.TakeDue(9000), std::nullopt);
    EXPECT_EQ(queue.NextDueIn(9000), std::nullopt);
    // Nothing waits and the spacing has passed: shown at once.
    EXPECT_EQ(queue.Offer(Numbered(12), 3600), Numbered(12));
}

}  // namespace
}  // namespace yz
