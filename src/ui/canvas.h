// Drawing: an off-screen surface of 32-bit pixels, and a canvas that draws onto one and keeps a
// record of every operation (what tests look at; a native peer shows the surface).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ui/types.h"

namespace ui {

// A view of foreign pixel rows (1, 8, 24 or 32 bits per pixel, rows from the top). Pixels of
// 1 and 8 bits index the palette (0xAARRGGBB entries); 24-bit pixels are blue, green, red.
struct PixelView {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 24;
    std::size_t rowBytes = 0;
    const std::uint8_t* data = nullptr;
    const Color* palette = nullptr;
    int paletteSize = 0;

    Color pixel(int x, int y) const;
};

class Surface {
  public:
    Surface() = default;
    // Sizes are limited (each side at most kMaxSide); larger requests are cut.
    Surface(int width, int height, Color fill = rgb(255, 255, 255));
    void resize(int width, int height, Color fill = rgb(255, 255, 255));
    int width() const { return width_; }
    int height() const { return height_; }
    Color pixel(int x, int y) const;
    void setPixel(int x, int y, Color c);
    PixelView view() const;

    static constexpr int kMaxSide = 16384;

  private:
    int width_ = 0;
    int height_ = 0;
    std::vector<Color> pixels_;
};

struct Pen {
    Color color = rgb(0, 0, 0);
    int width = 1;
    // Lengths on and off in pen widths; empty for a solid line.
    std::vector<float> dashes;
    float dashOffset = 0;
};

enum class CanvasOpKind { Blit, StretchBlit, FillRect, Outline, InvertOutline, Line };

struct CanvasOp {
    CanvasOpKind kind;
    Rect rect;  // target area; for Line (x1, y1) = (left, top) and (x2, y2) = (right, bottom)
    Color color = 0;
    Pen pen;
    int sourceWidth = 0;  // blits
    int sourceHeight = 0;
};

// Told of every operation after it is drawn (a native peer draws it on screen as well); blits
// come with their source pixels.
class CanvasListener {
  public:
    virtual ~CanvasListener() = default;
    virtual void drawn(const CanvasOp& op, const PixelView* source) = 0;
};

class Canvas {
  public:
    explicit Canvas(Surface& target) : target_(target) {}

    void blit(const PixelView& source, int x, int y);
    // The whole source scaled over dest (nearest pixel).
    void stretchBlit(const PixelView& source, Rect dest);
    // Solid fill, blended by the colour's alpha.
    void fillRect(Rect r, Color c);
    // The rectangle's outline drawn inside its edges, dashed as the pen says.
    void outline(Rect r, const Pen& pen);
    // An outline that inverts the pixels under it; drawing it twice restores them.
    void invertOutline(Rect r, int penWidth);
    void line(Point a, Point b, Color c);

    const std::vector<CanvasOp>& record() const { return record_; }
    void clearRecord() { record_.clear(); }
    Surface& target() { return target_; }
    void setListener(CanvasListener* listener) { listener_ = listener; }

  private:
    void blend(int x, int y, Color c);
    void tell(const PixelView* source = nullptr) {
        if (listener_) listener_->drawn(record_.back(), source);
    }
    CanvasListener* listener_ = nullptr;
    Surface& target_;
    std::vector<CanvasOp> record_;
};

}  // namespace ui
