#include "runtime/headless/headless_clock.h"

namespace yz {

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

std::int64_t FloorDivide(std::int64_t value, std::int64_t divisor) {
    const std::int64_t quotient = value / divisor;
    return (value % divisor != 0 && (value < 0) != (divisor < 0)) ? quotient - 1 : quotient;
}

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's civil-date algorithm).
std::int64_t DaysFromCivil(std::int64_t year, int month, int day) {
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = FloorDivide(year, 400);
    const std::int64_t year_of_era = year - era * 400;
    const std::int64_t day_of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const std::int64_t day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
    return era * 146097 + day_of_era - 719468;
}

void CivilFromDays(std::int64_t days, DateTime& out) {
    days += 719468;
    const std::int64_t era = FloorDivide(days, 146097);
    const std::int64_t day_of_era = days - era * 146097;
    const std::int64_t year_of_era = (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
    const std::int64_t day_of_year = day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
    const std::int64_t month_index = (5 * day_of_year + 2) / 153;
    out.day = static_cast<int>(day_of_year - (153 * month_index + 2) / 5 + 1);
    out.month = static_cast<int>(month_index < 10 ? month_index + 3 : month_index - 9);
    out.year = static_cast<int>(year_of_era + era * 400 + (out.month <= 2 ? 1 : 0));
}

}  // namespace

DateTime AddMilliseconds(const DateTime& start, std::int64_t milliseconds) {
    const std::int64_t start_seconds = DaysFromCivil(start.year, start.month, start.day) * kSecondsPerDay +
                                       start.hour * 3600 + start.minute * 60 + start.second;
    const std::int64_t seconds = start_seconds + FloorDivide(milliseconds, 1000);
    const std::int64_t days = FloorDivide(seconds, kSecondsPerDay);
    const std::int64_t in_day = seconds - days * kSecondsPerDay;
    DateTime out;
    CivilFromDays(days, out);
    out.hour = static_cast<int>(in_day / 3600);
    out.minute = static_cast<int>(in_day / 60 % 60);
    out.second = static_cast<int>(in_day % 60);
    return out;
}

}  // namespace yz
