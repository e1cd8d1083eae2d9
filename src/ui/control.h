// The base of every widget: state the widget owns, and the tree of parents and children.
// A backend may attach a native peer that mirrors this state; without one the widget still
// behaves completely (that is the headless toolkit).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ui/text_metrics.h"
#include "ui/types.h"

namespace ui {

class Control;
class Container;
class Form;
class PopupMenu;

// What changed, for a peer to mirror.
enum class Property {
    Text,
    Bounds,
    Visible,
    Enabled,
    State,
    Items,
    Selection,
    Position,
    Range,
    Children,
    Cursor,
    Color,
    Style,
    Focus,  // the form's active control
    Font    // the form's DPI, and with it every control's font
};

class Peer {
  public:
    virtual ~Peer() = default;
    virtual void changed(Control& control, Property what) = 0;
};

// Which texts of a control form translation may replace.
enum TranslateParts : unsigned {
    TranslateNone = 0,
    TranslateText = 1,
    TranslateHint = 2,
    TranslateItems = 4,
    TranslateAll = 7
};

// A text as written in the program and the translation last put in its place.
struct TranslationMemo {
    std::string source;
    std::string shown;
};

class Control {
  public:
    explicit Control(Container* parent);
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& name() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }

    Container* parent() const { return parent_; }
    // Moves the control (with its children) into another container, which takes ownership.
    void setParent(Container& parent);
    // Destroys the control; it is removed from its parent first.
    void destroy();
    Form* form();

    const std::string& text() const { return text_; }
    void setText(const std::string& text);
    const std::string& hint() const { return hint_; }
    void setHint(std::string hint) { hint_ = std::move(hint); }

    Rect bounds() const { return bounds_; }
    void setBounds(Rect bounds);
    void setBounds(int left, int top, int width, int height) {
        setBounds({left, top, left + width, top + height});
    }
    int left() const { return bounds_.left; }
    int top() const { return bounds_.top; }
    int width() const { return bounds_.width(); }
    int height() const { return bounds_.height(); }
    void setLeft(int v) { setBounds(v, top(), width(), height()); }
    void setTop(int v) { setBounds(left(), v, width(), height()); }
    void setWidth(int v) { setBounds(left(), top(), v, height()); }
    void setHeight(int v) { setBounds(left(), top(), width(), v); }
    Align align() const { return align_; }
    void setAlign(Align align);

