// Sliders, progress bars and the status bar.
#pragma once

#include "ui/control.h"

namespace ui {

enum class TickStyle { None, Auto };

// The position stays between min and max. Every change of position, by the user or by code,
// runs onChange. Mouse buttons on the bar reach onMouseDown/onMouseUp only when mouse
// notifications are on (a native bar needs extra work to report them).
class TrackBar : public Control {
  public:
    explicit TrackBar(Container* parent) : Control(parent) {
        setBounds(0, 0, scaled(150), scaled(45));
    }
    bool canFocus() const override { return true; }

    int min() const { return min_; }
    int max() const { return max_; }
    void setRange(int min, int max);
    int position() const { return position_; }
    void setPosition(int p);
    TickStyle tickStyle() const { return tickStyle_; }
    void setTickStyle(TickStyle t) { tickStyle_ = t; }
    bool mouseNotifications() const { return mouseNotifications_; }
    void setMouseNotifications(bool on) { mouseNotifications_ = on; }

    Handler onChange;
    // The user has finished a move made with the keys or the wheel (a mouse drag ends with the
    // mouse button's release instead).
    Handler onMoveEnded;

    void userMouseDown(const MouseEvent& e) override;
    void userMouseUp(const MouseEvent& e) override;
    // The user moves the thumb (by mouse or keys) to a position.
    void userMoveTo(int p);
    void userEndMove();

  private:
    int min_ = 0;
    int max_ = 10;
    int position_ = 0;
    TickStyle tickStyle_ = TickStyle::Auto;
    bool mouseNotifications_ = false;
};

class ProgressBar : public Control {
  public:
    explicit ProgressBar(Container* parent) : Control(parent) {
        setBounds(0, 0, scaled(150), scaled(17));
    }
    int min() const { return min_; }
    int max() const { return max_; }
    void setMin(int v);
    void setMax(int v);
    int position() const { return position_; }
    void setPosition(int p);
    void stepBy(int d) { setPosition(position_ + d); }

  private:
    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
};

// A status bar with one simple panel; the text is the panel's text. It can hold other controls
// (a progress bar).
class StatusBar : public Container {
  public:
    explicit StatusBar(Container* parent) : Container(parent) {
        setBounds(0, 0, scaled(100), scaled(19));
        setAlign(Align::Bottom);
        setTranslateParts(TranslateHint);
    }
};

}  // namespace ui
