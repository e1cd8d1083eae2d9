#include "widgets/about_form.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "base/translate.h"
#include "platform/shell_open.h"
#include "ui/tool_pictures.h"
#include "widgets/form_translation.h"

namespace tarnwick {

std::string versionLabel(double version) {
    // Integer arithmetic: the host application may have set a locale with a decimal comma.
    long long hundredths = std::llround(version * 100.0);
    if (hundredths < 0) hundredths = 0;
    char buf[48];
    std::snprintf(buf, sizeof buf, "v%lld.%02lld", hundredths / 100, hundredths % 100);
    return buf;
}

namespace {

// At 96 DPI:
constexpr int kMargin = 12;
constexpr int kIconSide = 32;  // the system's size of an icon, as the module's icon has it
constexpr int kLabelsLeft = 72;

ui::Label& label(ui::Form& f, const char* name, const std::string& text, int top) {
    ui::Label& l = f.add<ui::Label>();
    l.setName(name);
    l.setText(text);
    l.setBounds(f.scaled(kLabelsLeft), f.scaled(top), f.scaled(240), f.scaled(16));
    return l;
}

// The module's icon, its transparent pixels in the box's colour.
void paintProductIcon(ui::Canvas& canvas, ui::Color background, int side) {
    ui::Surface icon = ui::drawToolImage(ui::kProductImage, side);
    for (int y = 0; y < icon.height(); ++y)
        for (int x = 0; x < icon.width(); ++x)
            if ((icon.pixel(x, y) & 0xFFFFFF) == (ui::kPictureTransparent & 0xFFFFFF))
                icon.setPixel(x, y, background);
    canvas.blit(icon.view(), 0, 0);
}

double ownVersion() {
    double minor = TARNWICK_VERSION_MINOR;
    while (minor >= 1.0) minor /= 10.0;
    return TARNWICK_VERSION_MAJOR + minor;
}

}  // namespace

TFAbout::TFAbout(Opener open)
    : LProduct(label(*this, "LProduct", "Tarnwick", 12)),
      LVersion(label(*this, "LVersion", versionLabel(ownVersion()), 32)),
      LNotice(label(*this, "LNotice", N_("Copyright (C) The Tarnwick developers"), 56)),
      LManual(label(*this, "LManual", N_("Manual:"), 80)),
      LManualLink(label(*this, "LManualLink", kManualAddress, 80)),
      LCredit(label(*this, "LCredit", N_("Scanning through the SANE network protocol, see"), 104)),
      LCreditLink(label(*this, "LCreditLink", kCreditAddress, 120)),
      BOk(add<ui::Button>()),
      IProduct(add<ui::PaintBox>()),
      open_(open ? std::move(open) : Opener(platform::shellOpen)) {
    setName("FAbout");
    setCaption(N_("About"));
    setColor(ui::rgb(255, 255, 255));
    setBorderStyle(ui::BorderStyle::Dialog);
    setClientSize(scaled(330), scaled(180));
    centerOnScreen();
    LProduct.setFont({"Tahoma", 12, true});
    // Each text whole, in every language: the labels take their texts' widths.
    for (ui::Label* l :
         {&LProduct, &LVersion, &LNotice, &LManual, &LManualLink, &LCredit, &LCreditLink})
        l->setAutoSize(true);
    // The version and the addresses read the same in every language.
    for (ui::Label* l : {&LProduct, &LVersion, &LManualLink, &LCreditLink})
        l->setTranslateParts(ui::TranslateNone);
    for (ui::Label* l : {&LManualLink, &LCreditLink}) l->setCursor(ui::Cursor::HandPoint);
    LManualLink.onClick = [this] { open_(kManualAddress); };
    LCreditLink.onClick = [this] { open_(kCreditAddress); };
    BOk.setName("BOk");
    BOk.setText(N_("OK"));
    BOk.setModalResult(ui::ModalResult::Ok);
    BOk.setDefault(true);
    BOk.setCancel(true);
    BOk.setBounds(scaled(128), scaled(146), scaled(75), scaled(25));
    IProduct.setName("IProduct");
    IProduct.setBounds(scaled((kLabelsLeft - kIconSide) / 2), LProduct.top(), scaled(kIconSide),
                       scaled(kIconSide));
    IProduct.setOpaque(true);
    IProduct.onPaint = [this](ui::Canvas& canvas) {
        paintProductIcon(canvas, color().value_or(ui::rgb(255, 255, 255)), IProduct.width());
    };
    IProduct.repaint();
    onDpiChanged = [this] {
        FormCreate();
        IProduct.repaint();
    };
    FormCreate();
}

void TFAbout::FormCreate() {
    translateForm(*this);
    // The box as wide as its widest line, the link after the translated "Manual:".
    LManualLink.setLeft(LManual.left() + LManual.width() + scaled(4));
    int right = scaled(330 - kMargin);
    for (ui::Label* l : {&LProduct, &LVersion, &LNotice, &LManualLink, &LCredit, &LCreditLink})
        right = std::max(right, l->left() + l->width());
    const int centre = left() + width() / 2;
    setClientSize(right + scaled(kMargin), clientHeight());
    setLeft(centre - width() / 2);
    BOk.setLeft((width() - BOk.width()) / 2);
}

}  // namespace tarnwick
