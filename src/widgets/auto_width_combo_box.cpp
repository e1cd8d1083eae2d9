#include "widgets/auto_width_combo_box.h"

#include <algorithm>

namespace tarnwick {

void Sto_AutoWidthCombobox(ui::ComboBox& combo) {
    int widest = 0;
    for (const auto& item : combo.items())
        widest = std::max(widest, ui::textWidth(combo.font(), item));
    int wanted = widest + combo.scaled(8);
    if (wanted > combo.width()) combo.setDroppedWidth(wanted);
}

}  // namespace tarnwick
