// Widens the drop-down part of a list so that its longest entry fits.
#pragma once

#include "ui/combo_box.h"

namespace tarnwick {

// Measures every entry in the list's own font; when the widest plus 8 pixels is more than the
// list's width, the opened list gets that width. The list itself keeps its width.
void Sto_AutoWidthCombobox(ui::ComboBox& combo);

}  // namespace tarnwick
