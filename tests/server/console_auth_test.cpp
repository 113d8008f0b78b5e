#include <gtest/gtest.h>

#include "server/console/console_password.h"
#include "server/console/console_sessions.h"
#include "server/console/sign_in_throttle.h"
#include "server/live_server.h"
#include "server/store/open_store.h"
#include "support/temp_dir.h"

namespace yz::console {
namespace {

// Sessions and sign-in counts live in the store (SQLite, or PostgreSQL in the PostgreSQL runs).
class StoredTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        store_ = server::OpenStore(test::TestDatabase(dir_), error);
        ASSERT_TRUE(store_) << error;
    }

    test::TempDir dir_;
    std::unique_ptr<server::Store> store_;
};
using ConsoleSessionsTest = StoredTest;
using SignInThrottleTest = StoredTest;

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

TEST_F(ConsoleSessionsTest, SessionLivesWhileUsedAndEndsWhenIdleOrSignedOut) {
    ConsoleSessions sessions(*store_);
    const auto started = sessions.Start(1000, "h");
    ASSERT_TRUE(started);
    EXPECT_EQ(started->id.size(), 64u);
    EXPECT_NE(started->id, started->csrf);
    EXPECT_EQ(sessions.Touch(started->id, 1000, "h"), started->csrf);
    // The store keeps a hash only: the identifier itself, read from a copy of the database, is none.
    server::ConsoleSession found;
    EXPECT_EQ(store_->TouchConsoleSession(started->id, 1000, 0, found), false);
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
    // Another process on the same database knows the session, and its sign-out ends it here too.
    ConsoleSessions elsewhere(*store_);
    EXPECT_EQ(elsewhere.Touch(other->id, 5000, "h"), other->csrf);
    EXPECT_TRUE(elsewhere.End(other->id));
    EXPECT_FALSE(sessions.Touch(other->id, 5000, "h"));

    // A cookie from before set-console-password must not act under the new password.
    const auto before = sessions.Start(6000, "h");
    EXPECT_FALSE(sessions.Touch(before->id, 6000, "new hash"));
    EXPECT_FALSE(sessions.Touch(before->id, 6000, "h")) << "ended, not merely refused once";
}

TEST_F(ConsoleSessionsTest, OldestSessionGivesWayWhenTooManyAreOpen) {
    ConsoleSessions sessions(*store_);
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

TEST(ConsoleTokensTest, TokensCompareWholeAndNeverEmpty) {
    const std::string token = RandomToken();
    EXPECT_TRUE(SameToken(token, token));
    EXPECT_FALSE(SameToken(token, RandomToken()));
    EXPECT_FALSE(SameToken(token, token.substr(0, 63)));
    EXPECT_FALSE(SameToken(token + "0", token));
    EXPECT_FALSE(SameToken("", ""));
}

TEST_F(SignInThrottleTest, WaitDoublesAfterTheFreeFailuresAndClearsOnSuccess) {
    SignInThrottle throttle(*store_);
    const std::string address = "127.0.0.1";
    std::int64_t now = 100;
    std::int64_t wait = -1;
    for (int i = 0; i < SignInThrottle::kFreeFailures; ++i) {
        ASSERT_EQ(throttle.Claim(address, now, wait), true) << i;
        throttle.Release(address, now, false);
    }
    std::vector<std::int64_t> waits;
    for (int i = 0; i < 12; ++i) {
        ASSERT_EQ(throttle.Claim(address, now, wait), true) << i;
        throttle.Release(address, now, false);
        EXPECT_EQ(throttle.Claim(address, now, wait), false);
        waits.push_back(wait);
        now += wait;
    }
    EXPECT_EQ(waits, (std::vector<std::int64_t>{1, 2, 4, 8, 16, 32, 64, 128, 256, 300, 300, 300}));
    // Another address is not held up by this one.
    ASSERT_EQ(throttle.Claim("127.0.0.2", now, wait), true);
    throttle.Release("127.0.0.2", now, true);

    // A right password clears the count; one check in flight per address, whichever process asks.
    ASSERT_EQ(throttle.Claim(address, now, wait), true);
    throttle.Release(address, now, true);
    ASSERT_EQ(throttle.Claim(address, now, wait), true);
    EXPECT_EQ(SignInThrottle(*store_).Claim(address, now, wait), false);
    EXPECT_EQ(wait, 0);
    throttle.Release(address, now, false);
    EXPECT_EQ(throttle.Claim(address, now, wait), true) << "a success starts the count afresh";
    // A claim whose process never released it lapses.
    EXPECT_EQ(throttle.Claim(address, now + SignInThrottle::kClaimSeconds + 1, wait), true);
}

TEST_F(SignInThrottleTest, QuietAddressIsForgotten) {
    SignInThrottle throttle(*store_);
    std::int64_t now = 0;
    std::int64_t wait = 0;
    for (int failures = 0; failures < 10;) {
        if (throttle.Claim("127.0.0.9", now, wait) == true) {
            throttle.Release("127.0.0.9", now, false);
            ++failures;
        } else {
            now += wait;
        }
    }
    EXPECT_EQ(throttle.Claim("127.0.0.9", now, wait), false);
    EXPECT_GT(wait, 0);
    now += SignInThrottle::kForgetSeconds + 1;
    ASSERT_EQ(throttle.Claim("127.0.0.9", now, wait), true);
    throttle.Release("127.0.0.9", now, false);
    EXPECT_EQ(throttle.Claim("127.0.0.9", now, wait), true) << "the old failures no longer count";
}

}  // namespace
}  // namespace yz::console
