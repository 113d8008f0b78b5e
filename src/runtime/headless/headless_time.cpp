// Virtual time: the clock moves only when the test advances it, a handler sleeps, or a handler
// waits with events. Timers tick in the order they fall due; a timer the clock ran past while a
// handler was busy ticks once, not once per missed period, and keeps its rhythm.

#include "runtime/clock.h"
#include "runtime/headless/headless_clock.h"
#include "runtime/headless/headless_desktop.h"
#include "runtime/headless/headless_scope.h"

namespace yz {

void HeadlessDesktop::RunClockTo(std::int64_t target) {
    for (;;) {
        const ControlState* next = nullptr;
        ControlRef next_ref;
        for (const auto& window : windows_) {
            for (const ControlState& control : window->controls) {
                if (control.kind() != ControlKind::kTimer || control.period <= 0) {
                    continue;
                }
                if (next == nullptr || control.due < next->due ||
                    (control.due == next->due && control.started < next->started)) {
                    next = &control;
                    next_ref = ControlRef{window->name(), control.name()};
                }
            }
        }
        if (next == nullptr || next->due > target) {
            break;
        }
        ControlState* timer = FindControl(next_ref);
        now_ms_ = std::max(now_ms_, timer->due);
        // The next tick is set before this one runs, so a handler that sets the period wins.
        std::int64_t due = timer->due + timer->period;
        if (due <= now_ms_) {
            due += ((now_ms_ - due) / timer->period + 1) * timer->period;
        }
        timer->due = due;
        Raise(next_ref, EventKind::kTick);
        DrainPosted();
    }
    now_ms_ = std::max(now_ms_, target);
    DrainPosted();
}

void HeadlessDesktop::AdvanceClock(int milliseconds) {
    ActionScope scope(*this);
    DrainPosted();
    RunClockTo(now_ms_ + std::max(milliseconds, 0));
}

void HeadlessDesktop::DelayWithEvents(int milliseconds) {
    if (milliseconds <= 0) {
        return;
    }
    ActionScope scope(*this);
    DrainPosted();
    RunClockTo(now_ms_ + milliseconds);
}

void HeadlessDesktop::Sleep(int milliseconds) {
    now_ms_ += std::max(milliseconds, 0);
}

void HeadlessDesktop::SetLocalDateTime(const DateTime& at) {
    local_base_ = at;
    local_base_ms_ = now_ms_;
    owns_time_source_ = true;
    SetLocalTimeSource([this] { return AddMilliseconds(local_base_, now_ms_ - local_base_ms_); });
}

}  // namespace yz
