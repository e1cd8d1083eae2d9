// Tool bars with tool buttons, and the cool bar whose bands hold them.
#pragma once

#include <vector>

#include "ui/control.h"
#include "ui/tool_pictures.h"

namespace ui {

class PopupMenu;

enum class ToolButtonStyle { Button, Check, DropDown, Separator, Divider };

// The hint is the button's visible text; with grouped check buttons exactly one is down.
class ToolButton : public Control {
  public:
    explicit ToolButton(Container* parent) : Control(parent) {
        setBounds(0, 0, scaled(23), scaled(22));
    }
    ToolButtonStyle style() const { return style_; }
    void setStyle(ToolButtonStyle s) { style_ = s; }
    bool grouped() const { return grouped_; }
    void setGrouped(bool g) { grouped_ = g; }
    bool down() const { return down_; }
    // Putting a grouped button down releases the others of its group; by code it runs no handler.
    void setDown(bool d);
    int imageIndex() const { return imageIndex_; }
    void setImageIndex(int i) { imageIndex_ = i; }
    PopupMenu* dropdownMenu() const { return dropdownMenu_; }
    void setDropdownMenu(PopupMenu* m) { dropdownMenu_ = m; }

    // A check button toggles (a grouped one only goes down); then onClick runs.
    void userClick() override;
    // The arrow of a drop-down button opens its menu.
    void userDropDown();

  private:
    ToolButtonStyle style_ = ToolButtonStyle::Button;
    bool grouped_ = false;
    bool down_ = false;
    int imageIndex_ = -1;
    PopupMenu* dropdownMenu_ = nullptr;
};

// Which of the form's image lists a tool bar shows; the images themselves are the backend's.
enum class ImageSize { Small, Large };

class ToolBar : public Container {
  public:
    explicit ToolBar(Container* parent) : Container(parent), buttonHeight_(scaled(22)) {
        setBounds(0, 0, scaled(150), scaled(29));
    }
    ToolButton& addButton(const std::string& hint, ToolButtonStyle style = ToolButtonStyle::Button);
    int buttonHeight() const { return buttonHeight_; }
    void setButtonHeight(int h);
    ImageSize images() const { return images_; }
    void setImages(ImageSize s) {
        images_ = s;
        layoutButtons();
    }
    ImageSet imageSet() const { return imageSet_; }
    void setImageSet(ImageSet s) {
        imageSet_ = s;
        notify(Property::Style);
    }
    // Children are placed side by side from the left, visible ones only; tool buttons are as
    // wide as their image (toolImageSide of the bar's size at its DPI) with its margins (and a
    // drop-down arrow) and buttonHeight high. The native bar follows.
    void layoutButtons();
    // The width the visible children take side by side.
    int contentWidth() const;

  protected:
    void childSizeChanged(Control&) override { layoutButtons(); }
    void dpiChanged(int from, int to) override;
    // A control moved onto the bar keeps its size, whatever its alignment was where it came from.
    bool alignsChildren() const override { return false; }

  private:
    bool layingOut_ = false;
    int buttonHeight_;
    ImageSize images_ = ImageSize::Small;
    ImageSet imageSet_ = ImageSet::Tools;
};

struct CoolBand {
    Control* control = nullptr;
    std::string text;
    int width = 100;
    int minWidth = 0;
    bool breakLine = true;
    bool visible = true;
    std::string source;  // for translation
    std::string shown;
};

// A cool bar arranges its bands (each holding one child control) in rows. It places the bands'
// controls itself, as the native bar does: a band starts a row when it breaks the line (the first
// visible one always does), takes its width (at least its header and its control's least width:
// minWidth, else a tool bar's content, else the control's width) and the last band of a row the
// rest of it; the header is the gripper and the band's text. A control keeps its own height.
// Where a native bar places them, the places it chose come back through placeBand.
class CoolBar : public Container {
  public:
    explicit CoolBar(Container* parent) : Container(parent) {
        setBounds(0, 0, scaled(150), scaled(30));
        setAlign(Align::Top);
    }
    // The control must be a child of the cool bar.
    CoolBand& addBand(Control& control, const std::string& text = {});
    void removeBand(const Control& control);
    CoolBand* bandOf(const Control& control);
    std::size_t bandCount() const { return bands_.size(); }
    CoolBand& band(std::size_t i) { return bands_.at(i); }
    // Widths, line breaks and texts changed in the bands: the controls are placed again, the bar
    // takes the height of its rows, and the native bar follows (it may correct both).
    void bandsChanged();
    // Where the native bar put a band's control; its height stays its own.
    void placeBand(Control& control, int left, int top, int width);
    void translate(const std::function<std::string(const std::string&)>& tr) override;

    // A band's gripper and edges, and the margins of its text, at 96 DPI.
    static constexpr int kGripperWidth = 16;
    static constexpr int kTextMargins = 16;
    static constexpr int kRowEdges = 4;
    // The width of the band's header: its gripper and its text.
    int headerWidth(const CoolBand& band) const;
    // The least width of the band's control.
    static int leastWidth(const CoolBand& band);

  protected:
    // A band's control shown, hidden or resized (tool bars follow their icon size).
    void childSizeChanged(Control&) override {
        if (!placing_) bandsChanged();
    }
    // A new width lays the rows out again.
    void boundsChanged() override;
    // The bands' widths follow.
    void dpiChanged(int from, int to) override;

  private:
    // Places the controls of the visible bands; the height of the rows.
    int placeBands();
    std::vector<CoolBand> bands_;
    bool placing_ = false;
    int placedWidth_ = -1;
};

}  // namespace ui
