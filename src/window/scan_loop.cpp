// The final scan: the Scan button with its page question, the feeder test, and the reading of
// one image from the device with progress, Escape and the cancel policy.
#include <string>

#include "base/debug_log.h"
#include "base/scoped_value.h"
#include "base/translate.h"
#include "image/decode_frame.h"
#include "options/device.h"
#include "options/number_option.h"
#include "settings/properties.h"
#include "ui/backend.h"
#include "window/preview_form.h"
#include "window/scan_policy.h"

namespace tarnwick {

namespace {

constexpr long long kPumpIntervalMs = 20;

void cancelDevice(Device& device) {
    debugLog(tr("\tcancelling the scan\n"));
    device.cancel();
}

}  // namespace

void TFPreview::BScanClick() {
    if (readingImage) return;
    debugLog(tr("Starting full scan\n"));
    {
        const base::ScopedValue own(adjustingOptions, true);
        if (device && previewOption) {
            debugLog(tr("\tsetting preview option\n"));
            device->controlBool(SANE_ACTION_SET_VALUE, *previewOption, false);
        }
        if (device && resolutionOption) {
            debugLog(tr("\tupdating resolution option\n"));
            // A resolution typed into the box counts even when the box was not left.
            if (auto* number = dynamic_cast<NumberOption*>(resolutionOption)) number->commitTyped();
            if (device) resolutionOption->refresh();
        }
    }

    const bool feeder = beginBatch(true);
    if (!saneDevice) return;
    const bool acquired = saneDevice->acquireFirst();
    const std::string outcome = StatusBar.text();
    if (acquired) {
        saneDevice->imageReady();
    } else {
        if (device && (cancelType & cancelAfterBatch)) cancelDevice(*device);
        batch.fail();
        if (feeder) {
            saneDevice->closeRequested();
            debugLog(tr("Backend reported no more pages.\n"));
        }
    }
    updateOptions(outcome);
}

bool TFPreview::beginBatch(bool mayAsk) {
    return batch.begin([&] {
        if (scanNPages != 0 || !mayAsk) return scanNPages > 0 ? scanNPages : -1;
        int pages = 0;
        // Closing the box gives the preset answer, so the question ends.
        while (pages < 1)
            pages = pagesAnswer(ui::inputBox(tr("Number of pages"), tr("Number of pages"), "1"));
        return pages;
    });
}

bool TFPreview::scanNextImage(Region& area) {
    area = batch.take();
    const std::optional<ExactFrame>& frame = batch.frame();
    bool scanned = false;
    try {
        if (frame)
            setScanArea(frame->left, frame->top, frame->right, frame->bottom);
        else
            setScanArea(area.x1, area.y1, area.x2, area.y2);
        scanned = scanInto(scanBitmap) && device;
    } catch (const std::exception&) {
        // A fatal report closed the connection (its text is on the status line), or memory
        // ran out: the scan gave no image.
    }
    if (scanned && regions.regionCount == 0) showScanAsPreview();
    return scanned;
}

void TFPreview::endImage(bool delivered, bool cancelAtEnd) {
    bool last = true;
    if (delivered)
        last = batch.counted();
    else
        batch.fail();
    if (last && cancelAtEnd && device && (cancelType & cancelAfterBatch)) device->cancel();
}

bool TFPreview::isAdfScan() {
    if (!device || !feederOption || (FProperties->ADFSingle.checked() && !batch.feederChosen()))
        return false;
    const std::string value = feederOption->valueText();
    const bool feeder =
        feederSelected(feederOption->valueType() == SANE_TYPE_BOOL, feederInverted, value);
    if (feeder && regions.regionCount > 1) {
        ui::messageBox(tr("Currently only one region is allowed when using an ADF"), caption(),
                       ui::BoxKind::Information, ui::BoxButtons::Ok);
        regions.regionCount = 1;
        regions.regionIndex = 0;
        if (regions.defaultRegion > 0) regions.defaultRegion = -1;
        PaintBox.repaint();
    }
    debugLog(tr("ADF scanning: NumRegions='%d', scanLoop='%s' (value was '%s')\n"),
             regions.regionCount, feeder ? "true" : "false", value.c_str());
    return feeder;
}

bool TFPreview::scanInto(Bitmap& bitmap) {
    // The application may ask for an image while the window processes messages during a read.
    if (readingImage) return false;
    if (!device) {
        reportStatus(tr("No scanner is open"), false, false);
        return false;
    }
    if (waitOption && waitOption->valueText() == "yes" &&
        ui::messageBox(tr("Press the button to start the scan"), caption(),
                       ui::BoxKind::Information, ui::BoxButtons::OkCancel) != ui::ModalResult::Ok)
        return false;

    readingImage = true;
    const auto restore = [this] {
        readingImage = false;
        ProgressBar.setVisible(false);
        ui::backend().setScreenCursor(ui::Cursor::Default);
        setCaption(tr("Tarnwick interface"));
    };
    try {
        keepReading = true;
        if (!FProperties->DisableEsc.checked()) setCaption(tr("Scanning... press ESC to cancel"));

        const FrameReader read = [this](std::uint8_t* buffer, std::size_t capacity,
                                        std::size_t& count) {
            count = 0;
            if (!device) return ReadStatus::Error;
            if (device->readData(buffer, capacity, count)) return ReadStatus::Data;
            // Only a frame the daemon ended normally is whole.
            return device && device->imageChannel().endStatus() == SANE_STATUS_EOF
                       ? ReadStatus::EndOfFrame
                       : ReadStatus::Error;
        };
        // Messages (Escape, painting, the progress) get through at the first row and then at
        // most every kPumpIntervalMs: after every row they would cost as much as the decoding.
        bool pumped = false;
        long long lastPump = 0;
        int rowsNotShown = 0;
        bool stoppedByUser = false;
        const RowCallback rowDone = [&](int) {
            if (device) device->imageChannel().rowCompleted();
            ++rowsNotShown;
            const long long now = ui::backend().milliseconds();
            if (!pumped || now - lastPump >= kPumpIntervalMs) {
                pumped = true;
                lastPump = now;
                ProgressBar.stepBy(rowsNotShown);
                rowsNotShown = 0;
                ui::processPendingMessages();
            }
            if (keepReading) return true;
            stoppedByUser = true;
            if (device && (cancelType & cancelOnEscape)) cancelDevice(*device);
            return false;
        };

        // Escape and closing work also while the first row is awaited.
        device->imageChannel().setWaitHook([] {
            ui::processPendingMessages();
            return keepReading;
        });
        int framesLeft = 1;
        for (bool firstFrame = true;; firstFrame = false) {
            const std::string before = StatusBar.text();
            if (!device->start()) {
                restore();
                // A reason the start gave stays on the status line.
                if (StatusBar.text() == before) reportStatus("0", false, false);
                return false;
            }
            const FrameParameters frame = frameParameters(device->parameters());
            if (firstFrame) framesLeft = framesPerImage(frame);
            if (firstFrame) {
                ProgressBar.setMin(0);
                ProgressBar.setPosition(0);
                ui::backend().setScreenCursor(ui::Cursor::HourGlass);
                if (frame.lines >= 0) {
                    ProgressBar.setMax(frame.lines);
                    ProgressBar.setVisible(true);
                }
                // A key pressed while the device got ready (a warming lamp, a feeder) stops
                // the read before its first row.
                pumped = true;
                lastPump = ui::backend().milliseconds();
                ui::processPendingMessages();
                if (!device) keepReading = false;
                if (!keepReading) {
                    stoppedByUser = device != nullptr;
                    if (device && (cancelType & cancelOnEscape)) cancelDevice(*device);
                    break;
                }
            }
            DecodeOptions options;
            options.firstFrame = firstFrame;
            options.noInvertBlackWhite = noInvertBlackWhite;
            options.littleEndianSamples = device->imageChannel().littleEndianSamples();
            // The final scan is the application's image; previews need 8 bits only.
            options.keepSixteenBits = &bitmap == &scanBitmap;
            const DecodeResult result = decodeFrame(bitmap, frame, options, read, rowDone);
            if (result == DecodeResult::UnknownDepth)
                reportStatus(tr("Unknown bitmap depth: ") + std::to_string(frame.depth), true,
                             true);
            if (result == DecodeResult::UnsupportedFormat)
                reportStatus(tr("The scanner sent an image format that cannot be shown"), true,
                             false);
            if (result == DecodeResult::TooLarge)
                reportStatus(tr("The scanned image is too large"), true, false);
            if (result == DecodeResult::ShortFrame)
                reportStatus(tr("The scanner ended the image before its last row"), true, false);
            if (result != DecodeResult::Complete) {
                // A stop by Escape has cleared it already; one during a wait has not cancelled.
                if (result == DecodeResult::ReadFailed && !keepReading && device &&
                    device->imageChannel().endStatus() == SANE_STATUS_CANCELLED) {
                    stoppedByUser = true;
                    if (cancelType & cancelOnEscape) cancelDevice(*device);
                }
                keepReading = false;
                break;
            }
            if (frame.lastFrame || !device) break;
            if (--framesLeft == 0) {
                // A daemon that never marks the last frame would be read from for ever.
                reportStatus(tr("The scanner sent more frames than one image has"), true, false);
                keepReading = false;
                break;
            }
        }
        if (device && (cancelType & cancelAfterRead)) cancelDevice(*device);
        restore();
        if (keepReading)
            reportStatus(tr("Done") + " (" + std::to_string(bitmap.width()) + " x " +
                             std::to_string(bitmap.height()) + ")",
                         false, false);
        else if (stoppedByUser)
            reportStatus(tr("Operation was cancelled"), false, false);
        return keepReading;
    } catch (const std::exception& e) {
        restore();
        reportStatus(e.what(), false, false);
        return false;
    }
}

}  // namespace tarnwick
