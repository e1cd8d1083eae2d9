// The headless backend with the controls tests use to play the user: click, type, select, drag,
// press keys, choose menu items, close forms, answer boxes, and run time forward for timers.
// Constructing a driver installs it as the backend; destroying it puts the previous one back.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/backend.h"
#include "ui/types.h"

namespace ui {
class ComboBox;
class Edit;
class PageControl;
class TrackBar;
}  // namespace ui

namespace ui::headless {

struct BoxRecord {
    std::string text;
    std::string caption;
    BoxKind kind;
    BoxButtons buttons;
    ModalResult answer;
};

struct InputRecord {
    std::string caption;
    std::string prompt;
    std::string preset;
};

class Driver : public Backend {
  public:
    Driver();
    ~Driver();
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;

    // The next modal form runs this script (which typically fills controls and clicks a button);
    // a form that still has no result afterwards, or has no script, closes with Cancel.
    void whenModal(std::function<void(Form&)> script) {
        modalScripts_.push_back(std::move(script));
    }
    // Name (or caption when unnamed) of each form shown modally, in order.
    const std::vector<std::string>& modalForms() const { return modalForms_; }

    // The next message box takes the oldest answer queued; with none queued, its first button
    // (OK or Yes), as pressing Enter would.
    void answerBox(ModalResult answer) { boxAnswers_.push_back(answer); }
    // The message boxes shown, oldest first.
    const std::vector<BoxRecord>& boxes() const { return boxes_; }
    // Answers for the next input boxes; nothing stands for closing the box without confirming.
    void answerInput(std::optional<std::string> answer) {
        inputAnswers_.push_back(std::move(answer));
    }
    const std::vector<InputRecord>& inputs() const { return inputs_; }

    // Mouse click (down and up at the middle, then the click); false when the control is
    // disabled or not showing.
    bool click(Control& c);
    // Gives the control the focus, then types each character.
    void type(Edit& e, const std::string& text);
    void backspace(Edit& e);
    void clear(Edit& e);
    void type(ComboBox& c, const std::string& text);
    void select(ComboBox& c, int index);
    // Selects the item with this text; false when there is none.
    bool select(ComboBox& c, const std::string& item);
    void selectPage(PageControl& p, int index);
    // Presses the mouse on the bar, moves the thumb through the positions, releases it.
    void drag(TrackBar& t, const std::vector<int>& positions);
    // Mouse events at a point of the control; with the mouse captured they go to the captor.
    void mouseDown(Control& c, Point p, MouseButton b = MouseButton::Left,
                   unsigned shift = ShiftNone);
    void mouseMove(Control& c, Point p, unsigned shift = ShiftNone);
    void mouseUp(Control& c, Point p, MouseButton b = MouseButton::Left,
                 unsigned shift = ShiftNone);
    bool focus(Control& c);
    // A key press reaching the form, aimed at its focused control.
    void pressKey(Form& f, int key, unsigned shift = ShiftNone);
    void choose(MenuItem& item);
    // A modal form gets the result; another form closes as by the user (the result is ignored).
    void closeForm(Form& f, ModalResult result);
    // Runs time forward; each timer fires once per full period, in time order.
    void advance(int ms);
    // The driver's clock: it moves by advance(), and by `ms` at every look at it once
    // runClock was called (time passing while the window works, say during a read).
    long long milliseconds() override;
    void runClock(int ms) { clockStep_ = ms; }

    // The pointer position in screen coordinates (mouse events move it too).
    void setCursorPos(Point p) { cursor_ = p; }
    Point cursorPos() override { return cursor_; }
    // How often pending messages were processed.
    int processedCount() const { return processed_; }
    PopupMenu* lastPopup() const { return lastPopup_; }
    Point lastPopupAt() const { return lastPopupAt_; }

    // Tests play a user who answers modal forms; setAsksUser(false) plays a build without one.
    bool asksUser() override { return asksUser_; }
    void setAsksUser(bool asks) { asksUser_ = asks; }
    ModalResult runModal(Form& form) override;
    ModalResult messageBox(const std::string& text, const std::string& caption, BoxKind kind,
                           BoxButtons buttons) override;
    bool inputQuery(const std::string& caption, const std::string& prompt,
                    std::string& value) override;
    void popup(PopupMenu& menu, Point screen) override;
    void processPendingMessages() override;

  private:
    Control& mouseTarget(Control& c);
    Backend* previous_;
    bool asksUser_ = true;
    std::deque<std::function<void(Form&)>> modalScripts_;
    std::vector<std::string> modalForms_;
    std::deque<ModalResult> boxAnswers_;
    std::vector<BoxRecord> boxes_;
    std::deque<std::optional<std::string>> inputAnswers_;
    std::vector<InputRecord> inputs_;
    Point cursor_;
    int processed_ = 0;
    long long clock_ = 0;
    int clockStep_ = 0;
    PopupMenu* lastPopup_ = nullptr;
    Point lastPopupAt_;
};

}  // namespace ui::headless
