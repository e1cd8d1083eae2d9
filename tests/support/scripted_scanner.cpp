#include "support/scripted_scanner.h"

#include <new>
#include <stdexcept>

#include "twain/data_source.h"

namespace tarnwick::testing {

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

TW_UINT16 ScriptedScanner::getCustomData(TW_CUSTOMDSDATA*) {
    script_.calls.push_back("getCustomData");
    return TWRC_SUCCESS;
}

TW_UINT16 ScriptedScanner::setCustomData(TW_CUSTOMDSDATA*) {
    script_.calls.push_back("setCustomData");
    return TWRC_SUCCESS;
}

}  // namespace tarnwick::testing
