#include "widgets/form_translation.h"

#include "base/translate.h"

namespace tarnwick {

void translateForm(ui::Form& form) {
    form.translate([](const std::string& text) { return tr(text.c_str()); });
}

}  // namespace tarnwick
