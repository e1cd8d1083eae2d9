// Translating a form into the current language. The first call translates the form's texts
// through the default catalog; later calls re-translate them from the remembered source texts.
// Controls marked with setTranslateParts keep the parts they exclude (lists of device texts,
// language and printer names).
#pragma once

#include "ui/form.h"

namespace tarnwick {

void translateForm(ui::Form& form);

}  // namespace tarnwick
