#include "runtime/convert.h"

#include <gtest/gtest.h>

#include <limits>

#include "runtime/bytes.h"
#include "runtime/clock.h"
#include "support/test_text.h"

namespace yz {
namespace {

TEST(ToTextTest, FormatsEveryKind) {
    EXPECT_EQ(ToText(0), "0");
    EXPECT_EQ(ToText(-42), "-42");
    EXPECT_EQ(ToText(std::int64_t{-9000000000}), "-9000000000");
    EXPECT_EQ(ToText(4.2), "4.2");
    EXPECT_EQ(ToText(10.0 + 9), "19");
    EXPECT_EQ(ToText(1.0 / 3), "0.3333333333333");
    EXPECT_EQ(ToText(1e20), "1e+20");
    EXPECT_EQ(ToText(true), "真");
    EXPECT_EQ(ToText(false), "假");
    EXPECT_EQ(ToText("abc"), "abc");
    EXPECT_EQ(ToText(Bytes{'a', 'b', 0, 'c'}), "ab");
    EXPECT_EQ(ToText(Bytes{'a', 'b'}), "ab");
    EXPECT_EQ(ToText(Bytes{}), "");
}

TEST(ToTextTest, DateTimeDropsTrailingZeroParts) {
    EXPECT_EQ(ToText(DateTime{2026, 12, 8, 0, 0, 0}), "2026年12月8日");
    EXPECT_EQ(ToText(DateTime{2026, 12, 8, 14, 0, 0}), "2026年12月8日14时");
    EXPECT_EQ(ToText(DateTime{2026, 12, 8, 14, 30, 0}), "2026年12月8日14时30分");
    EXPECT_EQ(ToText(DateTime{2026, 1, 2, 0, 0, 5}), "2026年1月2日0时0分5秒");
    EXPECT_EQ(ToText(DateTime{2026, 1, 2, 0, 7, 0}), "2026年1月2日0时7分");
}

TEST(ToIntegerTest, ReadsLeadingDigitsAndClamps) {
    EXPECT_EQ(ToInteger("60abc"), 60);
    EXPECT_EQ(ToInteger("abc"), 0);
    EXPECT_EQ(ToInteger(""), 0);
    EXPECT_EQ(ToInteger("  -15x"), -15);
    EXPECT_EQ(ToInteger("+7"), 7);
    EXPECT_EQ(ToInteger("- 7"), 0);
    EXPECT_EQ(ToInteger("\t\r\n300"), 300);
    EXPECT_EQ(ToInteger("99999999999999999999"), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(ToInteger("-2147483648"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(ToInteger("-99999999999"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(ToInteger(-3.7), -3);
    EXPECT_EQ(ToInteger(3.99), 3);
    EXPECT_EQ(ToInteger(1e300), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(ToInteger(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(ToInteger(true), 1);
}

TEST(ToNumberTest, ReadsTheLongestLeadingNumber) {
    EXPECT_DOUBLE_EQ(ToNumber("4.2"), 4.2);
    EXPECT_DOUBLE_EQ(ToNumber("4.3beta"), 4.3);
    EXPECT_DOUBLE_EQ(ToNumber("-1.5e3x"), -1500.0);
    EXPECT_DOUBLE_EQ(ToNumber("2e"), 2.0);
    EXPECT_DOUBLE_EQ(ToNumber(".5"), 0.5);
    EXPECT_DOUBLE_EQ(ToNumber("abc"), 0.0);
    EXPECT_DOUBLE_EQ(ToNumber("."), 0.0);
    EXPECT_DOUBLE_EQ(ToNumber("0x10"), 0.0);
    EXPECT_DOUBLE_EQ(ToNumber("inf"), 0.0);
    EXPECT_DOUBLE_EQ(ToNumber(std::int64_t{12}), 12.0);
}

TEST(BytesTest, ConvertsAndClamps) {
    EXPECT_EQ(ToBytes(Text("ab")), (Bytes{'a', 'b'}));
    EXPECT_EQ(ToBytes(std::int32_t{0x01020304}), (Bytes{4, 3, 2, 1}));
    EXPECT_EQ(ToBytes(std::int32_t{-1}), (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(ToBytes(1.0).size(), 8u);
    const Bytes abc{'a', 'b', 'c'};
    EXPECT_EQ(BytesLeft(abc, 2), (Bytes{'a', 'b'}));
    EXPECT_EQ(BytesLeft(abc, 9), abc);
    EXPECT_EQ(BytesLeft(abc, -1), Bytes{});
    EXPECT_EQ(BytesRight(abc, 1), (Bytes{'c'}));
    EXPECT_EQ(BytesRight(abc, 5), abc);
    EXPECT_EQ(BlankBytes(3), (Bytes{0, 0, 0}));
    EXPECT_TRUE(BlankBytes(-2).empty());
    EXPECT_EQ(BitAnd({0x0F, 0x3C}), 0x0C);
    EXPECT_EQ(BitOr({0x01, 0x10, 0x100}), 0x111);
}

TEST(ClockTest, ReplaceableSourceAndRestore) {
    SetLocalTimeSource([] { return DateTime{2026, 3, 4, 5, 6, 7}; });
    const DateTime now = Now();
    EXPECT_EQ(MonthOf(now), 3);
    EXPECT_EQ(DayOf(now), 4);
    EXPECT_EQ(HourOf(now), 5);
    SetLocalTimeSource({});
    const DateTime real = Now();
    EXPECT_GE(real.year, 2024);
    EXPECT_GE(real.month, 1);
    EXPECT_LE(real.month, 12);
}

}  // namespace
}  // namespace yz
