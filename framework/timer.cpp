#include "framework/timer.h"

#include <stdexcept>

namespace kv {

namespace {
void tell(Timer& t) {
    try {
        ui().timerChanged(t);
    } catch (const std::logic_error&) {
        // No backend (a form built outside any platform): nothing to start or stop.
    }
}
}  // namespace

Timer::~Timer() {
    if (enabled_) {
        enabled_ = false;
        tell(*this);
    }
}

void Timer::setEnabled(bool v) {
    if (v == enabled_) return;
    enabled_ = v;
    tell(*this);
}

void Timer::setInterval(int ms) {
    if (ms == interval_) return;
    interval_ = ms;
    if (enabled_) tell(*this);
}

void Timer::tick() {
    if (enabled_ && onTimer) onTimer(nullptr);
}

}  // namespace kv
