#include "ui/track_bar.h"

#include <algorithm>

namespace ui {

void TrackBar::setRange(int min, int max) {
    min_ = min;
    max_ = std::max(min, max);
    notify(Property::Range);
    setPosition(position_);
}

void TrackBar::setPosition(int p) {
    p = std::clamp(p, min_, max_);
    if (p == position_) return;
    position_ = p;
    notify(Property::Position);
    if (onChange) onChange();
}

void TrackBar::userMouseDown(const MouseEvent& e) {
    if (mouseNotifications_) Control::userMouseDown(e);
}

void TrackBar::userMouseUp(const MouseEvent& e) {
    if (mouseNotifications_) Control::userMouseUp(e);
}

void TrackBar::userMoveTo(int p) {
    if (!usable() || !showing()) return;
    setPosition(p);
}

void TrackBar::userEndMove() {
    if (usable() && showing() && onMoveEnded) onMoveEnded();
}

void ProgressBar::setMin(int v) {
    min_ = v;
    if (max_ < min_) max_ = min_;
    setPosition(position_);
}

void ProgressBar::setMax(int v) {
    max_ = std::max(v, min_);
    setPosition(position_);
}

void ProgressBar::setPosition(int p) {
    position_ = std::clamp(p, min_, max_);
    notify(Property::Position);
}

}  // namespace ui
