// A page of the scanning window torn off into a small window of its own, until the user drags it
// back over the page control it came from or closes the window.
#pragma once

#include "ui/form.h"
#include "ui/page_control.h"

namespace tarnwick {

class TFFloat : public ui::Form {
  public:
    // `home` is the page control the page comes from; it outlives this window.
    explicit TFFloat(ui::PageControl& home);

    // Makes the page (a page of home) the content of this window. The caller places and shows it.
    void floatPage(ui::TabSheet& page);

    void FormCreate();
    // Puts the page back into home.
    void FormClose(ui::CloseAction& action);

    // While the window is moved, with the proposed window rectangle in screen coordinates:
    // over home it snaps onto home's rectangle and the move is answered as handled (true);
    // elsewhere it hangs from the pointer at its top edge.
    bool moving(ui::Rect& proposed);
    // The move ended: a window left over home closes, which docks its page.
    void moveEnded();

    ui::PageControl& home;
    int homeIndex = 0;
    bool overHome = false;

    ui::PageControl& FloatedTab;
};

}  // namespace tarnwick
