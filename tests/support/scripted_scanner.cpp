#include "support/scripted_scanner.h"

#include <new>
#include <stdexcept>
#include <utility>

#include "twain/data_source.h"

namespace tarnwick::testing {

ScriptedOptions::ScriptedOptions() {
    for (const char* m : {"Lineart", "Gray", "Color"}) mode.addChoice(m);
    mode.setValueText("Gray");
    resolution.setRange(50, 1200, 0);
    resolution.values = {100};
    for (auto [edge, high] :
         {std::pair{&tlx, 215.9}, {&tly, 279.4}, {&brx, 215.9}, {&bry, 279.4}}) {
        edge->isFixed = true;
        edge->setRange(0, high, 0);
        edge->values = {edge == &brx || edge == &bry ? high : 0.0};
    }
    for (NumberOption* level : {&brightness, &contrast}) {
        level->setRange(-100, 100, 1);
        level->values = {0};
    }
    threshold.setRange(0, 255, 1);
    threshold.values = {128};
    gamma.isFixed = true;
    gamma.setRange(1, 3, 0.1);
    gamma.values = {2.2};
    device.exchanges = 0;
}

ScannerScript::ScannerScript() {
    roles.mode = &options->mode;
    roles.resolution = &options->resolution;
    roles.tlx = &options->tlx;
    roles.tly = &options->tly;
    roles.brx = &options->brx;
    roles.bry = &options->bry;
}

void ScannerScript::withLevels() {
    roles.brightness = &options->brightness;
    roles.contrast = &options->contrast;
    roles.threshold = &options->threshold;
    roles.gamma = &options->gamma;
}

void ScannerScript::scanYields(const FrameParameters& parameters, int xResolution) {
    BitmapKind kind = BitmapKind::Bits24;
    bitmapKindFor(parameters, kind);
    const int height = parameters.lines >= 0 ? parameters.lines : 3;
    bitmap.reset(kind, parameters.pixelsPerLine, height);
    // Each byte tells its row and place, so that every delivered byte can be traced back.
    for (int y = 0; y < height; ++y)
        for (std::size_t i = 0; i < bitmap.rowBytes(); ++i)
            bitmap.row(y)[i] = static_cast<std::uint8_t>(16 * y + i);
    toDeliveredForm(bitmap, parameters);
    image = Image();
    image.parameters = parameters;
    image.xResolution = image.yResolution = xResolution;
    image.bitmap = &bitmap;
}

void ScriptedScanner::showWindow(bool uiOnly) {
    if (script_.showWindowThrows == 1) throw std::bad_alloc();
    if (script_.showWindowThrows == 2) throw std::runtime_error("window broke");
    script_.calls.push_back(uiOnly ? "showWindow(settings)" : "showWindow(scan)");
}

Image* ScriptedScanner::acquire(bool keepAsCurrent, bool cancelAtEnd) {
    script_.calls.push_back(std::string("acquire(") + (keepAsCurrent ? "keep" : "-") + "," +
                            (cancelAtEnd ? "cancel" : "-") + ")");
    const bool ok = !script_.scans.empty() && script_.scans.front();
    if (!script_.scans.empty()) script_.scans.pop_front();
    failed_ = !ok;
    if (!ok) {
        pending_ = 0;
        return nullptr;
    }
    if (keepAsCurrent) current_ = &script_.image;
    if (pending_ > 0) --pending_;
    return &script_.image;
}

void ScriptedScanner::pressScan() {
    script_.calls.push_back("pressScan");
    pending_ = script_.batch;
    if (acquire(true, false)) owner_.notifyApplication(MSG_XFERREADY);
}

Image* ScriptedScanner::getImage() {
    if (!current_ && pending_ != 0) acquire(true, true);
    return current_;
}

void ScriptedScanner::releaseImage() {
    script_.calls.push_back("releaseImage");
    current_ = nullptr;
}

}  // namespace tarnwick::testing
