#include "ui/paint_box.h"

namespace ui {

void PaintBox::repaint() {
    ++paintCount_;
    if (onPaint) onPaint(canvas_);
    notify(Property::State);
}

void PaintBox::boundsChanged() {
    if (surface_.width() != width() || surface_.height() != height())
        surface_.resize(width(), height());
}

}  // namespace ui
