#include "gamma/gamma_form.h"

#include <algorithm>

#include "base/translate.h"
#include "ui/backend.h"
#include "widgets/form_translation.h"

namespace tarnwick {

namespace {

constexpr ui::Color kWhite = ui::rgb(255, 255, 255);
constexpr ui::Color kSilver = ui::rgb(192, 192, 192);
constexpr ui::Color kBlue = ui::rgb(0, 0, 255);
constexpr ui::Color kRed = ui::rgb(255, 0, 0);

// At 96 DPI, as every place below.
constexpr int kToolBarHeight = 29;
constexpr int kBottomHeight = 32;

ui::ToolButton& modeButton(ui::ToolBar& bar, const char* name, const char* hint, int image) {
    ui::ToolButton& b = bar.addButton(hint, ui::ToolButtonStyle::Check);
    b.setName(name);
    b.setGrouped(true);
    b.setImageIndex(image);
    return b;
}

ui::ToolButton& named(ui::ToolButton& b, const char* name, int image) {
    b.setName(name);
    b.setImageIndex(image);
    return b;
}

ui::Label& rangeLabel(ui::Panel& panel, const char* name, int left) {
    ui::Label& l = panel.add<ui::Label>();
    l.setName(name);
    l.setBounds(l.scaled(left), l.scaled(9), l.scaled(72), l.scaled(13));
    // Numbers and axis names read the same in every language.
    l.setTranslateParts(ui::TranslateNone);
    return l;
}

ui::Button& button(ui::Panel& panel, const char* name, const char* text, ui::ModalResult result,
                   int left) {
    ui::Button& b = panel.add<ui::Button>();
    b.setName(name);
    b.setText(text);
    b.setModalResult(result);
    b.setBounds(b.scaled(left), b.scaled(4), b.scaled(40), b.scaled(24));
    return b;
}

}  // namespace

TGammaForm::TGammaForm()
    : ToolBar(add<ui::ToolBar>()),
      bSpline(modeButton(ToolBar, "bSpline", N_("Spline"), 0)),
      bStraight(modeButton(ToolBar, "bStraight", N_("Straight line"), 1)),
      bLine(modeButton(ToolBar, "bLine", N_("Line segments"), 2)),
      Divider(named(ToolBar.addButton({}, ui::ToolButtonStyle::Divider), "Divider", -1)),
      bGamma(named(ToolBar.addButton(N_("Gamma")), "bGamma", 3)),
      PaintBox(add<ui::PaintBox>()),
      BottomPanel(add<ui::Panel>()),
      LXRange(rangeLabel(BottomPanel, "LXRange", 4)),
      LYRange(rangeLabel(BottomPanel, "LYRange", 78)),
      bOK(button(BottomPanel, "bOK", N_("OK"), ui::ModalResult::Ok, 170)),
      bCancel(button(BottomPanel, "bCancel", N_("Cancel"), ui::ModalResult::Cancel, 212)) {
    setName("GammaForm");
    // The caption is the option's title as the device sends it.
    setTranslateParts(ui::TranslateNone);
    setBorderStyle(ui::BorderStyle::ToolWindow);
    setColor(kWhite);
    // The curve keeps its 256 x 256 units; the area shows them at the window's DPI.
    setClientSize(scaled(W), scaled(kToolBarHeight + H + kBottomHeight));
    centerOnScreen();
    ToolBar.setBounds(0, 0, scaled(W), scaled(kToolBarHeight));
    ToolBar.setImageSet(ui::ImageSet::CurveTools);
    PaintBox.setName("PaintBox");
    PaintBox.setBounds(0, scaled(kToolBarHeight), scaled(W), scaled(H));
    PaintBox.setOpaque(true);
    BottomPanel.setName("BottomPanel");
    BottomPanel.setBounds(0, scaled(kToolBarHeight + H), scaled(W), scaled(kBottomHeight));
    bOK.setDefault(true);
    bCancel.setCancel(true);
    for (ui::ToolButton* b : {&bSpline, &bStraight, &bLine, &bGamma})
        b->onClick = [this, b] { bClick(*b); };
    PaintBox.onMouseDown = [this](const ui::MouseEvent& e) { PaintBoxMouseDown(e); };
    PaintBox.onMouseMove = [this](const ui::MouseEvent& e) { PaintBoxMouseMove(e); };
    PaintBox.onMouseUp = [this](const ui::MouseEvent& e) { PaintBoxMouseUp(e); };
    PaintBox.onPaint = [this](ui::Canvas& canvas) { PaintBoxPaint(canvas); };
    onDpiChanged = [this] { placeButtons(); };
    FormCreate();
}

void TGammaForm::FormCreate() {
    curve_ = GammaCurve();
    bStraight.setDown(true);
    bClick(bStraight);
    LXRange.setText(curve_.xRangeText());
    LYRange.setText(curve_.yRangeText());
    translateForm(*this);
    placeButtons();
}

void TGammaForm::placeButtons() {
    int w = scaled(40);
    for (const ui::Button* b : {&bOK, &bCancel})
        w = std::max(w, ui::textWidth(b->font(), b->text()) + scaled(12));
    bCancel.setLeft(BottomPanel.width() - scaled(4) - w);
    bCancel.setWidth(w);
    bOK.setLeft(bCancel.left() - scaled(2) - w);
    bOK.setWidth(w);
}

void TGammaForm::configure(int entries, double min, double max) {
    curve_.configure(entries, min, max);
    LXRange.setText(curve_.xRangeText());
    LYRange.setText(curve_.yRangeText());
}

void TGammaForm::load(const std::vector<double>& values) {
    curve_.load(values);
    PaintBox.repaint();
}

double TGammaForm::readValue(int entry) const {
    return curve_.readValue(entry);
}

void TGammaForm::showMode() {
    switch (curve_.mode()) {
        case CurveMode::Straight:
            bStraight.setDown(true);
            break;
        case CurveMode::Line:
            bLine.setDown(true);
            break;
        case CurveMode::Spline:
            bSpline.setDown(true);
            break;
    }
}

void TGammaForm::bClick(ui::ToolButton& button) {
    if (&button == &bGamma) {
        std::string text = "1.0";
        if (!ui::inputQuery(tr("Gamma"), tr("Gamma value"), text)) return;
        curve_.applyGamma(text);
        showMode();
    } else if (bStraight.down()) {
        curve_.selectMode(CurveMode::Straight);
    } else if (bLine.down()) {
        curve_.selectMode(CurveMode::Line);
    } else if (bSpline.down()) {
        curve_.selectMode(CurveMode::Spline);
    }
    PaintBox.repaint();
}

void TGammaForm::PaintBoxMouseDown(const ui::MouseEvent& e) {
    if (!curve_.mouseDown(unscaled(e.x), unscaled(e.y))) return;
    showMode();  // a third point ends the straight line
    PaintBox.repaint();
}

void TGammaForm::PaintBoxMouseMove(const ui::MouseEvent& e) {
    if (curve_.dragIndex() < 0) {
        setCursor(curve_.hitTest(unscaled(e.x), unscaled(e.y)) >= 0 ? ui::Cursor::Cross
                                                                    : ui::Cursor::Default);
        return;
    }
    if (curve_.mouseMove(unscaled(e.x), unscaled(e.y))) PaintBox.repaint();
}

void TGammaForm::PaintBoxMouseUp(const ui::MouseEvent&) {
    curve_.mouseUp();
}

void TGammaForm::PaintBoxPaint(ui::Canvas& canvas) {
    // Curve units to the area's pixels.
    const auto px = [this](int v) { return scaled(v); };
    canvas.fillRect({0, 0, px(W), px(H)}, kWhite);
    for (int i = 1; i <= 3; ++i) {
        const int g = px(i * (H / 4));
        canvas.line({g, 0}, {g, px(H)}, kSilver);
        canvas.line({0, g}, {px(W), g}, kSilver);
    }
    const std::vector<CurvePoint> line = curve_.curvePolyline();
    for (std::size_t i = 1; i < line.size(); ++i)
        canvas.line({px(line[i - 1].x), px(line[i - 1].y)}, {px(line[i].x), px(line[i].y)}, kBlue);
    if (!curve_.showsPointMarks()) return;
    const int mark = px(4);
    for (const CurvePoint& p : curve_.points())
        canvas.fillRect({px(p.x) - mark, px(H - p.y) - mark, px(p.x) + mark, px(H - p.y) + mark},
                        kRed);
}

}  // namespace tarnwick
