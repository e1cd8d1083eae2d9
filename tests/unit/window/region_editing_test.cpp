// Regions drawn on the preview of test:0 with injected mouse events, the region menus, "Find
// fit", saving and restoring, and following the geometry options.
#include <gtest/gtest.h>

#include "scan_fixture.h"
#include "ui/backend.h"

namespace tarnwick::testing {
namespace {

class RegionEditing : public ScanWindowTest {
  protected:
    void SetUp() override {
        ScanWindowTest::SetUp();
        TFPreview& w = openScanning();
        ASSERT_NE(w.session().scanner(), nullptr);
        // One screen pixel per unit keeps the arithmetic readable.
        w.setUnitsPerPreviewPixel(1.0);
        control<ui::ComboBox>(w, "Zoom").setComboText("100%");
        w.ZoomChange();
        control<ui::PaintBox>(w, "PaintBox").setBounds(0, 0, 400, 400);
    }
    TFPreview& w() { return *window; }

    void drag(ui::Point from, ui::Point to) {
        driver.mouseMove(control<ui::PaintBox>(w(), "PaintBox"), from);
        driver.mouseDown(control<ui::PaintBox>(w(), "PaintBox"), from);
        driver.mouseMove(control<ui::PaintBox>(w(), "PaintBox"),
                         {(from.x + to.x) / 2, (from.y + to.y) / 2});
        driver.mouseMove(control<ui::PaintBox>(w(), "PaintBox"), to);
        driver.mouseUp(control<ui::PaintBox>(w(), "PaintBox"), to);
    }
    ui::MenuItem& entry(ui::PopupMenu& menu, const std::string& caption) {
        ui::MenuItem* item = menu.find(caption);
        EXPECT_NE(item, nullptr) << caption;
        return *item;
    }
};

TEST_F(RegionEditing, DrawResizeAndDeleteWithTheMouse) {
    drag({50, 40}, {20, 10});
    ASSERT_EQ(w().session().regions.regionCount, 1);
    EXPECT_EQ(w().session().regions.regions[0], (Region{20, 10, 50, 40}));
    EXPECT_TRUE(w().outlinesAnimate());
    // The size as dragged, before the region is normalised.
    EXPECT_EQ(control<ui::StatusBar>(w(), "StatusBar").text(), "-30 x -30mm");
    EXPECT_EQ(ui::backend().capture(), nullptr);

    // Dragged past the origin: the edge stops at 0.
    drag({100, 100}, {-8, 150});
    ASSERT_EQ(w().session().regions.regionCount, 2);
    EXPECT_EQ(w().session().regions.regions[1], (Region{0, 100, 100, 150}));

    // A click without dragging leaves the table as it was.
    drag({300, 300}, {300, 300});
    EXPECT_EQ(w().session().regions.regionCount, 2);

    // Hovering 3 units left of x1 and 2 below y1 of region 0 grabs its top-left corner.
    driver.mouseMove(control<ui::PaintBox>(w(), "PaintBox"), {17, 12});
    EXPECT_EQ(control<ui::PaintBox>(w(), "PaintBox").cursor(), ui::Cursor::SizeNWSE);
    EXPECT_EQ(w().session().regions.regionIndex, 0);
    driver.mouseMove(control<ui::PaintBox>(w(), "PaintBox"), {15, 25});
    EXPECT_EQ(control<ui::PaintBox>(w(), "PaintBox").cursor(), ui::Cursor::Default)
        << "five units away";
    driver.mouseMove(control<ui::PaintBox>(w(), "PaintBox"), {35, 41});
    EXPECT_EQ(control<ui::PaintBox>(w(), "PaintBox").cursor(), ui::Cursor::SizeNS);
    driver.mouseDown(control<ui::PaintBox>(w(), "PaintBox"), {35, 41});
    EXPECT_FALSE(w().outlinesAnimate()) << "no animation while dragging";
    driver.mouseMove(control<ui::PaintBox>(w(), "PaintBox"), {80, 70});
    // The rubber band: the old outline inverted away, the new one inverted in.
    const auto& record = control<ui::PaintBox>(w(), "PaintBox").canvas().record();
    ASSERT_GE(record.size(), 2u);
    EXPECT_EQ(record[record.size() - 2].kind, ui::CanvasOpKind::InvertOutline);
    EXPECT_EQ(record[record.size() - 2].rect, (ui::Rect{20, 10, 50, 40}));
    EXPECT_EQ(record.back().rect, (ui::Rect{20, 10, 50, 70}));
    EXPECT_EQ(record.back().pen.width, 2);
    driver.mouseUp(control<ui::PaintBox>(w(), "PaintBox"), {80, 70});
    EXPECT_EQ(w().session().regions.regions[0], (Region{20, 10, 50, 70}))
        << "only the bottom edge moves";

    // Resizing region 0 to zero width removes it; region 1 moves down.
    driver.mouseMove(control<ui::PaintBox>(w(), "PaintBox"), {50, 40});
    ASSERT_EQ(control<ui::PaintBox>(w(), "PaintBox").cursor(), ui::Cursor::SizeWE);
    driver.mouseDown(control<ui::PaintBox>(w(), "PaintBox"), {50, 40});
    driver.mouseMove(control<ui::PaintBox>(w(), "PaintBox"), {20, 40});
    driver.mouseUp(control<ui::PaintBox>(w(), "PaintBox"), {20, 40});
    ASSERT_EQ(w().session().regions.regionCount, 1);
    EXPECT_EQ(w().session().regions.regions[0], (Region{0, 100, 100, 150}));

    // The right button offers Delete only for the region under the mouse.
    driver.mouseMove(control<ui::PaintBox>(w(), "PaintBox"), {300, 300});
    driver.mouseDown(control<ui::PaintBox>(w(), "PaintBox"), {300, 300}, ui::MouseButton::Right);
    EXPECT_EQ(driver.lastPopup(), &popupMenu(w(), "RegionPopup"));
    EXPECT_FALSE(menuEntry(popupMenu(w(), "RegionPopup"), "Delete").enabled());
    driver.mouseMove(control<ui::PaintBox>(w(), "PaintBox"), {50, 120});
    driver.mouseDown(control<ui::PaintBox>(w(), "PaintBox"), {50, 120}, ui::MouseButton::Right);
    ASSERT_TRUE(menuEntry(popupMenu(w(), "RegionPopup"), "Delete").enabled());
    driver.choose(menuEntry(popupMenu(w(), "RegionPopup"), "Delete"));
    EXPECT_EQ(w().session().regions.regionCount, 0);
    EXPECT_FALSE(w().outlinesAnimate());
}

TEST_F(RegionEditing, TheMouseMakesNoMoreThanTenRegions) {
    for (int i = 0; i < 11; ++i) drag({30 * i + 2, 10}, {30 * i + 20, 30});
    EXPECT_EQ(w().session().regions.regionCount, 10);
    EXPECT_EQ(w().session().regions.regions[9], (Region{272, 10, 290, 30}));
}

TEST_F(RegionEditing, NothingWithoutTheGeometryOptions) {
    w().session().roles().brx = nullptr;
    drag({10, 10}, {60, 60});
    EXPECT_EQ(w().session().regions.regionCount, 0);
}

TEST_F(RegionEditing, PresetsAndFindFitFromTheMenus) {
    drag({10, 10}, {60, 60});
    drag({100, 10}, {160, 60});
    driver.choose(entry(popupMenu(w(), "RegionsOnly"), "A5 landscape"));
    ASSERT_EQ(w().session().regions.regionCount, 1);
    EXPECT_EQ(w().session().regions.regions[0], (Region{0, 0, 210, 148}));
    driver.choose(entry(popupMenu(w(), "RegionPopup"), "Legal"));
    EXPECT_EQ(w().session().regions.regions[0], (Region{0, 0, 215, 355}));
    EXPECT_TRUE(w().outlinesAnimate());

    // A white page with a dark document, two units per preview pixel.
    w().session().setWholeArea(Region{0, 0, 202, 162});
    w().setUnitsPerPreviewPixel(2.0);
    Bitmap& preview = w().previewBitmap;
    preview.reset(BitmapKind::Bits24, 100, 80);
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 100; ++x) {
            const bool document = y >= 20 && y < 50 && x >= 30 && x < 70;
            std::uint8_t* px = preview.row(y) + 3 * x;
            px[0] = px[1] = px[2] = document ? 30 : 240;
        }
    driver.choose(menuEntry(popupMenu(w(), "RegionPopup"), "Find fit"));
    EXPECT_EQ(w().session().regions.regions[0], (Region{60, 40, 138, 98}));

