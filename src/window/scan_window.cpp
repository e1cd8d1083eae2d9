#include "window/scan_window.h"

#include "options/number_option.h"
#include "settings/properties_services.h"
#include "window/preview_form.h"

namespace tarnwick {

ScanWindow::ScanWindow(ScannerLink& link, std::unique_ptr<PropertiesServices> services) {
    // Every opening connects: the application may open the source again without the library
    // being unloaded in between, and that source must find its device as the first one did.
    TFPreview::firstActivation = true;
    form_ = std::make_unique<TFPreview>(std::move(services));
    form_->FormActivate();
    form_->saneDevice = &link;
}

ScanWindow::~ScanWindow() {
    form_->saneDevice = nullptr;
}

Device* ScanWindow::device() const {
    return form_->device.get();
}

OptionRoles ScanWindow::roles() const {
    OptionRoles r;
    r.mode = form_->modeOption;
    r.depth = form_->depthOption;
    r.resolution = form_->resolutionOption;
    r.tlx = form_->tlxOption;
    r.tly = form_->tlyOption;
    r.brx = form_->brxOption;
    r.bry = form_->bryOption;
    return r;
}

void ScanWindow::show(bool uiOnly) {
    TFPreview& w = *form_;
    const bool scanEnabled = w.BScan.enabled();
    const bool printEnabled = w.BPrint.enabled();
    if (uiOnly) {
        w.BScan.setEnabled(false);
        w.BPrint.setEnabled(false);
    }
    w.OkPanel.setVisible(uiOnly);
    w.show();
    if (uiOnly) {
        w.BScan.setEnabled(scanEnabled);
        w.BPrint.setEnabled(printEnabled);
    }
}

void ScanWindow::hide() {
    if (form_->readingImage) TFPreview::keepReading = false;
    form_->hide();
}

bool ScanWindow::busy() const {
    return form_->readingImage || form_->handlersRunning > 0;
}

bool ScanWindow::seen() const {
    // The toolkit gives a form a native peer only where it is put on a screen.
    return form_->peer() != nullptr;
}

void ScanWindow::pressScan() {
    form_->BScanClick();
}

void ScanWindow::beginBatch() {
    form_->beginBatch(false);
}

ScanBatch& ScanWindow::batch() {
    return form_->batch;
}

bool ScanWindow::setScanArea(ExactFrame& frame) {
    TFPreview& w = *form_;
    const bool exact = w.setScanArea(frame.left, frame.top, frame.right, frame.bottom);
    const std::pair<const NumberOption*, double*> edges[] = {{w.tlxOption, &frame.left},
                                                             {w.tlyOption, &frame.top},
                                                             {w.brxOption, &frame.right},
                                                             {w.bryOption, &frame.bottom}};
    for (auto [option, edge] : edges)
        if (w.device && option && !option->values.empty()) *edge = option->values.front();
    return exact;
}

bool ScanWindow::scanNextImage(Region& area) {
    return form_->scanNextImage(area);
}

void ScanWindow::endImage(bool delivered, bool cancelAtEnd) {
    form_->endImage(delivered, cancelAtEnd);
}

Bitmap& ScanWindow::scanBitmap() {
    return form_->scanBitmap;
}

void ScanWindow::reportError(const std::string& message) {
    form_->reportStatus(message, true, false);
}

}  // namespace tarnwick
