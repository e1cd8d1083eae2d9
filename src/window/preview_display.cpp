// placeholder until the preview scan, display, regions and scan loop land
#include "window/preview_form.h"

namespace tarnwick {

void TFPreview::ZoomChange() {}
void TFPreview::paintPreview() {}
void TFPreview::showPlaceholder() {}
void TFPreview::TimerTimer() {}

}  // namespace tarnwick
