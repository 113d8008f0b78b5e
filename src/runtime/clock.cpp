#include "runtime/clock.h"

#include <ctime>

namespace yz {

namespace {

std::function<DateTime()>& Source() {
    static std::function<DateTime()> source;
    return source;
}

DateTime SystemNow() {
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);  // the program has one thread
    if (local == nullptr) {
        return DateTime{};
    }
    return DateTime{local->tm_year + 1900, local->tm_mon + 1, local->tm_mday,
                    local->tm_hour,        local->tm_min,     local->tm_sec};
}

}  // namespace

DateTime Now() {
    return Source() ? Source()() : SystemNow();
}

void SetLocalTimeSource(std::function<DateTime()> source) {
    Source() = std::move(source);
}

int MonthOf(const DateTime& value) {
    return value.month;
}

int DayOf(const DateTime& value) {
    return value.day;
}

int HourOf(const DateTime& value) {
    return value.hour;
}

}  // namespace yz
