// A top-level window: caption, modal result, key preview, keyboard focus and its menus.
#pragma once

#include <memory>
#include <vector>

#include "ui/control.h"

namespace ui {

class PopupMenu;

enum class BorderStyle { Sizeable, Dialog, ToolWindow, None };
enum class CloseAction { None, Hide, Free };

class Form : public Container {
  public:
    Form();
    ~Form() override;

    // The caption is the form's text.
    const std::string& caption() const { return text(); }
    void setCaption(const std::string& c) { setText(c); }

    int clientWidth() const { return clientRect().width(); }
    int clientHeight() const { return clientRect().height(); }
    void setClientSize(int w, int h) { setBounds(left(), top(), w, h); }
    BorderStyle borderStyle() const { return borderStyle_; }
    void setBorderStyle(BorderStyle s) { borderStyle_ = s; }
    bool topMost() const { return topMost_; }
    void setTopMost(bool t);
    // Places the form in the middle of the screen.
    void centerOnScreen();
    // Moves the form with its frame into the work area of the monitor nearest to its top-left
    // corner, cut to that area's size when larger.
    void keepOnWorkArea();

    // The window is now on a monitor of this DPI: every size follows (Control::dpiChanged), the
    // fonts are those of the new DPI, then onDpiChanged lays out what depends on text.
    void setDpi(int dpi);

    bool keyPreview() const { return keyPreview_; }
    void setKeyPreview(bool on) { keyPreview_ = on; }

    // Shows the form and waits until it has a modal result, which it returns; the form is hidden
    // afterwards. Setting a modal result other than None ends the wait.
    ModalResult showModal();
    bool modal() const { return modal_; }
    ModalResult modalResult() const { return modalResult_; }
    void setModalResult(ModalResult r) { modalResult_ = r; }
    void show();
    void hide();
    // Closes as the user would: onClose decides; a modal form ends with Cancel.
    void close();

    Control* activeControl() const { return active_; }
    // Moves the keyboard focus: the previous control gets onExit, the new one onEnter.
    void setActiveControl(Control* c);
    void forgetFocus(Control& c);

    // Key handling as the platform does it: the form first with key preview, then the control
    // that has the focus, then Enter/Escape for default and cancel buttons.
    void dispatchKey(KeyEvent& e, Control* target);

    PopupMenu& addMenu(const std::string& name);
    const std::vector<std::unique_ptr<PopupMenu>>& menus() const { return menus_; }

    // Form translation: replaces the form's texts by their translations and remembers the
    // source texts, so that calling it again with another translator re-translates.
    void translate(const std::function<std::string(const std::string&)>& tr) override;

    Handler onShow;
    Handler onHide;
    Handler onActivate;
    std::function<void(CloseAction&)> onClose;
    // While the user moves the form: the proposed window rectangle in screen coordinates, which
    // the handler may change (the platform moves the window to what it leaves there); true when
    // it took the move over.
    std::function<bool(Rect&)> onMoving;
    // The user's move (or resize) ended.
    Handler onMoveEnded;
    // After setDpi: sizes that depend on measured text (or on more than one control) anew.
    Handler onDpiChanged;

  private:
    BorderStyle borderStyle_ = BorderStyle::Sizeable;
    bool topMost_ = false;
    bool keyPreview_ = false;
    bool modal_ = false;
    ModalResult modalResult_ = ModalResult::None;
    Control* active_ = nullptr;
    std::vector<std::unique_ptr<PopupMenu>> menus_;
};

}  // namespace ui
