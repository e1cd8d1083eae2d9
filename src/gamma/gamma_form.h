// The gamma table editor: a number option's table shown as a curve over a 256 x 256 area, which
// the user reshapes with the mouse, the mode buttons or a gamma value, and reads back on OK.
#pragma once

#include <string>
#include <vector>

#include "gamma/gamma_curve.h"
#include "ui/button.h"
#include "ui/form.h"
#include "ui/paint_box.h"
#include "ui/tool_bar.h"

namespace tarnwick {

class TGammaForm : public ui::Form {
  public:
    static constexpr int W = GammaCurve::W;
    static constexpr int H = GammaCurve::H;

    // Builds the form and runs FormCreate.
    TGammaForm();

    // The straight line and the form's texts translated; later translations of the form go
    // through translateForm, which leaves the points alone.
    void FormCreate();

    // The table's number of entries and value range; sets the range labels.
    void configure(int entries, double min, double max);
    // The table's values as points; only for tables of at most 256 entries.
    void load(const std::vector<double>& values);
    // The table value for an entry, read off the curve the area shows.
    double readValue(int entry) const;

    // The click handler of the mode buttons and of bGamma.
    void bClick(ui::ToolButton& button);
    void PaintBoxMouseDown(const ui::MouseEvent& e);
    void PaintBoxMouseMove(const ui::MouseEvent& e);
    void PaintBoxMouseUp(const ui::MouseEvent& e);
    void PaintBoxPaint(ui::Canvas& canvas);

    const GammaCurve& curve() const { return curve_; }

    ui::ToolBar& ToolBar;
    ui::ToolButton& bSpline;
    ui::ToolButton& bStraight;
    ui::ToolButton& bLine;
    ui::ToolButton& Divider;
    ui::ToolButton& bGamma;
    ui::PaintBox& PaintBox;
    ui::Panel& BottomPanel;
    ui::Label& LXRange;
    ui::Label& LYRange;
    ui::Button& bOK;
    ui::Button& bCancel;

    // OK and Cancel at the right of the bottom panel, as wide as the wider text needs.
    void placeButtons();

  private:
    void showMode();

    GammaCurve curve_;
};

}  // namespace tarnwick
