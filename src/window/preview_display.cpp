// The preview on the screen: the placeholder, the zoom, and the painting of the preview with the
// crawling outlines of the regions.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "base/translate.h"
#include "options/scanner_transport.h"
#include "session/truncation.h"
#include "ui/canvas.h"
#include "window/preview_form.h"
#include "window/preview_geometry.h"

namespace tarnwick {

namespace {

// The zoomed copy is one bitmap and the paint box one surface: a zoom above 100% typed into the
// box makes a picture of this many pixels at most (and no side beyond a surface's), so that it
// cannot ask for gigabytes. 1000% of a preview of the window's size (400 x 560) stays whole. The
// zooms of the list, 100% at most, are never cut: their picture is no larger than the preview.
constexpr double kMaxZoomedPixels = 1 << 25;
// At 96 DPI:
constexpr int kBandChrome = 16;  // a cool-bar band's gripper and edges, or its text's margins
constexpr int kLeastControlWidth = 120;
constexpr int kRowMargins = 20 + 16;  // a row's own, and its page's borders

ui::PixelView viewOf(const Bitmap& bitmap, std::vector<ui::Color>& palette) {
    palette.clear();
    for (const PaletteEntry& e : bitmap.colourTable())
        palette.push_back(ui::rgb(e.red, e.green, e.blue));
    ui::PixelView view;
    view.width = bitmap.width();
    view.height = bitmap.height();
    view.bitsPerPixel = bitmap.bitsPerPixel();
    view.rowBytes = bitmap.rowBytes();
    view.data = bitmap.height() > 0 ? bitmap.row(0) : nullptr;
    view.palette = palette.empty() ? nullptr : palette.data();
    view.paletteSize = static_cast<int>(palette.size());
    return view;
}

// The whole source over the whole target, nearest pixel; colour previews keep their colours.
// 16-bit samples show their most significant byte.
void stretchInto(Bitmap& target, const Bitmap& source, int width, int height) {
    if (!target.reset(BitmapKind::Bits24, width, height)) {
        target.reset(BitmapKind::Bits24, 0, 0);
        return;
    }
    if (source.width() <= 0 || source.height() <= 0) return;
    std::vector<ui::Color> palette;
    const ui::PixelView view = viewOf(source, palette);
    const bool deep = isDeep(source.kind());
    const bool deepGrey = source.kind() == BitmapKind::Grey16;
    const auto high = [](const std::uint8_t* sample) {
        return static_cast<std::uint8_t>(sampleAt(sample) >> 8);
    };
    // The source column of each target column, worked out once for all rows.
    std::vector<int> columns(static_cast<std::size_t>(width));
    for (int x = 0; x < width; ++x)
        columns[static_cast<std::size_t>(x)] =
            static_cast<int>(static_cast<long long>(x) * source.width() / width);
    for (int y = 0; y < height; ++y) {
        const int sy = static_cast<int>(static_cast<long long>(y) * source.height() / height);
        std::uint8_t* row = target.row(y);
        if (source.kind() == BitmapKind::Bits24) {
            const std::uint8_t* from = source.row(sy);
            for (int x = 0; x < width; ++x)
                std::memcpy(row + 3 * x, from + 3 * columns[static_cast<std::size_t>(x)], 3);
            continue;
        }
        for (int x = 0; x < width; ++x) {
            const int sx = columns[static_cast<std::size_t>(x)];
            if (deep) {
                const std::uint8_t* p =
                    source.row(sy) + static_cast<std::size_t>(sx) * (deepGrey ? 2 : 6);
                row[3 * x] = high(p);
                row[3 * x + 1] = high(deepGrey ? p : p + 2);
                row[3 * x + 2] = high(deepGrey ? p : p + 4);
                continue;
            }
            const ui::Color c = view.pixel(sx, sy);
            row[3 * x] = static_cast<std::uint8_t>(c);
            row[3 * x + 1] = static_cast<std::uint8_t>(c >> 8);
            row[3 * x + 2] = static_cast<std::uint8_t>(c >> 16);
        }
    }
}

}  // namespace

void TFPreview::showPlaceholder() {
    const PlaceholderSize size = placeholderFor(session_.scanArea());
    if (previewBitmap.reset(BitmapKind::Bits24, size.width, size.height)) {
        // An empty white page until the first preview.
        for (int y = 0; y < previewBitmap.height(); ++y)
            std::memset(previewBitmap.row(y), 0xFF, previewBitmap.rowBytes());
    } else {
        previewBitmap.reset(BitmapKind::Bits24, 0, 0);
    }
    scale = size.scale;
    // The placeholder's pixels are those of a window at 96 DPI.
    if (!windowSizeRestored) fitPreview(scaled(size.width), scaled(size.height));
    Zoom.setComboText(tr("Whole page"));
    ZoomChange();
}

void TFPreview::fitPreview(int previewWidth, int previewHeight) {
    // Around the window's centre, wide enough for the widest tool bar of the dock.
    const ui::Rect view = ImageScrollBox.clientRect();
    int barWidth = 0;
    for (std::size_t i = 0; i < TopDock.bandCount(); ++i) {
        const ui::CoolBand& band = TopDock.band(i);
        auto* bar = dynamic_cast<ui::ToolBar*>(band.control);
        if (!bar || !bar->visible()) continue;
        const int text =
            band.text.empty() ? 0 : ui::textWidth(font(), band.text) + scaled(kBandChrome);
        barWidth = std::max(barWidth, bar->contentWidth() + text + scaled(kBandChrome));
    }
    // And for the option rows, with room for their controls.
    int rowWidth = 0;
    if (device())
        for (const auto& option : device()->options())
            if (option->row())
                rowWidth = std::max(rowWidth, option->captionLabel()->parent()->width() +
                                                  option->unitLabel()->width() +
                                                  scaled(kLeastControlWidth + kRowMargins));
    const int chrome = width() - view.width();
    const int w = std::max({previewWidth + chrome, barWidth, rowWidth + chrome});
    const int h = previewHeight + height() - view.height();
    setBounds(left() + (width() - w) / 2, top() + (height() - h) / 2, w, h);
    keepOnWorkArea();
}

void TFPreview::showScanAsPreview() {
    const ui::Rect client = ImageScrollBox.clientRect();
    const int width = session_.scanBitmap.width(), height = session_.scanBitmap.height();
    const double fit =
        zoomFactorFor(ZoomMode::WholePage, 0, client.width(), client.height(), width, height);
    // The pixels the whole page shows, picked as the display picks them: it looks the same.
    if (fit > 0 && fit < 1)
        stretchInto(previewBitmap, session_.scanBitmap, std::max(truncated(width * fit), 1),
                    std::max(truncated(height * fit), 1));
    else if (isDeep(session_.scanBitmap.kind()))
        stretchInto(previewBitmap, session_.scanBitmap, width, height);
    else
        previewBitmap = session_.scanBitmap;
    scale = previewScale(session_.scanArea(), previewBitmap.width());
    ZoomChange();
}

ZoomMode TFPreview::zoomMode(double& percent) const {
    const std::string& text = Zoom.text();
    percent = static_cast<double>(leadingNumber(text));
    return text == tr("Whole page")   ? ZoomMode::WholePage
           : text == tr("Page width") ? ZoomMode::PageWidth
                                      : ZoomMode::Percent;
}

void TFPreview::ZoomChange() {
    const double previous = zoomFactor_;
    const int width = previewBitmap.width(), height = previewBitmap.height();
    const ui::Rect client = ImageScrollBox.clientRect();
    double percent = 0;
    const ZoomMode mode = zoomMode(percent);
    zoomFactor_ = zoomFactorFor(mode, percent, client.width(), client.height(), width, height);
    const double pixels = static_cast<double>(width) * height;
    if (zoomFactor_ > 1 && pixels > 0) {
        const double bound =
            std::min(std::sqrt(kMaxZoomedPixels / pixels),
                     static_cast<double>(ui::Surface::kMaxSide) / std::max(width, height));
        zoomFactor_ = std::min(zoomFactor_, std::max(bound, 1.0));
    }
    if (zoomFactor_ != previous)
        PaintBox.canvas().fillRect({0, 0, PaintBox.width(), PaintBox.height()},
                                   ui::rgb(255, 255, 255));
    // A negative zoom shows nothing rather than a box of negative size.
    const int shownWidth = std::max(truncated(width * zoomFactor_), 0);
    const int shownHeight = std::max(truncated(height * zoomFactor_), 0);
    PaintBox.setBounds(PaintBox.left(), PaintBox.top(), shownWidth, shownHeight);
    stretchInto(displayBitmap, previewBitmap, shownWidth, shownHeight);
    PaintBox.repaint();
}

void TFPreview::paintPreview() {
    ui::Canvas& canvas = PaintBox.canvas();
    // Every paint draws the whole box; what was drawn before is of no further interest.
    canvas.clearRecord();
    std::vector<ui::Color> palette;
    canvas.blit(viewOf(displayBitmap, palette), 0, 0);
    if (regions.regionCount <= 0) return;
    if (scale == 0) scale = 1.0;
    ui::Pen pen;
    pen.color = ui::argb(255, 0, 0, 0);
    pen.width = 1;
    pen.dashes = {5, 5};
    pen.dashOffset = static_cast<float>(dashOffset);
    for (int i = 0; i < regions.regionCount; ++i) {
        const Region s =
            regionOnScreen(regions.regions[static_cast<std::size_t>(i)], scale, zoomFactor_);
        const ui::Rect r{s.x1, s.y1, s.x2, s.y2};
        canvas.fillRect(r, ui::argb(15, 255, 0, 0));
        canvas.outline(r, pen);
    }
}

void TFPreview::TimerTimer() {
    dashOffset = (dashOffset + 1) % 10;
    PaintBox.repaint();
}

}  // namespace tarnwick
