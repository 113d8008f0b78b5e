#include <gtest/gtest.h>

#include "server/console/console_password.h"
#include "server/console/console_sessions.h"
#include "server/console/sign_in_throttle.h"

namespace yz::console {
namespace {

TEST(ConsolePasswordTest, HashIsSaltedAndVerifiesOnlyItsPassword) {
    const std::string first = HashConsolePassword("砚舟 secret");
    const std::string second = HashConsolePassword("砚舟 secret");
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first.rfind("$argon2id$", 0), 0u) << first;
    EXPECT_NE(first, second) << "the same password must hash differently (salt)";
    EXPECT_EQ(first.find("secret"), std::string::npos);
    EXPECT_TRUE(VerifyConsolePassword(first, "砚舟 secret"));
    EXPECT_TRUE(VerifyConsolePassword(second, "砚舟 secret"));
    EXPECT_FALSE(VerifyConsolePassword(first, "砚舟 secreT"));
    EXPECT_FALSE(VerifyConsolePassword(first, ""));
    // A stored value that is not a hash never lets anyone in.
    EXPECT_FALSE(VerifyConsolePassword("", ""));
    EXPECT_FALSE(VerifyConsolePassword("砚舟 secret", "砚舟 secret"));
    EXPECT_FALSE(VerifyConsolePassword(first.substr(0, first.size() - 4), "砚舟 secret"));
    EXPECT_FALSE(VerifyConsolePassword(std::string(500, 'x'), "x"));
}

TEST(ConsoleSessionsTest, SessionLivesWhileUsedAndEndsWhenIdleOrSignedOut) {
    ConsoleSessions sessions;
    const auto started = sessions.Start(1000, "h");
    ASSERT_TRUE(started);
    EXPECT_EQ(started->id.size(), 64u);
    EXPECT_NE(started->id, started->csrf);
    EXPECT_EQ(sessions.Touch(started->id, 1000, "h"), started->csrf);
    // Each use restarts the idle time.
    EXPECT_TRUE(sessions.Touch(started->id, 1000 + ConsoleSessions::kIdleSeconds, "h"));
    EXPECT_TRUE(sessions.Touch(started->id, 1000 + 2 * ConsoleSessions::kIdleSeconds, "h"));
    EXPECT_FALSE(sessions.Touch(started->id, 1001 + 3 * ConsoleSessions::kIdleSeconds, "h"));
    EXPECT_FALSE(sessions.Touch(started->id, 1001 + 3 * ConsoleSessions::kIdleSeconds, "h")) << "expired stays expired";

    const auto other = sessions.Start(5000, "h");
    ASSERT_TRUE(other);
    EXPECT_FALSE(sessions.Touch("", 5000, "h"));
    EXPECT_FALSE(sessions.Touch(other->csrf, 5000, "h")) << "the CSRF token is not a session";
    EXPECT_FALSE(sessions.Touch(other->id.substr(1), 5000, "h"));
    sessions.End(other->id);
    EXPECT_FALSE(sessions.Touch(other->id, 5000, "h"));

    // A cookie from before set-console-password must not act under the new password.
    const auto before = sessions.Start(6000, "h");
    EXPECT_FALSE(sessions.Touch(before->id, 6000, "new hash"));
    EXPECT_FALSE(sessions.Touch(before->id, 6000, "h")) << "ended, not merely refused once";
}

TEST(ConsoleSessionsTest, OldestSessionGivesWayWhenTooManyAreOpen) {
    ConsoleSessions sessions;
    std::vector<std::string> ids;
    for (std::size_t i = 0; i <= ConsoleSessions::kMaxSessions; ++i) {
        ids.push_back(sessions.Start(static_cast<std::int64_t>(i), "h")->id);
    }
    const auto now = static_cast<std::int64_t>(ConsoleSessions::kMaxSessions);
    EXPECT_FALSE(sessions.Touch(ids.front(), now, "h"));
    for (std::size_t i = 1; i < ids.size(); ++i) {
        EXPECT_TRUE(sessions.Touch(ids[i], now, "h")) << i;
    }
}

TEST(ConsoleSessionsTest, TokensCompareWholeAndNeverEmpty) {
    const std::string token = RandomToken();
    EXPECT_TRUE(SameToken(token, token));
    EXPECT_FALSE(SameToken(token, RandomToken()));
    EXPECT_FALSE(SameToken(token, token.substr(0, 63)));
    EXPECT_FALSE(SameToken(token + "0", token));
    EXPECT_FALSE(SameToken("", ""));
}

TEST(SignInThrottleTest, WaitDoublesAfterTheFreeFailuresAndClearsOnSuccess) {
    SignInThrottle throttle;
    const std::string address = "127.0.0.1";
    std::int64_t now = 100;
    for (int i = 0; i < SignInThrottle::kFreeFailures; ++i) {
        EXPECT_EQ(throttle.WaitSeconds(address, now), 0) << i;
        throttle.RecordFailure(address, now);
    }
    EXPECT_EQ(throttle.WaitSeconds(address, now), 0);
    std::vector<std::int64_t> waits;
    for (int i = 0; i < 12; ++i) {
        throttle.RecordFailure(address, now);
        const std::int64_t wait = throttle.WaitSeconds(address, now);
        waits.push_back(wait);
        EXPECT_EQ(throttle.WaitSeconds(address, now + wait), 0);
        now += wait;
    }
    EXPECT_EQ(waits, (std::vector<std::int64_t>{1, 2, 4, 8, 16, 32, 64, 128, 256, 300, 300, 300}));
    // Another address is not held up by this one.
    EXPECT_EQ(throttle.WaitSeconds("127.0.0.2", now), 0);
    throttle.RecordFailure(address, now);
    EXPECT_EQ(throttle.WaitSeconds(address, now + 1), 299);
    throttle.RecordSuccess(address);
    EXPECT_EQ(throttle.WaitSeconds(address, now + 1), 0);
    throttle.RecordFailure(address, now + 1);
    EXPECT_EQ(throttle.WaitSeconds(address, now + 1), 0) << "a success starts the count afresh";
}

TEST(SignInThrottleTest, QuietAddressIsForgotten) {
    SignInThrottle throttle;
    for (int i = 0; i < 10; ++i) {
        throttle.RecordFailure("127.0.0.9", 0);
    }
    EXPECT_GT(throttle.WaitSeconds("127.0.0.9", 1), 0);
    throttle.RecordFailure("127.0.0.9", SignInThrottle::kForgetSeconds + 1);
    EXPECT_EQ(throttle.WaitSeconds("127.0.0.9", SignInThrottle::kForgetSeconds + 1), 0);
}

}  // namespace
}  // namespace yz::console