    // A one-bit preview is read by the byte: eight pixels at a time.
    preview.reset(BitmapKind::Bits1, 64, 8);
    for (int y = 0; y < 8; ++y)
        for (int b = 0; b < 8; ++b)
            preview.row(y)[b] = y >= 2 && y < 5 && b >= 2 && b < 6 ? 0x0F : 0xFF;
    w().session().setWholeArea(Region{0, 0, 65, 9});
    w().setUnitsPerPreviewPixel(1.0);
    w().session().settings().edgeThreshold = 4;
    driver.choose(menuEntry(popupMenu(w(), "RegionsOnly"), "Find fit"));
    EXPECT_EQ(w().session().regions.regions[0], (Region{16, 2, 40, 4}));
}

TEST_F(RegionEditing, RegionsFollowAReloadOfTheGeometryOptions) {
    drag({10, 10}, {60, 60});
    drag({100, 10}, {160, 60});
    ASSERT_TRUE(w().session().settings().removeRegions);
    setNumber("tl-x", 10);
    setNumber("tl-y", 0);
    setNumber("br-x", 200);
    setNumber("br-y", 200);
    EXPECT_EQ(w().session().regions.regionCount, 2) << "geometry writes alone reload no options";
    // The mode reloads the options of the test backend.
    setString("mode", "Color");
    ASSERT_EQ(w().session().regions.regionCount, 1);
    EXPECT_EQ(w().session().regions.regions[0], (Region{10, 0, 200, 200}));

    // The window's own writes of a region's area do not count.
    drag({20, 20}, {90, 90});
    w().session().setScanArea(ScanRectangle{20, 20, 90, 90});
    EXPECT_EQ(w().session().regions.regionCount, 2);

    w().session().settings().removeRegions = false;
    setNumber("tl-x", 0);
    setString("mode", "Gray");
    EXPECT_EQ(w().session().regions.regionCount, 2);
}

TEST_F(RegionEditing, RegionsAreSavedAtCloseAndRestoredAtCreation) {
    w().session().settings().saveRegions = true;
    drag({10, 10}, {60, 60});
    drag({100, 10}, {160, 60});
    w().close();
    EXPECT_EQ(settings().readText("Regions", "0", ""), "10;10;60;60");
    EXPECT_EQ(settings().readText("Regions", "1", ""), "100;10;160;60");

    // The dialog reads SaveRegions from the file, like the window after it.
    SettingsFile file = settings();
    file.writeBoolean("General", "SaveRegions", true);
    window.reset();
    TFPreview& again = create();
    ASSERT_EQ(again.session().regions.regionCount, 2);
    EXPECT_EQ(again.session().regions.regions[1], (Region{100, 10, 160, 60}));
    EXPECT_TRUE(again.outlinesAnimate());
}

}  // namespace
}  // namespace tarnwick::testing
