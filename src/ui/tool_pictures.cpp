#include "ui/tool_pictures.h"

#include <algorithm>
#include <initializer_list>
#include <utility>

namespace ui {

namespace {

// Draws in a 16-unit grid scaled to the side.
class Sketch {
  public:
    explicit Sketch(int side)
        : side_(std::max(side, 1)),
          surface_(side_, side_, kPictureTransparent),
          canvas_(surface_) {}
    int u(int v) const { return v * side_ / 16; }
    // Units from x0, y0 up to (not including) x1, y1.
    void fill(int x0, int y0, int x1, int y1, Color c) {
        canvas_.fillRect({u(x0), u(y0), u(x1), u(y1)}, c);
    }
    void frame(int x0, int y0, int x1, int y1, Color c) {
        canvas_.outline({u(x0), u(y0), u(x1), u(y1)}, Pen{c, std::max(1, side_ / 16), {}, 0});
    }
    void dashed(int x0, int y0, int x1, int y1, Color c) {
        canvas_.outline({u(x0), u(y0), u(x1), u(y1)}, Pen{c, std::max(1, side_ / 16), {2, 1}, 0});
    }
    void line(int x0, int y0, int x1, int y1, Color c) {
        int w = std::max(1, side_ / 16);
        for (int i = 0; i < w; ++i) canvas_.line({u(x0) + i, u(y0)}, {u(x1) + i, u(y1)}, c);
    }
    Surface take() { return std::move(surface_); }

