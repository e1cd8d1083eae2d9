// Timers. Enabling a timer, or changing its interval, starts its period afresh.
#pragma once

#include <vector>

#include "ui/types.h"

namespace ui {

class Timer {
  public:
    Timer();
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    int interval() const { return interval_; }
    void setInterval(int ms);
    bool enabled() const { return enabled_; }
    void setEnabled(bool e);

    Handler onTimer;

    // The backend reports that the period has passed.
    void fire();
    // Milliseconds since the period started (kept by the headless clock).
    int elapsed() const { return elapsed_; }
    void setElapsed(int ms) { elapsed_ = ms; }

    // Every timer that exists, in creation order.
    static const std::vector<Timer*>& all();

  private:
    int interval_ = 1000;
    bool enabled_ = false;
    int elapsed_ = 0;
};

}  // namespace ui
