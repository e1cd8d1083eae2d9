#include "ui/canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace ui {

Color PixelView::pixel(int x, int y) const {
    if (!data || x < 0 || y < 0 || x >= width || y >= height) return 0;
    const std::uint8_t* row = data + static_cast<std::size_t>(y) * rowBytes;
    auto fromPalette = [&](int index) -> Color {
        if (palette && index < paletteSize) return palette[index];
        return rgb(index, index, index);
    };
    switch (bitsPerPixel) {
        case 1: {
            int bit = (row[x / 8] >> (7 - x % 8)) & 1;
            return palette ? fromPalette(bit) : (bit ? rgb(255, 255, 255) : rgb(0, 0, 0));
        }
        case 8:
            return fromPalette(row[x]);
        case 24:
            return rgb(row[x * 3 + 2], row[x * 3 + 1], row[x * 3]);
        case 32:
            return reinterpret_cast<const Color*>(row)[x];
        default:
            return 0;
    }
}

Surface::Surface(int width, int height, Color fill) {
    resize(width, height, fill);
}

void Surface::resize(int width, int height, Color fill) {
    width_ = std::clamp(width, 0, kMaxSide);
    height_ = std::clamp(height, 0, kMaxSide);
    pixels_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), fill);
}

Color Surface::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                   static_cast<std::size_t>(x)];
}

void Surface::setPixel(int x, int y, Color c) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
            static_cast<std::size_t>(x)] = c;
}

PixelView Surface::view() const {
    return {width_,
            height_,
            32,
            static_cast<std::size_t>(width_) * sizeof(Color),
            reinterpret_cast<const std::uint8_t*>(pixels_.data()),
            nullptr,
            0};
}

void Canvas::blend(int x, int y, Color c) {
    unsigned a = c >> 24;
    if (a == 255) {
        target_.setPixel(x, y, c);
        return;
    }
    Color d = target_.pixel(x, y);
    auto mix = [&](int shift) {
        unsigned s = (c >> shift) & 255, t = (d >> shift) & 255;
        return (s * a + t * (255 - a) + 127) / 255;
    };
    target_.setPixel(x, y, rgb(mix(16), mix(8), mix(0)));
}

void Canvas::blit(const PixelView& source, int x, int y) {
    record_.push_back({CanvasOpKind::Blit,
                       {x, y, x + source.width, y + source.height},
                       0,
                       {},
                       source.width,
                       source.height});
    for (int sy = 0; sy < source.height; ++sy)
        for (int sx = 0; sx < source.width; ++sx)
            target_.setPixel(x + sx, y + sy, source.pixel(sx, sy) | 0xFF000000u);
    tell(&source);
}

void Canvas::stretchBlit(const PixelView& source, Rect dest) {
    record_.push_back({CanvasOpKind::StretchBlit, dest, 0, {}, source.width, source.height});
    if (source.width <= 0 || source.height <= 0 || dest.width() <= 0 || dest.height() <= 0) return;
    for (int dy = 0; dy < dest.height(); ++dy) {
        int sy = static_cast<int>(static_cast<long long>(dy) * source.height / dest.height());
        for (int dx = 0; dx < dest.width(); ++dx) {
            int sx = static_cast<int>(static_cast<long long>(dx) * source.width / dest.width());
            target_.setPixel(dest.left + dx, dest.top + dy, source.pixel(sx, sy) | 0xFF000000u);
        }
    }
    tell(&source);
}

void Canvas::fillRect(Rect r, Color c) {
    record_.push_back({CanvasOpKind::FillRect, r, c, {}, 0, 0});
    int x0 = std::max(r.left, 0), x1 = std::min(r.right, target_.width());
    int y0 = std::max(r.top, 0), y1 = std::min(r.bottom, target_.height());
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) blend(x, y, c);
    tell();
}

// The outline is walked clockwise from the top-left corner; the dash pattern runs along it,
// shifted by the offset, so that a growing offset makes the dashes crawl.
void Canvas::outline(Rect r, const Pen& pen) {
    record_.push_back({CanvasOpKind::Outline, r, pen.color, pen, 0, 0});
    // Edges beyond the surface stay beyond it; this bounds the walk.
    r = {std::max(r.left, -1), std::max(r.top, -1), std::min(r.right, target_.width() + 1),
         std::min(r.bottom, target_.height() + 1)};
    if (r.width() <= 0 || r.height() <= 0) return;
    std::vector<Point> path;
    for (int x = r.left; x < r.right; ++x) path.push_back({x, r.top});
    for (int y = r.top + 1; y < r.bottom; ++y) path.push_back({r.right - 1, y});
    for (int x = r.right - 2; x >= r.left && r.height() > 1; --x) path.push_back({x, r.bottom - 1});
    for (int y = r.bottom - 2; y > r.top && r.width() > 1; --y) path.push_back({r.left, y});
    float period = 0;
    for (float d : pen.dashes) period += d * static_cast<float>(std::max(pen.width, 1));
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (period > 0) {
            float pos = std::fmod(
                static_cast<float>(i) + pen.dashOffset * static_cast<float>(std::max(pen.width, 1)),
                period);
            if (pos < 0) pos += period;
            bool on = true;
            for (float d : pen.dashes) {
                float len = d * static_cast<float>(std::max(pen.width, 1));
                if (pos < len) break;
                pos -= len;
                on = !on;
            }
            if (!on) continue;
        }
        for (int w = 0; w < std::max(pen.width, 1); ++w) {
            Point p = path[i];
            // Thicker pens grow inwards.
            int dx = p.x == r.left ? w : (p.x == r.right - 1 ? -w : 0);
            int dy = p.y == r.top ? w : (p.y == r.bottom - 1 ? -w : 0);
            blend(p.x + dx, p.y + dy, pen.color);
        }
    }
    tell();
}

void Canvas::invertOutline(Rect r, int penWidth) {
    record_.push_back({CanvasOpKind::InvertOutline, r, 0, Pen{0, penWidth, {}, 0}, 0, 0});
    int x0 = std::min(r.left, r.right), x1 = std::max(r.left, r.right);
    int y0 = std::min(r.top, r.bottom), y1 = std::max(r.top, r.bottom);
    int w = std::max(penWidth, 1);
    for (int y = std::max(y0, 0); y < std::min(y1, target_.height()); ++y)
        for (int x = std::max(x0, 0); x < std::min(x1, target_.width()); ++x) {
            bool edge = x < x0 + w || x >= x1 - w || y < y0 + w || y >= y1 - w;
            if (edge) target_.setPixel(x, y, target_.pixel(x, y) ^ 0x00FFFFFFu);
        }
    tell();
}

void Canvas::line(Point a, Point b, Color c) {
    record_.push_back({CanvasOpKind::Line, {a.x, a.y, b.x, b.y}, c, {}, 0, 0});
    int dx = std::abs(b.x - a.x), dy = -std::abs(b.y - a.y);
    int sx = a.x < b.x ? 1 : -1, sy = a.y < b.y ? 1 : -1;
    int err = dx + dy;
    Point p = a;
    // Bounded by the line's length, whatever the coordinates.
    for (long long steps = 0; steps <= static_cast<long long>(dx) - dy; ++steps) {
        blend(p.x, p.y, c);
        if (p == b) break;
        int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            p.x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            p.y += sy;
        }
    }
    tell();
}

}  // namespace ui
