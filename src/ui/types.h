// Plain value types shared by every widget of the toolkit.
#pragma once

#include <cstdint>
#include <functional>
#include <utility>

namespace ui {

struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point&) const = default;
};

// Left/top inclusive, right/bottom exclusive, as window rectangles are.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool contains(Point p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    bool operator==(const Rect&) const = default;
};

// 0xAARRGGBB.
using Color = std::uint32_t;
constexpr Color argb(unsigned a, unsigned r, unsigned g, unsigned b) {
    return (Color{a & 255} << 24) | (Color{r & 255} << 16) | (Color{g & 255} << 8) | Color{b & 255};
}
constexpr Color rgb(unsigned r, unsigned g, unsigned b) {
    return argb(255, r, g, b);
}

// Colours the platform defines; the backend maps them to real ones. GrayText is the system's
// colour of disabled text (greyed captions), readable on windows in every colour scheme.
enum class SystemColor { WindowText, GrayText, Window, ButtonFace };

enum class Align { None, Top, Bottom, Left, Right, Client };

enum class Cursor {
    Default,
    Arrow,
    Cross,
    SizeNS,
    SizeWE,
    SizeNWSE,
    SizeNESW,
    HourGlass,
    NoDrop,
    Drag,
    HandPoint
};

enum class ModalResult { None, Ok, Cancel, Yes, No, Abort, Retry, Ignore };

enum class MouseButton { Left, Right, Middle };

// Modifier keys and held mouse buttons, as bits.
enum Shift : unsigned {
    ShiftNone = 0,
    ShiftKey = 1,
    CtrlKey = 2,
    AltKey = 4,
    LeftHeld = 8,
    RightHeld = 16
};

// Virtual key codes; letters and digits are their upper-case ASCII codes.
namespace key {
constexpr int Back = 8, Tab = 9, Enter = 13, Escape = 27, Space = 32, Left = 37, Up = 38,
              Right = 39, Down = 40, Delete = 46;
}

struct MouseEvent {
    MouseButton button = MouseButton::Left;
    unsigned shift = ShiftNone;
    int x = 0;
    int y = 0;
};

// A handler may set key to 0 to consume the key.
struct KeyEvent {
    int key = 0;
    unsigned shift = ShiftNone;
};

// Takes a handler out of its slot for the scope's lifetime and puts it back afterwards, so that
// changes made by code do not run it. A handler assigned meanwhile is kept.
template <class Handler>
class Detached {
  public:
    explicit Detached(Handler& slot) : slot_(slot), saved_(std::exchange(slot, nullptr)) {}
    ~Detached() {
        if (!slot_) slot_ = std::move(saved_);
    }
    Detached(const Detached&) = delete;
    Detached& operator=(const Detached&) = delete;

  private:
    Handler& slot_;
    Handler saved_;
};

using Handler = std::function<void()>;
using MouseHandler = std::function<void(const MouseEvent&)>;
using KeyHandler = std::function<void(KeyEvent&)>;

}  // namespace ui
