// The window and its companion forms at 100, 125, 150 and 200 percent: nothing cut or covered by
// the rules the Windows layout check applies, in the headless metrics of each DPI, and the saved
// window size independent of the DPI it was saved at.
#include <gtest/gtest.h>

#include <sstream>

#include "gamma/gamma_form.h"
#include "scan_fixture.h"
#include "ui/dpi.h"

namespace tarnwick::testing {
namespace {

constexpr int kDpis[] = {96, 120, 144, 192};

// One line per control whose text does not fit or that covers a sibling.
class LayoutRules {
  public:
    explicit LayoutRules(int dpi) : dpi_(dpi) {}
    std::vector<std::string> faults;

    void check(const ui::Control& c) {
        if (!c.visible()) return;
        if (auto* l = dynamic_cast<const ui::Label*>(&c)) label(*l);
        if (dynamic_cast<const ui::Button*>(&c)) fits(c, c.text(), px(8), c.width(), c.height());
        if (dynamic_cast<const ui::CheckBox*>(&c) || dynamic_cast<const ui::RadioButton*>(&c))
            fits(c, c.text(), px(16), c.width(), c.height());
        if (auto* box = dynamic_cast<const ui::ComboBox*>(&c)) combo(*box);
        auto* container = dynamic_cast<const ui::Container*>(&c);
        if (!container) return;
        if (auto* bar = dynamic_cast<const ui::ToolBar*>(&c))
            toolBar(*bar);
        else if (!dynamic_cast<const ui::CoolBar*>(&c))
            siblings(*container);
        for (std::size_t i = 0; i < container->childCount(); ++i) check(container->child(i));
    }

