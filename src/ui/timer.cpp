#include "ui/timer.h"

#include <algorithm>

#include "ui/backend.h"

namespace ui {

namespace {
std::vector<Timer*>& registry() {
    static std::vector<Timer*> timers;
    return timers;
}
}  // namespace

Timer::Timer() {
    registry().push_back(this);
}

Timer::~Timer() {
    std::erase(registry(), this);
    if (enabled_) {
        enabled_ = false;
        backend().timerChanged(*this);
    }
}

void Timer::setInterval(int ms) {
    interval_ = std::max(0, ms);
    elapsed_ = 0;
    backend().timerChanged(*this);
}

void Timer::setEnabled(bool e) {
    if (e == enabled_) return;
    enabled_ = e;
    elapsed_ = 0;
    backend().timerChanged(*this);
}

void Timer::fire() {
    elapsed_ = 0;
    if (enabled_ && interval_ > 0 && onTimer) onTimer();
}

const std::vector<Timer*>& Timer::all() {
    return registry();
}

}  // namespace ui
