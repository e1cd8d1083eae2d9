#include <gtest/gtest.h>

#include "ui/button.h"
#include "ui/form.h"
#include "ui/headless/driver.h"
#include "ui/menu.h"
#include "ui/page_control.h"
#include "ui/paint_box.h"
#include "ui/tool_bar.h"
#include "ui/track_bar.h"

namespace {

struct LayoutTest : testing::Test {
    ui::headless::Driver driver;
    ui::Form form;
    void SetUp() override {
        form.setBounds(100, 50, 400, 300);
        form.show();
    }
};

TEST_F(LayoutTest, TopAlignedChildrenStackInChildOrder) {
    auto& page = form.add<ui::Panel>();
    page.setAlign(ui::Align::Client);
    page.setBorderWidth(8);
    auto& first = page.add<ui::Panel>();
    first.setHeight(24);
    auto& second = page.add<ui::Panel>();
    second.setHeight(56);
    second.setAlign(ui::Align::Top);
    first.setAlign(ui::Align::Top);
    EXPECT_EQ(first.bounds(), (ui::Rect{0, 0, 384, 24}));
    EXPECT_EQ(second.bounds(), (ui::Rect{0, 24, 384, 80}));
    first.setVisible(false);  // hidden rows leave no gap
    EXPECT_EQ(second.top(), 0);
    EXPECT_EQ(second.clientToScreen({0, 0}), (ui::Point{108, 58}));
}

TEST_F(LayoutTest, ControlAtFindsTheInnermostControlDisabledOnesIncluded) {
    auto& row = form.add<ui::Panel>();
    row.setBounds(0, 0, 300, 24);
    auto& caption = row.add<ui::Label>();
    caption.setBounds(0, 4, 145, 16);
    auto& box = row.add<ui::CheckBox>();
    box.setBounds(150, 0, 100, 24);
    box.setEnabled(false);
    EXPECT_EQ(form.controlAt({160, 5}), &box);
    EXPECT_EQ(form.controlAt({10, 8}), &caption);
    EXPECT_EQ(form.controlAt({290, 8}), &row);
    EXPECT_EQ(form.controlAt({10, 200}), nullptr);
}

TEST_F(LayoutTest, PagesMoveBetweenPageControlsAndBack) {
    auto& home = form.add<ui::PageControl>();
    auto& a = home.addPage("A");
    auto& b = home.addPage("B");
    EXPECT_EQ(home.activePage(), &a);
    ui::Form floating;
    auto& tab = floating.add<ui::PageControl>();
    a.setPageControl(tab);
    EXPECT_EQ(home.pageCount(), 1);
    EXPECT_EQ(home.activePage(), &b);
    EXPECT_EQ(tab.activePage(), &a);
    a.setPageControl(home);
    home.movePage(a, 0);
    EXPECT_EQ(home.pageIndex(a), 0);
    home.movePage(a, 99);
    EXPECT_EQ(home.pageIndex(a), 1);
}

TEST_F(LayoutTest, UserPickingATabRunsOnChangeCodeDoesNot) {
    auto& pages = form.add<ui::PageControl>();
    pages.addPage("A");
    auto& b = pages.addPage("B");
    int changes = 0;
    pages.onChange = [&] { ++changes; };
    pages.setActivePage(&b);
    EXPECT_EQ(changes, 0);
    driver.selectPage(pages, 0);
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(b.visible());
}

TEST_F(LayoutTest, GroupedToolButtonsKeepExactlyOneDown) {
    auto& bar = form.add<ui::ToolBar>();
    auto& spline = bar.addButton("Spline", ui::ToolButtonStyle::Check);
    auto& straight = bar.addButton("Straight", ui::ToolButtonStyle::Check);
    auto& line = bar.addButton("Line", ui::ToolButtonStyle::Check);
    bar.addButton("", ui::ToolButtonStyle::Divider);
    auto& gamma = bar.addButton("Gamma");
    for (auto* b : {&spline, &straight, &line}) b->setGrouped(true);
    straight.setDown(true);
    int clicks = 0;
    line.onClick = [&] { ++clicks; };
    driver.click(line);
    driver.click(line);  // a grouped button stays down
    EXPECT_TRUE(line.down());
    EXPECT_FALSE(straight.down());
    EXPECT_EQ(clicks, 2);
    driver.click(gamma);
    EXPECT_FALSE(gamma.down());
    EXPECT_EQ(line.left(), 46);
}

TEST_F(LayoutTest, MenuItemsAutoCheckAndCarryTags) {
    auto& menu = form.addMenu("OptionsPopup");
    auto& large = menu.add("Use large icons");
    large.setAutoCheck(true);
    menu.add("-");
    auto& entry = menu.add("brightness");
    entry.setTag(7);
    std::vector<std::pair<int, bool>> clicks;
    auto handler = [&](ui::MenuItem& i) { clicks.push_back({i.tag(), i.checked()}); };
    large.onClick = handler;
    entry.onClick = handler;
    driver.choose(large);
    driver.choose(entry);
    entry.setEnabled(false);
    driver.choose(entry);
    driver.choose(menu.item(1));  // separator
    EXPECT_EQ(clicks, (std::vector<std::pair<int, bool>>{{0, true}, {7, false}}));
    menu.remove(2);
    EXPECT_EQ(menu.count(), 2u);
}

TEST_F(LayoutTest, RightButtonOpensAPopupAtTheMousePosition) {
    auto& box = form.add<ui::PaintBox>();
    box.setBounds(10, 20, 100, 100);
    auto& menu = form.addMenu("RegionPopup");
    box.onMouseDown = [&](const ui::MouseEvent& e) {
        if (e.button == ui::MouseButton::Right) menu.popup(box.clientToScreen({e.x, e.y}));
    };
    driver.mouseDown(box, {5, 6}, ui::MouseButton::Right);
    EXPECT_EQ(driver.lastPopup(), &menu);
    EXPECT_EQ(driver.lastPopupAt(), (ui::Point{115, 76}));
    EXPECT_EQ(driver.cursorPos(), (ui::Point{115, 76}));
}

TEST_F(LayoutTest, CapturedMouseGoesToTheCaptorInItsCoordinates) {
    auto& pages = form.add<ui::PageControl>();
    pages.setBounds(0, 0, 200, 200);
    auto& other = form.add<ui::Panel>();
    other.setBounds(250, 0, 100, 100);
    std::vector<ui::Point> moves;
    pages.onMouseDown = [&](const ui::MouseEvent&) { ui::backend().setCapture(&pages); };
    pages.onMouseMove = [&](const ui::MouseEvent& e) { moves.push_back({e.x, e.y}); };
    driver.mouseDown(pages, {10, 10});
    driver.mouseMove(other, {5, 5});
    EXPECT_EQ(moves, (std::vector<ui::Point>{{255, 5}}));
    ui::backend().setCapture(nullptr);
}

TEST_F(LayoutTest, DestroyingARowTakesEverythingInIt) {
    auto& row = form.add<ui::Panel>();
    auto& bar = row.add<ui::TrackBar>();
    ui::backend().setCapture(&bar);
    row.destroy();
    EXPECT_EQ(form.childCount(), 0u);
    EXPECT_EQ(ui::backend().capture(), nullptr);
}

TEST_F(LayoutTest, ControlsMoveBetweenParents) {
    auto& page = form.add<ui::Panel>();
    auto& bar = form.add<ui::ToolBar>();
    auto& edit = page.add<ui::Label>();
    edit.setName("x");
    edit.setParent(bar);
    EXPECT_EQ(edit.parent(), &bar);
    EXPECT_EQ(page.childCount(), 0u);
    EXPECT_EQ(form.find("x"), &edit);
}

TEST_F(LayoutTest, CentredFormsSitInTheMiddleOfTheScreen) {
    ui::Form f;
    f.setClientSize(208, 96);
    f.centerOnScreen();
    EXPECT_EQ(f.left(), (1024 - 208) / 2);
    EXPECT_EQ(f.top(), (768 - 96) / 2);
}

}  // namespace
