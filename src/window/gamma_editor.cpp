// The window's gamma table editor. Until the editor's form is part of the build, the window has
// none and the table button of a number option cannot open it.
#include <stdexcept>

#include "window/preview_form.h"

namespace tarnwick {

void TFPreview::createGammaEditor() {}

void TFPreview::translateGammaEditor() {}

TGammaForm& TFPreview::gammaEditor() {
    throw std::logic_error("the gamma editor is not available");
}

}  // namespace tarnwick