  private:
    int side_;
    Surface surface_;
    Canvas canvas_;
};

constexpr Color kInk = rgb(32, 32, 32);
constexpr Color kGrey = rgb(160, 160, 168);
constexpr Color kLight = rgb(224, 224, 232);
constexpr Color kWhite = rgb(255, 255, 255);
constexpr Color kBlue = rgb(40, 96, 200);
constexpr Color kSky = rgb(150, 200, 250);
constexpr Color kGreen = rgb(40, 160, 64);
constexpr Color kYellow = rgb(250, 210, 40);
constexpr Color kRed = rgb(200, 48, 40);

void scanner(Sketch& s) {
    s.fill(1, 6, 15, 13, kGrey);
    s.frame(1, 6, 15, 13, kInk);
    s.fill(2, 4, 14, 6, kSky);
    s.frame(2, 3, 14, 6, kInk);
    s.line(3, 9, 12, 9, kGreen);
    s.fill(12, 10, 14, 12, kGreen);
}

void picture(Sketch& s) {
    s.fill(1, 2, 15, 14, kSky);
    s.frame(1, 2, 15, 14, kInk);
    s.fill(10, 4, 13, 7, kYellow);
    s.line(2, 12, 6, 7, kGreen);
    s.line(6, 7, 9, 10, kGreen);
    s.line(9, 10, 11, 8, kGreen);
    s.line(11, 8, 14, 12, kGreen);
    s.fill(2, 12, 14, 13, kGreen);
}

void regions(Sketch& s) {
    s.fill(1, 1, 15, 15, kWhite);
    s.dashed(2, 2, 10, 9, kBlue);
    s.dashed(6, 6, 14, 14, kRed);
}

void lens(Sketch& s) {
    s.fill(3, 2, 10, 9, kSky);
    s.frame(2, 1, 11, 10, kInk);
    s.line(10, 10, 14, 14, kInk);
    s.line(11, 10, 15, 14, kInk);
    s.line(4, 5, 9, 5, kInk);
    s.line(6, 3, 6, 8, kInk);
}

void gear(Sketch& s) {
    s.fill(4, 4, 12, 12, kGrey);
    s.fill(7, 1, 9, 15, kGrey);
    s.fill(1, 7, 15, 9, kGrey);
    s.fill(2, 2, 5, 5, kGrey);
    s.fill(11, 2, 14, 5, kGrey);
    s.fill(2, 11, 5, 14, kGrey);
    s.fill(11, 11, 14, 14, kGrey);
    s.frame(4, 4, 12, 12, kInk);
    s.fill(6, 6, 10, 10, kWhite);
}

void info(Sketch& s) {
    s.fill(2, 1, 14, 15, kBlue);
    s.fill(1, 3, 15, 13, kBlue);
    s.fill(7, 3, 9, 5, kWhite);
    s.fill(7, 6, 9, 13, kWhite);
    s.fill(6, 6, 7, 7, kWhite);
    s.fill(6, 12, 10, 13, kWhite);
}

void globe(Sketch& s) {
    s.fill(3, 1, 13, 15, kSky);
    s.fill(1, 3, 15, 13, kSky);
    s.fill(4, 3, 8, 7, kGreen);
    s.fill(9, 8, 13, 12, kGreen);
    s.line(1, 8, 15, 8, kBlue);
    s.line(8, 1, 8, 15, kBlue);
    s.frame(1, 1, 15, 15, kBlue);
}

void envelope(Sketch& s) {
    s.fill(1, 3, 15, 13, kWhite);
    s.frame(1, 3, 15, 13, kInk);
    s.line(1, 3, 8, 9, kInk);
    s.line(8, 9, 14, 3, kInk);
}

void note(Sketch& s) {
    s.fill(3, 1, 14, 15, kGreen);
    s.fill(1, 1, 4, 5, rgb(24, 110, 40));
    s.fill(5, 5, 12, 6, kWhite);
    s.fill(5, 8, 12, 9, kWhite);
    s.fill(5, 11, 10, 12, kWhite);
}

void printer(Sketch& s) {
    s.fill(4, 1, 12, 6, kWhite);
    s.frame(4, 1, 12, 6, kInk);
    s.fill(1, 6, 15, 12, kGrey);
    s.frame(1, 6, 15, 12, kInk);
    s.fill(4, 10, 12, 15, kWhite);
    s.frame(4, 10, 12, 15, kInk);
    s.fill(12, 7, 14, 8, kGreen);
    s.fill(2, 8, 14, 9, kLight);
}

// A curve through the points, in units, with its points marked.
void curve(Sketch& s, std::initializer_list<std::pair<int, int>> points, bool marks) {
    const std::pair<int, int>* previous = nullptr;
    for (const auto& p : points) {
        if (previous) s.line(previous->first, previous->second, p.first, p.second, kBlue);
        previous = &p;
    }
    if (marks)
        for (const auto& p : points)
            s.fill(p.first - 1, p.second - 1, p.first + 1, p.second + 1, kRed);
}

void axes(Sketch& s) {
    s.fill(1, 1, 15, 15, kWhite);
    s.frame(1, 1, 15, 15, kGrey);
}

void spline(Sketch& s) {
    axes(s);
    curve(s, {{2, 13}, {4, 9}, {6, 7}, {8, 7}, {10, 8}, {12, 6}, {14, 3}}, false);
    s.fill(3, 10, 5, 12, kRed);
    s.fill(7, 6, 9, 8, kRed);
    s.fill(12, 3, 14, 5, kRed);
}

void straight(Sketch& s) {
    axes(s);
    curve(s, {{3, 13}, {13, 3}}, true);
}

void segments(Sketch& s) {
    axes(s);
    curve(s, {{3, 13}, {6, 6}, {10, 10}, {13, 3}}, true);
}

void gammaCurve(Sketch& s) {
    axes(s);
    s.line(2, 14, 14, 2, kLight);
    // y = x^(1/2.2) over the box, in steps.
    curve(s, {{2, 14}, {3, 9}, {4, 8}, {6, 6}, {8, 5}, {10, 4}, {12, 3}, {14, 2}}, false);
}

}  // namespace

Surface drawToolImage(ToolImage image, int side) {
    Sketch s(side);
    switch (image) {
        case ToolImage::Scan:
            scanner(s);
            break;
        case ToolImage::Preview:
            picture(s);
            break;
        case ToolImage::Regions:
            regions(s);
            break;
        case ToolImage::Zoom:
            lens(s);
            break;
        case ToolImage::Settings:
            gear(s);
            break;
        case ToolImage::About:
            info(s);
            break;
        case ToolImage::Web:
            globe(s);
            break;
        case ToolImage::Mail:
            envelope(s);
            break;
        case ToolImage::Evernote:
            note(s);
            break;
        case ToolImage::Print:
            printer(s);
            break;
        case ToolImage::Spline:
            spline(s);
            break;
        case ToolImage::Straight:
            straight(s);
            break;
        case ToolImage::Segments:
            segments(s);
            break;
        case ToolImage::Gamma:
            gammaCurve(s);
            break;
    }
    return s.take();
}

}  // namespace ui
