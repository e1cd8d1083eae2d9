// The scanning window without a daemon: creation and its settings, the status routine, the
// keyboard, the buttons, closing, and the first activation without a host.
#include "unit/window/window_fixture.h"

#include "widgets/float_form.h"

namespace tarnwick::testing {
namespace {

TEST_F(WindowTest, CreationBuildsTheLayoutAndReadsTheSettings) {
    writeSettings(
        "[General]\nWindowSize=10;20;300;400\nEdgeThreshold=25\n[Zoveru]\nDeviceCancelType=5\n"
        "[ADF]\nScanNPages=0\nForcePreviewEject=1\n[Toolbars]\nUseLargeIcons=1\n");
    TFPreview& w = create();
    EXPECT_EQ(w.caption(), "Tarnwick interface");
    EXPECT_EQ(control<ui::ComboBox>(w, "Zoom").text(), "Whole page");
    EXPECT_FALSE(control<ui::ToolButton>(w, "BMail").visible());
    EXPECT_FALSE(control<ui::ToolButton>(w, "BPrint").visible());
    EXPECT_FALSE(control<ui::ToolBar>(w, "TScanMode").visible());
    EXPECT_FALSE(control<ui::ProgressBar>(w, "ProgressBar").visible());
    ASSERT_EQ(control<ui::CoolBar>(w, "TopDock").bandCount(), 4u);
    EXPECT_EQ(control<ui::CoolBar>(w, "TopDock").band(1).text, "Scan mode:");
    EXPECT_EQ(control<ui::CoolBar>(w, "TopDock").band(3).text, "Device:");
    EXPECT_EQ(entries(popupMenu(w, "OptionsPopup")),
              (std::vector<std::string>{"Use large icons", "-"}));
    EXPECT_EQ(popupMenu(w, "RegionPopup").count(), 13u);
    EXPECT_EQ(popupMenu(w, "RegionsOnly").count(), 11u);

    EXPECT_EQ(w.bounds(), (ui::Rect{10, 20, 310, 420}));
    EXPECT_EQ(w.session().settings().edgeThreshold, 25);
    EXPECT_EQ(w.session().settings().cancelType, 5);
    EXPECT_EQ(w.session().settings().feederPages, 0);
    EXPECT_TRUE(w.session().settings().forcePreviewEject);
    EXPECT_FALSE(w.session().settings().noInvertBlackWhite);
    // Large icons from the settings: applied, and the setting is not written back.
    EXPECT_TRUE(menuEntry(popupMenu(w, "OptionsPopup"), "Use large icons").checked());
    EXPECT_EQ(control<ui::ToolBar>(w, "TZoom").height(), 40);
    EXPECT_EQ(control<ui::ToolBar>(w, "TZoom").buttonHeight(), 38);
    EXPECT_EQ(w.session().connection(), nullptr);
    EXPECT_EQ(w.session().scanner(), nullptr);
}

TEST_F(WindowTest, ToolButtonsShowThePictureOfTheirRole) {
    TFPreview& w = create();
    const std::pair<ui::ToolButton*, ui::ToolImage> roles[] = {
        {&control<ui::ToolButton>(w, "BScan"), ui::ToolImage::Scan},
        {&control<ui::ToolButton>(w, "BPreview"), ui::ToolImage::Preview},
        {&control<ui::ToolButton>(w, "BMail"), ui::ToolImage::Mail},
        {&control<ui::ToolButton>(w, "BEvernote"), ui::ToolImage::Evernote},
        {&control<ui::ToolButton>(w, "BPrint"), ui::ToolImage::Print},
        {&control<ui::ToolButton>(w, "BRegions"), ui::ToolImage::Regions},
        {&control<ui::ToolButton>(w, "BProperties"), ui::ToolImage::Settings},
        {&control<ui::ToolButton>(w, "BHelp"), ui::ToolImage::About},
        {&control<ui::ToolButton>(w, "BTwitter"), ui::ToolImage::Web}};
    for (auto [button, image] : roles)
        EXPECT_EQ(button->imageIndex(), static_cast<int>(image)) << button->name();
}

// Buttons hidden, shown or resized with the icons: the tool bar's controls lie side by side.
TEST_F(WindowTest, TheZoomToolBarIsLaidOutAgainOnEveryChange) {
    TFPreview& w = create();
    ui::ToolBar& bar = control<ui::ToolBar>(w, "TZoom");
    auto sideBySide = [&](const char* when) {
        int x = 0;
        for (std::size_t i = 0; i < bar.childCount(); ++i) {
            const ui::Control& c = bar.child(i);
            if (!c.visible()) continue;
            EXPECT_EQ(c.left(), x) << c.name() << " " << when;
            x = c.bounds().right;
        }
        EXPECT_EQ(x, bar.contentWidth()) << when;
    };
    sideBySide("at first");
    EXPECT_EQ(control<ui::ToolButton>(w, "BRegions").width(), 23 + 14);
    driver.choose(menuEntry(popupMenu(w, "OptionsPopup"), "Use large icons"));
    sideBySide("with large icons");
    EXPECT_EQ(control<ui::ToolButton>(w, "BHelp").width(), 39);
    EXPECT_EQ(control<ui::ToolButton>(w, "BHelp").height(), 38);
    control<ui::ToolButton>(w, "BEvernote").setVisible(true);
    sideBySide("with a button shown");
    driver.choose(menuEntry(popupMenu(w, "OptionsPopup"), "Use large icons"));
    sideBySide("back on small icons");
    EXPECT_EQ(control<ui::ToolButton>(w, "BHelp").width(), 23);
}

TEST_F(WindowTest, WindowSizeStopsAtItsFirstBadPart) {
    writeSettings("[General]\nWindowSize=15;25;wide;400\n");
    TFPreview& w = create();
    EXPECT_EQ(w.left(), 15);
    EXPECT_EQ(w.top(), 25);
    EXPECT_EQ(w.width(), 361);
    EXPECT_EQ(w.height(), 599);
}

TEST_F(WindowTest, LargeIconsByTheUserAreSaved) {
    TFPreview& w = create();
    driver.choose(menuEntry(popupMenu(w, "OptionsPopup"), "Use large icons"));
    EXPECT_TRUE(settings().readBoolean(SettingKey::toolbarsUseLargeIcons));
    driver.choose(menuEntry(popupMenu(w, "OptionsPopup"), "Use large icons"));
    EXPECT_EQ(control<ui::ToolBar>(w, "TZoom").height(), 24);
    EXPECT_FALSE(settings().readBoolean(SettingKey::toolbarsUseLargeIcons));
}

TEST_F(WindowTest, StatusRoutine) {
    TFPreview& w = create();
    w.reportStatus("0", false, false);
    EXPECT_EQ(control<ui::StatusBar>(w, "StatusBar").text(),
              "Tarnwick data source v1.37. Copyright (C) The Tarnwick developers");
    w.reportStatus("Scanning", true, false);
    EXPECT_EQ(control<ui::StatusBar>(w, "StatusBar").text(), "Scanning");
    EXPECT_EQ(boxTexts(), (std::vector<std::string>{"Scanning"}));
    EXPECT_TRUE(control<ui::ToolButton>(w, "BScan").enabled());

    control<ui::PageControl>(w, "OptionPages").setVisible(true);
    try {
        w.reportStatus("Gone", false, true);
        ADD_FAILURE() << "a fatal report must end the operation";
    } catch (const ConnectionCancelled& e) {
        EXPECT_STREQ(e.what(), "Connection cancelled");
    }
    EXPECT_FALSE(control<ui::ToolButton>(w, "BScan").enabled());
    EXPECT_FALSE(control<ui::ToolButton>(w, "BPreview").enabled());
    EXPECT_FALSE(control<ui::PageControl>(w, "OptionPages").visible());
    EXPECT_EQ(control<ui::StatusBar>(w, "StatusBar").text(), "Gone");
    EXPECT_EQ(driver.boxes().size(), 1u);
}

TEST_F(WindowTest, Buttons) {
    writeSettings("[Connection]\nHost=scanhost\n[Evernote]\nEmail=notes@example.org\n");
    TFPreview& w = create();
    driver.whenModal([this](ui::Form& f) { driver.click(static_cast<TFProperties&>(f).bOK); });
    driver.click(control<ui::ToolButton>(w, "BProperties"));
    EXPECT_TRUE(control<ui::ToolButton>(w, "BEvernote").visible());
    EXPECT_EQ(boxTexts(), (std::vector<std::string>{"Any connection changes will take effect the "
                                                    "next time Tarnwick is started"}));

    driver.click(control<ui::ToolButton>(w, "BProperties"));  // cancelled: no box
    EXPECT_EQ(driver.boxes().size(), 1u);

    driver.click(control<ui::ToolButton>(w, "BHelp"));
    EXPECT_EQ(driver.modalForms().back(), "FAbout");
    driver.click(control<ui::ToolButton>(w, "BTwitter"));
    EXPECT_EQ(opened, (std::vector<std::string>{"https://tarnwick.sourceforge.io/"}));
}

TEST_F(WindowTest, ReadOnlySettingsDisableTheSettingsButton) {
    writeSettings("[General]\nTopMost=1\n");
    makeReadOnly();
    TFPreview& w = create();
    EXPECT_FALSE(control<ui::ToolButton>(w, "BProperties").enabled());
    EXPECT_TRUE(w.topMost());
}

TEST_F(WindowTest, ClosingWritesTheSizeAndAsksTheApplicationToClose) {
    TFPreview& w = create();
    w.setBounds(5, 6, 370, 610);
    TFPreview::connectOnActivation();
    ui::CloseAction action = ui::CloseAction::Free;
    w.FormClose(action);
    EXPECT_EQ(action, ui::CloseAction::Hide);
    EXPECT_EQ(settings().readText(SettingKey::generalWindowSize), "5;6;370;610");
    EXPECT_EQ(scanner.messages, (std::vector<TW_UINT16>{MSG_CLOSEDSREQ}));
}

TEST_F(WindowTest, OnlyTheSettingsOnlyWindowHasAnOkAndItConfirms) {
    writeSettings("[Connection]\nHost=127.0.0.1\nPort=1\n");
    ScanWindow scan(scanner, std::make_unique<QuietServices>());
    TFPreview& w = scan.form();
    scan.show(false);
    EXPECT_FALSE(driver.click(control<ui::Button>(w, "BOk"))) << "a scanning session has no OK";
    scan.hide();

    scan.show(true);
    ASSERT_TRUE(driver.click(control<ui::Button>(w, "BOk")));
    EXPECT_FALSE(w.visible());
    EXPECT_EQ(scanner.messages, std::vector<TW_UINT16>{MSG_CLOSEDSOK});
}

TEST_F(WindowTest, NoHostShowsTheSettingsDialogAndCancelClosesTheWindow) {
    create();
    std::string shown;
    driver.whenModal([&](ui::Form& f) { shown = f.name(); });
    // An activation waiting among the pending messages does not run a second first activation.
    driver.post([this] { window->FormActivate(); });
    window->FormActivate();
    EXPECT_EQ(shown, "FProperties");
    EXPECT_EQ(driver.modalForms().size(), 1u);
    EXPECT_EQ(window->session().connection(), nullptr);
    EXPECT_EQ(scanner.messages, (std::vector<TW_UINT16>{MSG_CLOSEDSREQ}));
}

TEST_F(WindowTest, AutoScanWaitsForTheSourceToBeEnabled) {
    // Without a daemon named (the settings dialog cancelled), the activation waits all the same.
    writeSettings("[Scan]\nAutoStart=1\n");
    TFPreview& w = open();
    driver.advance(250);
    EXPECT_TRUE(w.autoScanWaiting());
    scanner.ready = true;
    control<ui::ToolButton>(w, "BScan").setEnabled(false);  // settings only
    driver.advance(250);
    EXPECT_TRUE(w.autoScanWaiting());
    control<ui::ToolButton>(w, "BScan").setEnabled(true);
    driver.advance(250);
    EXPECT_FALSE(w.autoScanWaiting());
}

// A drag on the page control tears the active page off once it leaves a small box around its
// start: at most 4 pixels sideways and less than 5 up or down.
TEST_F(WindowTest, TearingAPageOffAndPuttingItBack) {
    TFPreview& w = create();
    ui::PageControl& pages = control<ui::PageControl>(w, "PreviewAndOptions");
    ui::TabSheet& preview = control<ui::TabSheet>(w, "Preview");
    driver.mouseDown(pages, {20, 20});
    driver.mouseMove(pages, {23, 24}, ui::LeftHeld);
    EXPECT_EQ(driver.screenCursor(), ui::Cursor::Default);
    driver.mouseMove(pages, {24, 20}, ui::LeftHeld);
    EXPECT_EQ(driver.screenCursor(), ui::Cursor::Default);
    driver.mouseMove(pages, {25, 20}, ui::LeftHeld);
    EXPECT_EQ(driver.screenCursor(), ui::Cursor::NoDrop);
    driver.mouseMove(pages, {20, pages.height() + 30}, ui::LeftHeld);
    EXPECT_EQ(driver.screenCursor(), ui::Cursor::Drag);
    driver.mouseUp(pages, {20, pages.height() + 30});
    EXPECT_EQ(driver.screenCursor(), ui::Cursor::Default);
    EXPECT_EQ(driver.capture(), nullptr);

    ASSERT_EQ(w.floatingPages(), 1u);
    TFFloat& floating = w.floatingPage(0);
    EXPECT_EQ(floating.caption(), "Tarnwick - Preview");
    EXPECT_EQ(pages.pageCount(), 1);
    EXPECT_EQ(floating.width(), pages.width() + 8);
    EXPECT_EQ(floating.FloatedTab.pageCount(), 1);
    EXPECT_FALSE(preview.tabVisible());

    // Hanging from the pointer, then snapping over the page control, then docking.
    driver.setCursorPos({2000, 2000});
    ui::Rect proposed{1990, 1900, 2100, 2000};
    EXPECT_FALSE(floating.onMoving(proposed));
    EXPECT_EQ(proposed.top, 2000);
    EXPECT_EQ(proposed.bottom - proposed.top, floating.height());
    EXPECT_FALSE(floating.overHome);
    ui::Rect home = pages.screenRect();
    driver.setCursorPos({home.left + 5, home.top + 5});
    EXPECT_TRUE(floating.onMoving(proposed));
    EXPECT_EQ(proposed, home);
    floating.onMoveEnded();
    EXPECT_EQ(pages.pageCount(), 2);
    EXPECT_EQ(pages.pageIndex(control<ui::TabSheet>(w, "Preview")), 0);
    EXPECT_TRUE(control<ui::TabSheet>(w, "Preview").tabVisible());
    EXPECT_EQ(floating.FloatedTab.pageCount(), 0);
}

TEST_F(WindowTest, ALastPageTornOffComesBackLast) {
    TFPreview& w = create();
    ui::PageControl& pages = control<ui::PageControl>(w, "PreviewAndOptions");
    driver.selectPage(pages, 1);
    driver.mouseDown(pages, {20, 20});
    driver.mouseMove(pages, {20, -40}, ui::LeftHeld);
    driver.mouseUp(pages, {20, -40});
    ASSERT_EQ(w.floatingPages(), 1u);
    EXPECT_EQ(w.floatingPage(0).homeIndex, 1);
    w.floatingPage(0).close();
    EXPECT_EQ(pages.pageIndex(control<ui::TabSheet>(w, "Options")), 1);
}

TEST_F(WindowTest, ATornOffPageStaysOnTheWorkAreaAndComesHomeWhenTheWindowCloses) {
    TFPreview& w = create();
    ui::PageControl& pages = control<ui::PageControl>(w, "PreviewAndOptions");
    driver.mouseDown(pages, {20, 20});
    driver.mouseMove(pages, {900, 700}, ui::LeftHeld);
    driver.mouseUp(pages, {900, 700});
    ASSERT_EQ(w.floatingPages(), 1u);
    const ui::Rect shown = w.floatingPage(0).bounds();
    EXPECT_GE(shown.left, 0);
    EXPECT_GE(shown.top, 0);
    EXPECT_LE(shown.right, 1024);
    EXPECT_LE(shown.bottom, 768);

    w.close();
    EXPECT_TRUE(w.floatingPages() == 0);
    EXPECT_EQ(pages.pageCount(), 2);
}

TEST_F(WindowTest, FirstStartIsCentredAndASavedPlaceKeptOnTheWorkArea) {
    TFPreview& first = create();
    EXPECT_NEAR(first.left() + first.width() / 2, 512, 1);
    EXPECT_NEAR(first.top() + first.height() / 2, 384, 1);
    window.reset();
    writeSettings("[General]\nWindowSize=-300;-40;500;2000\n");
    EXPECT_EQ(create().bounds(), (ui::Rect{0, 0, 500, 768}));
}

}  // namespace
}  // namespace tarnwick::testing
