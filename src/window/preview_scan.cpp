// placeholder until the preview scan, display, regions and scan loop land
#include "window/preview_form.h"

namespace tarnwick {

void TFPreview::BPreviewClick() {}
void TFPreview::setScanArea(int, int, int, int) {}

}  // namespace tarnwick
