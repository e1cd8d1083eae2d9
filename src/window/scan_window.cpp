#include "window/scan_window.h"

#include "session/scan_session.h"
#include "settings/properties_services.h"
#include "window/preview_form.h"

namespace tarnwick {

ScanWindow::ScanWindow(ScannerLink& link, std::unique_ptr<PropertiesServices> services)
    : session_(std::make_unique<ScanSession>(readScanSettings())) {
    // Every opening connects: the application may open the source again without the library
    // being unloaded in between, and that source must find its scanner as the first one did.
    TFPreview::connectOnActivation();
    form_ = std::make_unique<TFPreview>(*session_, std::move(services));
    form_->FormActivate();
    form_->setLink(&link);
}

ScanWindow::~ScanWindow() {
    form_->setLink(nullptr);
    form_.reset();
    session_.reset();
}

ScannerTransport* ScanWindow::scanner() const {
    return session_->scanner();
}

const OptionRoles& ScanWindow::roles() const {
    return session_->roles();
}

void ScanWindow::show(bool uiOnly) {
    form_->showForUse(uiOnly);
}

void ScanWindow::hide() {
    form_->hideFromUse();
}

bool ScanWindow::busy() const {
    return form_->busy();
}

bool ScanWindow::seen() const {
    // The toolkit gives a form a native peer only where it is put on a screen.
    return form_->peer() != nullptr;
}

void ScanWindow::pressScan() {
    form_->BScanClick();
}

void ScanWindow::beginBatch() {
    session_->beginBatch();
}

ScanBatch& ScanWindow::batch() {
    return session_->batch;
}

bool ScanWindow::setScanArea(ScanRectangle& frame) {
    const bool exact = session_->setScanArea(frame);
    frame = session_->areaTaken(frame);
    return exact;
}

bool ScanWindow::scanNextImage(Region& area) {
    return form_->scanNextImage(area);
}

void ScanWindow::endImage(bool delivered, bool cancelAtEnd) {
    session_->endImage(delivered, cancelAtEnd);
}

Bitmap& ScanWindow::scanBitmap() {
    return session_->scanBitmap;
}

void ScanWindow::reportError(const std::string& message) {
    session_->report(message, true, false);
}

}  // namespace tarnwick