  private:
    int px(int v) const { return ui::scaled(v, dpi_); }
    void fault(const ui::Control& c, const std::string& what) {
        std::ostringstream line;
        line << c.name() << " \"" << c.text() << "\": " << what << " at " << c.width() << "x"
             << c.height();
        faults.push_back(line.str());
    }
    void fits(const ui::Control& c, const std::string& text, int edges, int width, int height) {
        if (text.empty()) return;
        const int need = ui::textWidth(c.font(), text) + edges;
        if (need > width || ui::lineHeight(c.font()) > height)
            fault(c, "needs " + std::to_string(need) + " wide");
    }
    void label(const ui::Label& l) {
        if (!l.wordWrap()) return fits(l, l.text(), 0, l.width(), l.height());
        const int lines = 1 + ui::textWidth(l.font(), l.text()) / std::max(l.width(), 1);
        if (lines * ui::lineHeight(l.font()) > l.height())
            fault(l, std::to_string(lines) + " lines");
    }
    void combo(const ui::ComboBox& box) {
        // The field leaves room for the arrow; the opened list its edges.
        fits(box, box.text(), px(20), box.width(), box.height());
        for (const std::string& item : box.items())
            if (ui::textWidth(box.font(), item) > box.droppedWidth() - px(4))
                fault(box, "entry \"" + item + "\" wider than the list");
    }
    void toolBar(const ui::ToolBar& bar) {
        for (std::size_t i = 0; i < bar.childCount(); ++i)
            if (bar.child(i).visible() && bar.child(i).bounds().right > bar.width())
                fault(bar.child(i), "beyond its bar");
    }
    // Controls placed by hand beside each other, not aligned ones, which fill what is left.
    void siblings(const ui::Container& c) {
        for (std::size_t i = 0; i < c.childCount(); ++i)
            for (std::size_t j = 0; j < i; ++j) {
                const ui::Control &a = c.child(i), &b = c.child(j);
                if (!a.visible() || !b.visible() || a.align() != ui::Align::None ||
                    b.align() != ui::Align::None || a.width() == 0 || b.width() == 0)
                    continue;
                const ui::Rect r = a.bounds(), s = b.bounds();
                if (r.left < s.right && s.left < r.right && r.top < s.bottom && s.top < r.bottom)
                    fault(a, "covers " + b.name());
            }
    }
    int dpi_;
};

std::vector<std::string> layoutFaults(const ui::Form& form) {
    LayoutRules rules(form.dpi());
    rules.check(form);
    return rules.faults;
}

TEST_F(ScanWindowTest, EveryFormIsLaidOutWholeAtEveryDpi) {
    for (int dpi : kDpis) {
        SCOPED_TRACE("at " + std::to_string(dpi) + " DPI");
        driver.setDpi(dpi);
        TFPreview::connectOnActivation();
        TFPreview& w = openScanning();
        ASSERT_EQ(w.dpi(), dpi);
        EXPECT_EQ(layoutFaults(w), std::vector<std::string>{});
        EXPECT_EQ(layoutFaults(w.aboutBox()), std::vector<std::string>{});
        EXPECT_EQ(layoutFaults(w.gammaEditor()), std::vector<std::string>{});
        TFProperties dialog(std::make_unique<QuietServices>(foundHosts));
        EXPECT_EQ(layoutFaults(dialog), std::vector<std::string>{});
        // Fixed sizes follow the DPI; pictures have their side at it.
        EXPECT_GE(the<ui::ComboBox>("Zoom").width(), ui::scaled(90, dpi));
        EXPECT_EQ(the<ui::ToolButton>("BScan").width(), ui::scaled(16, dpi) + ui::scaled(7, dpi));
        EXPECT_EQ(w.gammaEditor().PaintBox.width(), ui::scaled(256, dpi));
        EXPECT_EQ(dialog.clientWidth(), ui::scaled(325, dpi));
    }
}

TEST_F(ScanWindowTest, MovedToAnotherDpiTheWindowIsLaidOutAnew) {
    driver.setDpi(96);
    TFPreview& w = openScanning();
    const int zoom = the<ui::ComboBox>("Zoom").width();
    for (int dpi : {192, 120}) {
        SCOPED_TRACE("moved to " + std::to_string(dpi) + " DPI");
        w.setDpi(dpi);
        EXPECT_EQ(w.font().dpi, dpi);
        EXPECT_EQ(layoutFaults(w), std::vector<std::string>{});
        EXPECT_EQ(the<ui::ToolButton>("BScan").width(), ui::scaled(23, dpi));
    }
    w.setDpi(96);
    EXPECT_EQ(the<ui::ComboBox>("Zoom").width(), zoom);
}

TEST_F(WindowTest, TheSavedWindowSizeIsThatOf96Dpi) {
    // A window closed at 150 percent saves the size it would have at 100.
    driver.setDpi(144);
    writeSettings("[General]\nWindowSize=30;45;540;900\n");
    TFPreview& wide = create();
    // 45;68;810;1350 at 144, cut to the 1024 x 768 work area.
    EXPECT_EQ(wide.bounds(), (ui::Rect{45, 0, 855, 768}));
    wide.setBounds(60, 90, 540, 600);
    ui::CloseAction action;
    wide.FormClose(action);
    EXPECT_EQ(settings().readText(SettingKey::generalWindowSize), "40;60;360;400");
    // Reopened at 100 percent it has that size, on the work area.
    driver.setDpi(96);
    TFPreview& plain = create();
    EXPECT_EQ(plain.bounds(), (ui::Rect{40, 60, 400, 460}));
}

TEST_F(WindowTest, SavedSizesBeyondAnyScreenStayOnTheWorkArea) {
    const struct {
        int dpi;
        const char* saved;
    } cases[] = {{96, "1000000000;-1000000000;1000000000;1000000000"},
                 {192, "-2147483647;2147483647;2147483647;-2147483647"},
                 {144, "0;0;-5;-5"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.saved);
        driver.setDpi(c.dpi);
        writeSettings(std::string("[General]\nWindowSize=") + c.saved + "\n");
        TFPreview& w = create();
        const ui::Rect area = ui::backend().workAreaAt({w.left(), w.top()});
        EXPECT_GE(w.left(), area.left);
        EXPECT_GE(w.top(), area.top);
        EXPECT_LE(w.bounds().right, area.right);
        EXPECT_LE(w.bounds().bottom, area.bottom);
    }
}

}  // namespace
}  // namespace tarnwick::testing
