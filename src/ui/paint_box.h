// A scrolling container and a paint surface with mouse events.
#pragma once

#include <functional>

#include "ui/canvas.h"
#include "ui/control.h"

namespace ui {

class ScrollBox : public Container {
  public:
    explicit ScrollBox(Container* parent) : Container(parent) {}
    bool canFocus() const override { return true; }
    // Painted without erasing the background first.
    bool opaque() const { return opaque_; }
    void setOpaque(bool o) { opaque_ = o; }
    Point scrollPosition() const { return scroll_; }
    void setScrollPosition(Point p) {
        scroll_ = p;
        notify(Property::Position);
    }

  private:
    bool opaque_ = false;
    Point scroll_;
};

// The paint box keeps its picture in a surface of its own size; painting and drawing between
// paints go there, and a backend shows the surface. The canvas records every operation until
// the record is cleared.
class PaintBox : public Control {
  public:
    explicit PaintBox(Container* parent) : Control(parent) {}
    bool opaque() const { return opaque_; }
    void setOpaque(bool o) { opaque_ = o; }

    // Draws the whole box now: onPaint with a canvas on the surface.
    void repaint();
    Canvas& canvas() { return canvas_; }
    const Surface& surface() const { return surface_; }
    int paintCount() const { return paintCount_; }

    std::function<void(Canvas&)> onPaint;

  protected:
    void boundsChanged() override;

  private:
    bool opaque_ = false;
    Surface surface_;
    Canvas canvas_{surface_};
    int paintCount_ = 0;
};

}  // namespace ui
