// Push buttons, labels, check boxes and radio buttons.
#pragma once

#include <memory>

#include "ui/canvas.h"
#include "ui/control.h"

namespace ui {

class Button : public Control {
  public:
    explicit Button(Container* parent) : Control(parent) {
        setBounds(0, 0, scaled(75), scaled(25));
    }
    bool canFocus() const override { return !flat_; }

    // Clicking sets this result on the form (before onClick runs), which ends a modal form.
    ModalResult modalResult() const { return modalResult_; }
    void setModalResult(ModalResult r) { modalResult_ = r; }
    bool isDefault() const { return default_; }
    void setDefault(bool d) { default_ = d; }
    bool isCancel() const { return cancel_; }
    void setCancel(bool c) { cancel_ = c; }
    // A flat button shows a picture; pixels of the transparent colour are not drawn.
    bool flat() const { return flat_; }
    void setFlat(bool f) { flat_ = f; }
    const Surface* glyph() const { return glyph_.get(); }
    void setGlyph(std::shared_ptr<const Surface> glyph, std::optional<Color> transparent);
    std::optional<Color> transparentColor() const { return transparent_; }

    void userClick() override;

  private:
    ModalResult modalResult_ = ModalResult::None;
    bool default_ = false;
    bool cancel_ = false;
    bool flat_ = false;
    std::shared_ptr<const Surface> glyph_;
    std::optional<Color> transparent_;
};

enum class TextAlign { Left, Right, Center };
enum class TextLayout { Top, Center, Bottom };

class Label : public Control {
  public:
    explicit Label(Container* parent) : Control(parent) { setBounds(0, 0, scaled(65), scaled(13)); }
    TextAlign alignment() const { return alignment_; }
    void setAlignment(TextAlign a) { alignment_ = a; }
    TextLayout layout() const { return layout_; }
    void setLayout(TextLayout l) { layout_ = l; }
    bool wordWrap() const { return wordWrap_; }
    void setWordWrap(bool w) { wordWrap_ = w; }
    bool transparent() const { return transparent_; }
    void setTransparent(bool t) { transparent_ = t; }
    // With auto size the label takes the size of its (single-line) text.
    bool autoSize() const { return autoSize_; }
    void setAutoSize(bool a);

  protected:
    void textChanged() override;
    void dpiChanged(int from, int to) override;

  private:
    TextAlign alignment_ = TextAlign::Left;
    TextLayout layout_ = TextLayout::Top;
    bool wordWrap_ = false;
    bool transparent_ = false;
    bool autoSize_ = false;
};

enum class CheckState { Unchecked, Checked, Grayed };

// Every change of state, by the user or by code, runs onClick.
class CheckBox : public Control {
  public:
    explicit CheckBox(Container* parent) : Control(parent) {
        setBounds(0, 0, scaled(97), scaled(17));
    }
    bool canFocus() const override { return true; }

    CheckState state() const { return state_; }
    void setState(CheckState s);
    bool checked() const { return state_ == CheckState::Checked; }
    void setChecked(bool c) { setState(c ? CheckState::Checked : CheckState::Unchecked); }
    bool allowGrayed() const { return allowGrayed_; }
    void setAllowGrayed(bool a) { allowGrayed_ = a; }

    // Unchecked → greyed (when allowed) → checked → unchecked.
    void userClick() override;

  private:
    CheckState state_ = CheckState::Unchecked;
    bool allowGrayed_ = false;
};

// Radio buttons with the same parent exclude each other. Becoming checked, by the user or by
// code, runs onClick.
class RadioButton : public Control {
  public:
    explicit RadioButton(Container* parent) : Control(parent) {
        setBounds(0, 0, scaled(113), scaled(17));
    }
    bool canFocus() const override { return true; }
    bool checked() const { return checked_; }
    void setChecked(bool c);
    void userClick() override;

  private:
    bool checked_ = false;
};

}  // namespace ui
