#include "widgets/float_form.h"

#include "ui/backend.h"
#include "widgets/form_translation.h"

namespace tarnwick {

TFFloat::TFFloat(ui::PageControl& homeControl)
    : home(homeControl), FloatedTab(add<ui::PageControl>()) {
    setName("FFloat");
    setBorderStyle(ui::BorderStyle::ToolWindow);
    setClientSize(scaled(267), scaled(269));
    FloatedTab.setName("FloatedTab");
    FloatedTab.setAlign(ui::Align::Client);
    FloatedTab.setFlatButtons(true);
    onClose = [this](ui::CloseAction& action) { FormClose(action); };
    onMoving = [this](ui::Rect& proposed) { return moving(proposed); };
    onMoveEnded = [this] { moveEnded(); };
    FormCreate();
}

void TFFloat::FormCreate() {
    translateForm(*this);
}

void TFFloat::floatPage(ui::TabSheet& page) {
    homeIndex = home.pageIndex(page);
    page.setPageControl(FloatedTab);
    setCaption("Tarnwick - " + page.text());
    page.setTabVisible(false);
    FloatedTab.setActivePage(&page);
}

void TFFloat::FormClose(ui::CloseAction& action) {
    action = ui::CloseAction::Hide;
    if (FloatedTab.pageCount() == 0) return;
    ui::TabSheet& page = FloatedTab.page(0);
    page.setPageControl(home);
    int last = home.pageCount() - 1;
    home.movePage(page, homeIndex >= last ? last : homeIndex);
    page.setTabVisible(true);
}

bool TFFloat::moving(ui::Rect& proposed) {
    ui::Point pointer = ui::backend().cursorPos();
    ui::Rect target = home.screenRect();
    if (target.contains(pointer)) {
        proposed = target;
        overHome = true;
        return true;
    }
    overHome = false;
    proposed.top = pointer.y;
    proposed.bottom = pointer.y + height();
    proposed.right = proposed.left + width();
    return false;
}

void TFFloat::moveEnded() {
    if (overHome) close();
}

}  // namespace tarnwick
