#include "ui/headless/driver.h"

#include <algorithm>
#include <climits>

#include "ui/combo_box.h"
#include "ui/edit.h"
#include "ui/form.h"
#include "ui/menu.h"
#include "ui/page_control.h"
#include "ui/timer.h"
#include "ui/track_bar.h"

namespace ui::headless {

Driver::Driver() : previous_(installBackend(this)) {}
Driver::~Driver() {
    installBackend(previous_);
}

bool Driver::click(Control& c) {
    if (!c.showing() || !c.usable()) return false;
    Point mid{c.width() / 2, c.height() / 2};
    c.setFocus();
    mouseDown(c, mid);
    mouseUp(c, mid);
    c.userClick();
    return true;
}

void Driver::type(Edit& e, const std::string& text) {
    e.setFocus();
    for (char ch : text) e.userTypeChar(ch);
}

void Driver::backspace(Edit& e) {
    e.setFocus();
    e.userBackspace();
}

void Driver::clear(Edit& e) {
    e.setFocus();
    e.userClear();
}

void Driver::type(ComboBox& c, const std::string& text) {
    c.setFocus();
    c.userTypeText(text);
}

void Driver::select(ComboBox& c, int index) {
    c.setFocus();
    c.userSelect(index);
}

bool Driver::select(ComboBox& c, const std::string& item) {
    int i = c.indexOf(item);
    if (i < 0) return false;
    select(c, i);
    return true;
}

void Driver::selectPage(PageControl& p, int index) {
    p.userSelectPage(index);
}

void Driver::drag(TrackBar& t, const std::vector<int>& positions) {
    if (!t.showing() || !t.usable()) return;
    Point mid{t.width() / 2, t.height() / 2};
    t.setFocus();
    mouseDown(t, mid);
    for (int p : positions) t.userMoveTo(p);
    mouseUp(t, mid);
}

Control& Driver::mouseTarget(Control& c) {
    Control* captor = capture();
    return captor ? *captor : c;
}

void Driver::mouseDown(Control& c, Point p, MouseButton b, unsigned shift) {
    cursor_ = c.clientToScreen(p);
    Control& t = mouseTarget(c);
    Point local = t.screenToClient(cursor_);
    unsigned held = b == MouseButton::Left ? unsigned{LeftHeld}
                                           : (b == MouseButton::Right ? unsigned{RightHeld} : 0u);
    t.userMouseDown({b, shift | held, local.x, local.y});
}

void Driver::mouseMove(Control& c, Point p, unsigned shift) {
    cursor_ = c.clientToScreen(p);
    Control& t = mouseTarget(c);
    Point local = t.screenToClient(cursor_);
    t.userMouseMove({MouseButton::Left, shift, local.x, local.y});
}

void Driver::mouseUp(Control& c, Point p, MouseButton b, unsigned shift) {
    cursor_ = c.clientToScreen(p);
    Control& t = mouseTarget(c);
    Point local = t.screenToClient(cursor_);
    t.userMouseUp({b, shift, local.x, local.y});
}

bool Driver::focus(Control& c) {
    return c.setFocus();
}

void Driver::pressKey(Form& f, int key, unsigned shift) {
    KeyEvent e{key, shift};
    f.dispatchKey(e, f.activeControl());
}

void Driver::choose(MenuItem& item) {
    item.userChoose();
}

void Driver::closeForm(Form& f, ModalResult result) {
    if (f.modal())
        f.setModalResult(result);
    else
        f.close();
}

long long Driver::milliseconds() {
    clock_ += clockStep_;
    return clock_;
}

void Driver::advance(int ms) {
    int left = std::max(ms, 0);
    clock_ += left;
    while (true) {
        // The enabled timer due first; ties go to the one created first.
        Timer* next = nullptr;
        int due = INT_MAX;
        for (Timer* t : Timer::all()) {
            if (!t->enabled() || t->interval() <= 0) continue;
            int d = t->interval() - t->elapsed();
            if (d < due) {
                due = d;
                next = t;
            }
        }
        if (!next || due > left) break;
        left -= due;
        for (Timer* t : Timer::all())
            if (t->enabled() && t->interval() > 0 && t != next) t->setElapsed(t->elapsed() + due);
        next->fire();
    }
    for (Timer* t : Timer::all())
        if (t->enabled() && t->interval() > 0) t->setElapsed(t->elapsed() + left);
}

ModalResult Driver::runModal(Form& form) {
    modalForms_.push_back(form.name().empty() ? form.caption() : form.name());
    if (!modalScripts_.empty()) {
        auto script = std::move(modalScripts_.front());
        modalScripts_.pop_front();
        script(form);
    }
    if (form.modalResult() == ModalResult::None) form.setModalResult(ModalResult::Cancel);
    return form.modalResult();
}

ModalResult Driver::messageBox(const std::string& text, const std::string& caption, BoxKind kind,
                               BoxButtons buttons) {
    ModalResult answer = buttons == BoxButtons::Ok || buttons == BoxButtons::OkCancel
                             ? ModalResult::Ok
                             : ModalResult::Yes;
    if (!boxAnswers_.empty()) {
        answer = boxAnswers_.front();
        boxAnswers_.pop_front();
    }
    boxes_.push_back({text, caption, kind, buttons, answer});
    return answer;
}

bool Driver::inputQuery(const std::string& caption, const std::string& prompt, std::string& value) {
    inputs_.push_back({caption, prompt, value});
    if (inputAnswers_.empty()) return false;
    auto answer = std::move(inputAnswers_.front());
    inputAnswers_.pop_front();
    if (!answer) return false;
    value = *answer;
    return true;
}

void Driver::popup(PopupMenu& menu, Point screen) {
    lastPopup_ = &menu;
    lastPopupAt_ = screen;
}

void Driver::processPendingMessages() {
    ++processed_;
    Backend::processPendingMessages();
}

}  // namespace ui::headless
