// placeholder until the preview scan, display, regions and scan loop land
#include "window/preview_form.h"

namespace tarnwick {

void TFPreview::ImageMouseDown(const ui::MouseEvent&) {}
void TFPreview::ImageMouseMove(const ui::MouseEvent&) {}
void TFPreview::ImageMouseUp(const ui::MouseEvent&) {}
void TFPreview::DeleteRegionClick() {}
void TFPreview::SizePreset(ui::MenuItem&) {}
void TFPreview::SetSize(const std::string&) {}
void TFPreview::findFit() {}
void TFPreview::storeRegions() {}
void TFPreview::restoreRegions() {}
void TFPreview::showRegionSize() {}
void TFPreview::followScanAreaOptions() {}

}  // namespace tarnwick
