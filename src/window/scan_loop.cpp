// The final scan: the Scan button with its page question, and what the window shows of a read
// the session runs (progress, the Escape caption, the button box, the feeder's one region).
#include <string>

#include "base/debug_log.h"
#include "base/scoped_value.h"
#include "base/translate.h"
#include "options/number_option.h"
#include "session/scan_policy.h"
#include "ui/backend.h"
#include "window/preview_form.h"

namespace tarnwick {

void TFPreview::BScanClick() {
    if (session_.reading()) return;
    debugLog(tr("Starting full scan\n"));
    {
        const base::ScopedValue own(session_.adjustingOptions, true);
        if (device() && roles().preview) {
            debugLog(tr("\tsetting preview option\n"));
            device()->controlBool(SANE_ACTION_SET_VALUE, *roles().preview, false);
        }
        if (device() && roles().resolution) {
            debugLog(tr("\tupdating resolution option\n"));
            // A resolution typed into the box counts even when the box was not left.
            if (auto* number = dynamic_cast<NumberOption*>(roles().resolution))
                number->commitTyped();
            if (device() && roles().resolution) roles().resolution->refresh();
        }
    }

    const bool feeder = beginBatch(true);
    if (!link_) return;
    const bool acquired = link_->acquireFirst();
    const std::string outcome = StatusBar.text();
    if (acquired) {
        link_->imageReady();
    } else {
        session_.cancelAfterBatch(true);
        session_.batch.fail();
        if (feeder) {
            link_->closeRequested();
            debugLog(tr("Backend reported no more pages.\n"));
        }
    }
    updateOptions(outcome);
}

bool TFPreview::beginBatch(bool mayAsk) {
    if (!mayAsk) return session_.beginBatch();
    return session_.beginBatch([] {
        int pages = 0;
        // Closing the box gives the preset answer, so the question ends.
        while (pages < 1)
            pages = pagesAnswer(ui::inputBox(tr("Number of pages"), tr("Number of pages"), "1"));
        return pages;
    });
}

bool TFPreview::scanNextImage(Region& area) {
    const bool scanned = session_.scanNextImage(area);
    if (scanned && regions.regionCount == 0) showScanAsPreview();
    return scanned;
}

void TFPreview::regionsCutForFeeder() {
    ui::messageBox(tr("Currently only one region is allowed when using an ADF"), caption(),
                   ui::BoxKind::Information, ui::BoxButtons::Ok);
    PaintBox.repaint();
}

bool TFPreview::confirmButtonStart() {
    return ui::messageBox(tr("Press the button to start the scan"), caption(),
                          ui::BoxKind::Information,
                          ui::BoxButtons::OkCancel) == ui::ModalResult::Ok;
}

void TFPreview::readStarts() {
    if (!settings().escapeDisabled) setCaption(tr("Scanning... press ESC to cancel"));
}

void TFPreview::frameBegins(int lines) {
    ProgressBar.setMin(0);
    ProgressBar.setPosition(0);
    ui::backend().setScreenCursor(ui::Cursor::HourGlass);
    if (lines >= 0) {
        ProgressBar.setMax(lines);
        ProgressBar.setVisible(true);
    }
}

void TFPreview::rowsRead(int rows) {
    ProgressBar.stepBy(rows);
}

void TFPreview::readEnds() {
    ProgressBar.setVisible(false);
    ui::backend().setScreenCursor(ui::Cursor::Default);
    setCaption(tr("Tarnwick interface"));
}

}  // namespace tarnwick
