// The window's gamma table editor, opened by the table buttons of number options.
#include "gamma/gamma_form.h"
#include "widgets/form_translation.h"
#include "window/preview_form.h"

namespace tarnwick {

void TFPreview::createGammaEditor() {
    GammaForm = {new TGammaForm(), [](TGammaForm* form) { delete form; }};
}

void TFPreview::translateGammaEditor() {
    translateForm(*GammaForm);
    GammaForm->placeButtons();
}

TGammaForm& TFPreview::gammaEditor() {
    return *GammaForm;
}

}  // namespace tarnwick
