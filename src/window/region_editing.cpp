// Regions on the preview: mouse editing with its cursors and rubber band, the region menus and
// size presets, "Find fit", saving and restoring, and following the scan-area options.
#include "options/number_option.h"
#include "options/scanner_transport.h"
#include "session/region_store.h"
#include "session/truncation.h"
#include "settings/properties.h"
#include "settings/settings_location.h"
#include "ui/backend.h"
#include "window/preview_form.h"

namespace tarnwick {

namespace {

ui::Cursor shapeOf(RegionCursor cursor) {
    switch (cursor) {
        case RegionCursor::FallingDiagonal:
            return ui::Cursor::SizeNWSE;
        case RegionCursor::RisingDiagonal:
            return ui::Cursor::SizeNESW;
        case RegionCursor::Horizontal:
            return ui::Cursor::SizeWE;
        case RegionCursor::Vertical:
            return ui::Cursor::SizeNS;
        case RegionCursor::Arrow:
            break;
    }
    return ui::Cursor::Default;
}

RegionCursor regionCursorOf(ui::Cursor shape) {
    switch (shape) {
        case ui::Cursor::SizeNWSE:
            return RegionCursor::FallingDiagonal;
        case ui::Cursor::SizeNESW:
            return RegionCursor::RisingDiagonal;
        case ui::Cursor::SizeWE:
            return RegionCursor::Horizontal;
        case ui::Cursor::SizeNS:
            return RegionCursor::Vertical;
        default:
            return RegionCursor::Arrow;
    }
}

}  // namespace

bool TFPreview::hasAreaOptions() const {
    return device() && roles().hasArea();
}

double TFPreview::pixelsPerUnit() const {
    return zoomFactor_ / (scale == 0 ? 1.0 : scale);
}

FitSource TFPreview::fitSource() const {
    return {previewBitmap, scale, session_.scanArea(), settings().edgeThreshold};
}

void TFPreview::drawRubberBand() {
    const Regions& t = regions;
    if (t.regionIndex < 0 || t.regionIndex >= t.regionCount) return;
    const Region& g = t.regions[static_cast<std::size_t>(t.regionIndex)];
    const double r = pixelsPerUnit();
    PaintBox.canvas().invertOutline(
        {truncated(g.x1 * r), truncated(g.y1 * r), truncated(g.x2 * r), truncated(g.y2 * r)},
        PaintBox.scaled(2));
}

void TFPreview::ImageMouseDown(const ui::MouseEvent& e) {
    if (!hasAreaOptions()) return;
    ImageScrollBox.setFocus();
    if (e.button == ui::MouseButton::Right) {
        DeleteRegion.setEnabled(regions.regionIndex != -1);
        RegionPopup.popup(PaintBox.clientToScreen({e.x, e.y}));
        return;
    }
    if (e.button != ui::MouseButton::Left) return;
    if (!regions.pressLeft(e.x, e.y, pixelsPerUnit(), regionCursorOf(PaintBox.cursor()))) return;
    // The drag goes on when the pointer leaves the preview.
    ui::backend().setCapture(&PaintBox);
    Timer.setEnabled(regions.timerOn);
}

void TFPreview::ImageMouseMove(const ui::MouseEvent& e) {
    if (!hasAreaOptions()) return;
    if (regions.creating || regions.resizing) {
        drawRubberBand();
        regions.dragTo(e.x, e.y, pixelsPerUnit(), regionCursorOf(PaintBox.cursor()));
        showRegionSize();
        drawRubberBand();
        return;
    }
    bool edgeHit = false;
    PaintBox.setCursor(
        shapeOf(regions.hover(e.x, e.y, scale, zoomFactor_, edgeHit, PaintBox.scaled(5))));
    if (edgeHit)
        showRegionSize();
    else
        reportStatus("0", false, false);
}

void TFPreview::ImageMouseUp(const ui::MouseEvent& e) {
    if (!hasAreaOptions() || e.button != ui::MouseButton::Left) return;
    if (!regions.creating && !regions.resizing) return;
    if (ui::backend().capture() == &PaintBox) ui::backend().setCapture(nullptr);
    regions.releaseLeft();
    // A region without area is gone, and with it the selection.
    if (regions.regionIndex == -1) PaintBox.setCursor(ui::Cursor::Default);
    Timer.setEnabled(regions.timerOn);
    PaintBox.repaint();
}

void TFPreview::DeleteRegionClick() {
    regions.deleteSelected();
    PaintBox.setCursor(ui::Cursor::Default);
    Timer.setEnabled(regions.timerOn);
    PaintBox.repaint();
}

void TFPreview::SizePreset(ui::MenuItem& sender) {
    SetSize(sender.caption());
}

void TFPreview::SetSize(const std::string& name) {
    regions.setSize(name, fitSource());
    Timer.setEnabled(regions.timerOn);
    PaintBox.repaint();
}

void TFPreview::findFit() {
    if (regions.regionIndex < 0 || regions.regionIndex >= regions.regionCount) return;
    regions.regions[static_cast<std::size_t>(regions.regionIndex)] =
        tarnwick::findFit(previewBitmap, scale, session_.scanArea(), settings().edgeThreshold);
}

void TFPreview::storeRegions() {
    try {
        tarnwick::storeRegions(*openSettingsFile(), regions);
    } catch (const std::exception&) {
        // Saving the regions is a convenience; the close goes on.
    }
}

void TFPreview::restoreRegions() {
    try {
        tarnwick::restoreRegions(*openSettingsFile(), regions, settings().saveRegions, fitSource());
    } catch (const std::exception&) {
        // Without a readable settings file the window starts without regions.
    }
    Timer.setEnabled(regions.timerOn);
}

void TFPreview::showRegionSize() {
    const std::string size = regions.sizeText();
    if (size.empty()) return;
    reportStatus(size + (roles().tly ? roles().tly->unitText() : std::string()), false, false);
}

void TFPreview::followScanAreaOptions() {
    if (!device()) return;
    // The reloaded descriptors may bound the area anew.
    const Region largest = session_.largestArea();
    const bool areaChanged = largest != session_.scanArea();
    session_.setWholeArea(largest);
    // Regions are the window's: its pages take the options' area anew when they are built.
    if (pagesPending_) return;
    const Region area = session_.optionsArea();
    const bool moved = area != session_.optionArea;
    session_.optionArea = area;
    // Another mode or depth leaves the user's regions alone, and so do the window's own writes
    // of a region's area.
    if (session_.adjustingOptions || (!areaChanged && !moved) || !settings().removeRegions) return;
    // The whole area needs no region: it is what a scan without regions covers.
    if (area.x1 == area.x2 || area.y1 == area.y2 || area == session_.scanArea()) {
        regions.regionCount = 0;
        regions.regionIndex = -1;
    } else {
        regions.regions[0] = area;
        regions.regionCount = 1;
        regions.regionIndex = 0;
    }
    // The preset region is replaced: it is no longer the saved default.
    regions.defaultRegion = -1;
    Timer.setEnabled(regions.regionCount > 0);
    PaintBox.repaint();
}

}  // namespace tarnwick