    bool visible() const { return visible_; }
    void setVisible(bool visible);
    // Visible itself and every container up to the form.
    bool showing() const;
    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);
    // Enabled itself and every container up to the form.
    bool usable() const;

    // The font in its window's DPI (text measured in it has that DPI's pixels).
    Font font() const;
    void setFont(Font font) { font_ = font; }
    // The DPI of the control's window (its form's); a size laid out at 96 DPI at that DPI.
    int dpi() const;
    int scaled(int px) const;
    // A size at the window's DPI as it would be at 96 (sizes the settings file keeps).
    int unscaled(int px) const;
    SystemColor textColor() const { return textColor_; }
    void setTextColor(SystemColor c);
    std::optional<Color> color() const { return color_; }
    void setColor(std::optional<Color> c);
    Cursor cursor() const { return cursor_; }
    void setCursor(Cursor c);
    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }
    PopupMenu* popupMenu() const { return popupMenu_; }
    void setPopupMenu(PopupMenu* menu) { popupMenu_ = menu; }

    // Keyboard focus.
    virtual bool canFocus() const { return false; }
    bool focused();
    // False when the control cannot take the focus (not focusable, hidden or disabled).
    bool setFocus();

    Point clientToScreen(Point p) const;
    Point screenToClient(Point p) const;
    // The control's rectangle in screen coordinates.
    Rect screenRect() const;

    // Events. Mouse coordinates are relative to the control.
    Handler onClick;
    MouseHandler onMouseDown;
    MouseHandler onMouseMove;
    MouseHandler onMouseUp;
    KeyHandler onKeyDown;
    Handler onEnter;
    Handler onExit;

    // What the user does, as a backend (or the headless driver) reports it.
    virtual void userClick();
    virtual void userMouseDown(const MouseEvent& e);
    virtual void userMouseMove(const MouseEvent& e);
    virtual void userMouseUp(const MouseEvent& e);
    virtual void userKeyDown(KeyEvent& e);

    // Form translation.
    unsigned translateParts() const { return translateParts_; }
    void setTranslateParts(unsigned parts) { translateParts_ = parts; }
    virtual void translate(const std::function<std::string(const std::string&)>& tr);

    void setPeer(std::unique_ptr<Peer> peer) { peer_ = std::move(peer); }
    Peer* peer() const { return peer_.get(); }

    // Called by the focus logic of the form.
    void focusEntered();
    void focusLeft();

  protected:
    void notify(Property what);
    virtual void textChanged() {}
    // The rectangle children are laid out in (relative to this control).
    virtual void boundsChanged() {}
    // The window moved to a monitor of another DPI: sizes laid out at the old one follow (by
    // default the bounds, in proportion; controls sized by their text measure it again).
    virtual void dpiChanged(int from, int to);
    friend class Form;
    void translateText(std::optional<TranslationMemo>& memo, std::string& text,
                       const std::function<std::string(const std::string&)>& tr);

  private:
    friend class Container;
    Container* parent_ = nullptr;
    std::string name_;
    std::string text_;
    std::string hint_;
    Rect bounds_;
    Align align_ = Align::None;
    bool visible_ = true;
    bool enabled_ = true;
    Font font_;
    SystemColor textColor_ = SystemColor::WindowText;
    std::optional<Color> color_;
    Cursor cursor_ = Cursor::Default;
    int tag_ = 0;
    PopupMenu* popupMenu_ = nullptr;
    unsigned translateParts_ = TranslateAll;
    std::optional<TranslationMemo> textMemo_;
    std::optional<TranslationMemo> hintMemo_;
    std::unique_ptr<Peer> peer_;
    // Only a window's own (the root control's) counts.
    int dpi_;
};

// A control that holds other controls and lays out the aligned ones.
class Container : public Control {
  public:
    explicit Container(Container* parent) : Control(parent) {}
    ~Container() override;

    // Creates a child; the container owns it.
    template <class T, class... Args>
    T& add(Args&&... args) {
        auto child = std::make_unique<T>(this, std::forward<Args>(args)...);
        T& ref = *child;
        adopt(std::move(child));
        return ref;
    }
    std::size_t childCount() const { return children_.size(); }
    Control& child(std::size_t i) const { return *children_.at(i); }
    std::optional<std::size_t> indexOf(const Control& c) const;
    // Moves a child to another position among its siblings (alignment follows this order).
    void moveChild(const Control& c, std::size_t index);
    // The named descendant, depth first; null when there is none.
    Control* find(const std::string& name);

    // The innermost visible descendant at a point of the client area; disabled ones included.
    Control* controlAt(Point p);

    int borderWidth() const { return borderWidth_; }
    void setBorderWidth(int w);
    virtual Rect clientRect() const;
    void realign();

    void translate(const std::function<std::string(const std::string&)>& tr) override;

  protected:
    void boundsChanged() override { realign(); }
    // The children first, then the container itself, whose new size aligns them.
    void dpiChanged(int from, int to) override;
    // A child was shown or hidden, or changed its size.
    virtual void childSizeChanged(Control&) {}
    // False for a container that places its children itself, whatever their alignment.
    virtual bool alignsChildren() const { return true; }

  private:
    friend class Control;
    void adopt(std::unique_ptr<Control> child);
    std::unique_ptr<Control> release(Control& child);
    std::vector<std::unique_ptr<Control>> children_;
    int borderWidth_ = 0;
    bool aligning_ = false;
};

// A borderless container with an optional caption (also used for group boxes).
class Panel : public Container {
  public:
    explicit Panel(Container* parent) : Container(parent) {}
};

}  // namespace ui
