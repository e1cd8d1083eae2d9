// placeholder until the preview scan, display, regions and scan loop land
#include "window/preview_form.h"

namespace tarnwick {

void TFPreview::BScanClick() {}
bool TFPreview::isAdfScan() {
    return false;
}
bool TFPreview::scanInto(Bitmap&) {
    return false;
}

}  // namespace tarnwick
