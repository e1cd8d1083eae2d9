// Native peers under Wine: state set by code shows in the windows (read back with Win32
// messages), and input simulated with messages runs the widgets' own events.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "gamma/gamma_form.h"
#include "options/gamma_button_picture.h"
#include "options/number_option.h"
#include "platform/dialog_message.h"
#include "platform/win32/own_module.h"
#include "sample_forms.h"
#include "settings/properties.h"
#include "ui/backend.h"
#include "ui/timer.h"
#include "ui/tool_pictures.h"
#include "ui/win32/peers.h"
#include "widgets/about_form.h"
#include "widgets/float_form.h"

namespace tarnwick::wine {
namespace {

HWND hwndOf(const ui::Control& c) {
    ui::win32::WindowPeer* p = ui::win32::peerOf(c);
    return p ? p->hwnd() : nullptr;
}

std::string textOf(HWND h) {
    return ui::win32::windowText(h);
}

void typeInto(HWND h, const std::string& text) {
    for (char c : text) SendMessageW(h, WM_CHAR, static_cast<WPARAM>(c), 1);
}

// A mouse click at a point of the window's client area.
void clickAt(HWND h, int x, int y) {
    SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

// Processes messages until the condition holds or two seconds have passed.
template <class F>
bool soon(F done) {
    for (int i = 0; i < 200 && !done(); ++i) {
        ui::processPendingMessages();
        Sleep(10);
    }
    return done();
}

TEST(Win32Toolkit, DefaultBackendMeasuresWithSystemFonts) {
    ui::Font font;
    int narrow = ui::textWidth(font, "iiii"), wide = ui::textWidth(font, "WWWW");
    EXPECT_GT(narrow, 0);
    EXPECT_GT(wide, narrow);  // proportional, unlike the fixed metrics
    EXPECT_GT(ui::lineHeight(font), 8);
    EXPECT_LT(ui::lineHeight(font), 30);
}

TEST(Win32Toolkit, ResourcesHoldThePicturesTheCodeDraws) {
    for (int side : {16, 32}) {
        const ui::ImageList& list = ui::backend().toolImages(side);
        ASSERT_EQ(list.side, side);
        ASSERT_EQ(static_cast<int>(list.images.size()), ui::kToolImageCount);
        for (int i = 0; i < ui::kToolImageCount; ++i) {
            ui::Surface drawn = ui::drawToolImage(static_cast<ui::ToolImage>(i), side);
            int differing = 0;
            for (int y = 0; y < side; ++y)
                for (int x = 0; x < side; ++x)
                    differing +=
                        (list.images[i].pixel(x, y) & 0xFFFFFF) != (drawn.pixel(x, y) & 0xFFFFFF);
            EXPECT_EQ(differing, 0) << "image " << i << " of side " << side;
        }
    }
    HMODULE module = platform::ownModuleHandle();
    auto* gamma = static_cast<HBITMAP>(
        LoadImageW(module, L"GAMMABUTTON", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(gamma, nullptr);
    BITMAP info{};
    GetObjectW(gamma, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 16);
    EXPECT_EQ(info.bmHeight, 16);
    EXPECT_EQ(info.bmBitsPixel, 8);
    // The same pixels the option controls draw their button with.
    std::uint32_t pixels[16 * 16] = {};
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof bi.bmiHeader, 16, -16, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC dc = GetDC(nullptr);
    EXPECT_EQ(GetDIBits(dc, gamma, 0, 16, pixels, &bi, DIB_RGB_COLORS), 16);
    ReleaseDC(nullptr, dc);
    int differing = 0;
    for (int i = 0; i < 16 * 16; ++i)
        differing += (pixels[i] & 0xFFFFFF) != kGammaButtonPalette[kGammaButtonPixels[i]];
    EXPECT_EQ(differing, 0);
    DeleteObject(gamma);
    EXPECT_NE(LoadIconW(module, L"MAINICON"), nullptr);
    EXPECT_NE(FindResourceW(module, MAKEINTRESOURCEW(2), MAKEINTRESOURCEW(24)), nullptr);
}

class SettingsDialogTest : public ::testing::Test {
  protected:
    PrivateSettings settings;
    TFProperties dialog;
    void SetUp() override {
        dialog.show();
        ASSERT_NE(hwndOf(dialog), nullptr);
    }
};

TEST_F(SettingsDialogTest, EditsMirrorCodeAndRunHandlersOnTyping) {
    dialog.Hostname.setText("");
    EXPECT_EQ(textOf(hwndOf(dialog.Hostname)), "");
    EXPECT_FALSE(IsWindowEnabled(hwndOf(dialog.bOK)));
    typeInto(hwndOf(dialog.Hostname), "scanhost");
    EXPECT_EQ(dialog.Hostname.text(), "scanhost");
    // HostnameChange ran: OK is usable, in the widget and on screen.
    EXPECT_TRUE(dialog.bOK.enabled());
    EXPECT_TRUE(IsWindowEnabled(hwndOf(dialog.bOK)));

    // The port takes four digits at most, and only digits, however they arrive.
    dialog.Port.setText("");
    typeInto(hwndOf(dialog.Port), "65x4321");
    EXPECT_EQ(dialog.Port.text(), "6543");
    SetWindowTextW(hwndOf(dialog.Port), L"12a");
    EXPECT_EQ(dialog.Port.text(), "6543");
    EXPECT_EQ(textOf(hwndOf(dialog.Port)), "6543");
}

TEST_F(SettingsDialogTest, CheckBoxesAndRadioButtonsKeepTheirRules) {
    dialog.Options.setActivePage(&dialog.TSStartup);
    dialog.AutoScan.setChecked(true);
    EXPECT_EQ(SendMessageW(hwndOf(dialog.AutoScan), BM_GETCHECK, 0, 0), BST_CHECKED);
    SendMessageW(hwndOf(dialog.AutoPreview), BM_CLICK, 0, 0);
    EXPECT_TRUE(dialog.AutoPreview.checked());
    // AutoPreviewClick cleared the other start option, on screen as well.
    EXPECT_FALSE(dialog.AutoScan.checked());
    EXPECT_EQ(SendMessageW(hwndOf(dialog.AutoScan), BM_GETCHECK, 0, 0), BST_UNCHECKED);

    dialog.Options.setActivePage(&dialog.TSPreview);
    SendMessageW(hwndOf(dialog.UseSpecified), BM_CLICK, 0, 0);
    EXPECT_TRUE(dialog.UseSpecified.checked());
    EXPECT_EQ(SendMessageW(hwndOf(dialog.UseMinimum), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_TRUE(IsWindowEnabled(hwndOf(dialog.Resolution)));
    SendMessageW(hwndOf(dialog.UseMinimum), BM_CLICK, 0, 0);
    EXPECT_FALSE(IsWindowEnabled(hwndOf(dialog.Resolution)));
}

TEST_F(SettingsDialogTest, TabsFollowPagesBothWays) {
    HWND tabs = hwndOf(dialog.Options);
    EXPECT_EQ(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), 6);
    dialog.Options.setActivePage(&dialog.TSGeneral);
    EXPECT_EQ(SendMessageW(tabs, TCM_GETCURSEL, 0, 0), 2);
    EXPECT_TRUE(IsWindowVisible(hwndOf(dialog.TSGeneral)));
    EXPECT_FALSE(IsWindowVisible(hwndOf(dialog.TSConnection)));
    // A click on the fifth tab.
    RECT r{};
    SendMessageW(tabs, TCM_GETITEMRECT, 4, reinterpret_cast<LPARAM>(&r));
    clickAt(tabs, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    EXPECT_EQ(dialog.Options.activePage(), &dialog.TSMail);
    EXPECT_TRUE(IsWindowVisible(hwndOf(dialog.TSMail)));
}

TEST_F(SettingsDialogTest, ModalLoopEndsWithTheButtonsResult) {
    dialog.hide();
    ui::Timer press;
    press.setInterval(100);
    press.onTimer = [&] {
        press.setEnabled(false);
        SendMessageW(hwndOf(dialog.bCancel), BM_CLICK, 0, 0);
    };
    press.setEnabled(true);
    EXPECT_EQ(dialog.showModal(), ui::ModalResult::Cancel);
    EXPECT_FALSE(IsWindowVisible(hwndOf(dialog)));
}

class WidgetFormTest : public ::testing::Test {
  protected:
    WidgetForm form;
    void SetUp() override {
        form.show();
        ASSERT_NE(hwndOf(form), nullptr);
    }
};

TEST_F(WidgetFormTest, ButtonsAndListsMirrorCodeAndReportTheUser) {
    form.check.setState(ui::CheckState::Grayed);
    EXPECT_EQ(SendMessageW(hwndOf(form.check), BM_GETCHECK, 0, 0), BST_INDETERMINATE);
    EXPECT_EQ(form.events.check, 1);  // a change by code runs the handler too
    SendMessageW(hwndOf(form.check), BM_CLICK, 0, 0);
    EXPECT_EQ(form.check.state(), ui::CheckState::Checked);
    EXPECT_EQ(form.events.check, 2);

    SendMessageW(hwndOf(form.radioB), BM_CLICK, 0, 0);
    EXPECT_TRUE(form.radioB.checked());
    EXPECT_FALSE(form.radioA.checked());
    EXPECT_EQ(SendMessageW(hwndOf(form.radioA), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(form.events.radio, 1);

    HWND list = hwndOf(form.list);
    form.list.setItemIndex(2);
    EXPECT_EQ(SendMessageW(list, CB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(form.events.combo, 0);
    // What the list sends when the user picks an entry.
    SendMessageW(list, CB_SETCURSEL, 1, 0);
    SendMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    EXPECT_EQ(form.list.itemIndex(), 1);
    EXPECT_EQ(form.list.text(), "Gray");
    EXPECT_EQ(form.events.combo, 1);

    auto& free = static_cast<ui::ComboBox&>(*form.find("free"));
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetComboBoxInfo(hwndOf(free), &info));
    typeInto(info.hwndItem, "B5");
    EXPECT_EQ(free.text(), "B5");
    EXPECT_EQ(form.events.dropDown, 2);

    form.label.setText("Another text");
    EXPECT_EQ(textOf(hwndOf(form.label)), "Another text");
    clickAt(hwndOf(form.label), 3, 3);
    EXPECT_EQ(form.events.label, 1);
}

TEST_F(WidgetFormTest, BarsMirrorCodeAndReportTheUser) {
    HWND track = hwndOf(form.track);
    form.track.setPosition(25);  // beyond the range: the end
    EXPECT_EQ(SendMessageW(track, TBM_GETPOS, 0, 0), 20);
    int changes = form.events.track;
    SetFocus(track);
    SendMessageW(track, WM_KEYDOWN, VK_LEFT, 0);
    SendMessageW(track, WM_KEYUP, VK_LEFT, 0);
    EXPECT_EQ(form.track.position(), 19);
    EXPECT_EQ(form.events.track, changes + 1);
    EXPECT_EQ(form.events.trackEnd, 1);  // the key's release ends its move
    SendMessageW(track, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(track, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(form.events.trackDown, 1);
    EXPECT_EQ(form.events.trackUp, 1);
    EXPECT_EQ(form.events.trackEnd, 1) << "a mouse move ends with the release alone";
    int before = form.track.position();
    SendMessageW(track, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_EQ(form.track.position(), before - 1);  // a notch forward, a line back
    EXPECT_EQ(form.events.trackEnd, 2);

    form.progress.setPosition(75);
    EXPECT_EQ(SendMessageW(hwndOf(form.progress), PBM_GETPOS, 0, 0), 75);
    form.status.setText("Scanning");
    wchar_t text[64] = {};
    SendMessageW(hwndOf(form.status), SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, L"Scanning");

    HWND bar = hwndOf(form.toolBar);
    EXPECT_EQ(SendMessageW(hwndOf(form.coolBar), RB_GETBANDCOUNT, 0, 0), 1);
    EXPECT_EQ(form.coolBar.height(), SendMessageW(hwndOf(form.coolBar), RB_GETBARHEIGHT, 0, 0));
    // Buttons are found by their command identifiers, the buttons' places among the children.
    RECT r{};
    ASSERT_TRUE(SendMessageW(bar, TB_GETRECT, 2, reinterpret_cast<LPARAM>(&r)));
    clickAt(bar, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    EXPECT_TRUE(soon([&] { return form.regions.down(); }));
    EXPECT_EQ(form.events.tool, 1);
    EXPECT_TRUE(SendMessageW(bar, TB_ISBUTTONCHECKED, 2, 0));
    form.scan.setEnabled(false);
    EXPECT_FALSE(SendMessageW(bar, TB_ISBUTTONENABLED, 1, 0));
}

// The rebar places the bands' controls itself; the toolkit learns where, so that the control under
// the pointer is found where the user sees it.
TEST(Win32Toolkit, ToolBarsInACoolBarAreWhereTheNativeBarPutThem) {
    ui::Form form;
    form.setClientSize(420, 200);
    ui::CoolBar& dock = form.add<ui::CoolBar>();
    std::vector<ui::ToolBar*> bars;
    for (const char* text : {"", "Mode:", "Device:", "depth:"}) {
        ui::ToolBar& bar = dock.add<ui::ToolBar>();
        ui::ComboBox& box = bar.add<ui::ComboBox>(ui::ComboStyle::DropDownList);
        box.setBounds(0, 0, 80, 21);
        bar.setHeight(24);
        bar.layoutButtons();
        dock.addBand(bar, text).breakLine = bars.size() != 3;
        bars.push_back(&bar);
    }
    form.show();
    const auto nativeAndToolkitAgree = [&](const char* when) {
        for (ui::ToolBar* bar : bars) {
            RECT r;
            GetWindowRect(hwndOf(*bar), &r);
            const ui::Rect model = bar->screenRect();
            EXPECT_EQ((std::vector<long>{model.left, model.top, model.right}),
                      (std::vector<long>{r.left, r.top, r.right}))
                << "band " << dock.bandOf(*bar)->text << " " << when;
        }
        EXPECT_GT(bars[3]->left(), bars[2]->left() + 80) << "the last band joins the row";
        EXPECT_GT(bars[2]->top(), bars[1]->top());
    };
    ASSERT_TRUE(soon([&] { return IsWindowVisible(hwndOf(form)); }));
    nativeAndToolkitAgree("when shown");
    dock.band(2).width = 200;
    dock.bandsChanged();
    nativeAndToolkitAgree("after a new band width");
    form.setClientSize(600, 200);
    ui::processPendingMessages();
    nativeAndToolkitAgree("in a wider form");
}

TEST_F(WidgetFormTest, MovingTheFormGoesThroughItsHandlers) {
    HWND h = hwndOf(form);
    RECT proposed{10, 20, 110, 220};
    EXPECT_FALSE(SendMessageW(h, WM_MOVING, 0, reinterpret_cast<LPARAM>(&proposed)))
        << "without a handler the system moves the window";
    int ended = 0;
    form.onMoving = [](ui::Rect& r) {
        r.left = r.top = 0;  // snapped to the corner, size kept
        return true;
    };
    form.onMoveEnded = [&] { ++ended; };
    EXPECT_TRUE(SendMessageW(h, WM_MOVING, 0, reinterpret_cast<LPARAM>(&proposed)));
    EXPECT_EQ(proposed.left, 0);
    EXPECT_EQ(proposed.top, 0);
    EXPECT_EQ(proposed.right, 110);
    SendMessageW(h, WM_EXITSIZEMOVE, 0, 0);
    EXPECT_EQ(ended, 1);
}

// A page torn off the window: moved with the pointer away from its page control it hangs from the
// pointer at its top edge, and over the page control it snaps onto it.
TEST(Win32Toolkit, AFloatingPageHangsFromThePointerAwayFromItsHome) {
    ui::Form window;
    window.setBounds(100, 100, 320, 320);
    ui::PageControl& home = window.add<ui::PageControl>();
    home.setBounds(10, 10, 200, 200);
    home.addPage("Preview");
    ui::TabSheet& options = home.addPage("Options");
    window.show();
    TFFloat floating(home);
    floating.floatPage(options);
    floating.setBounds(520, 400, 210, 160);
    floating.show();
    HWND h = hwndOf(floating);
    ASSERT_TRUE(soon([&] { return IsWindowVisible(h) != FALSE; }));
    const ui::Rect target = home.screenRect();

    const ui::Point away{target.right + 60, target.bottom + 40};
    ASSERT_TRUE(SetCursorPos(away.x, away.y));
    ASSERT_TRUE(soon([&] { return ui::backend().cursorPos() == away; }));
    RECT proposed{480, 380, 690, 540};
    SendMessageW(h, WM_MOVING, 0, reinterpret_cast<LPARAM>(&proposed));
    EXPECT_FALSE(floating.overHome);
    EXPECT_EQ((std::vector<long>{proposed.left, proposed.top, proposed.right, proposed.bottom}),
              (std::vector<long>{480, away.y, 480 + floating.width(), away.y + floating.height()}));

    const ui::Point over{target.left + 20, target.top + 20};
    ASSERT_TRUE(SetCursorPos(over.x, over.y));
    ASSERT_TRUE(soon([&] { return ui::backend().cursorPos() == over; }));
    proposed = RECT{480, 380, 690, 540};
    EXPECT_TRUE(SendMessageW(h, WM_MOVING, 0, reinterpret_cast<LPARAM>(&proposed)));
    EXPECT_TRUE(floating.overHome);
    EXPECT_EQ((std::vector<long>{proposed.left, proposed.top, proposed.right, proposed.bottom}),
              (std::vector<long>{target.left, target.top, target.right, target.bottom}));
}

TEST(Win32Toolkit, GammaToolBarShowsTheCurveToolPictures) {
    TGammaForm gamma;
    gamma.show();
    HWND bar = hwndOf(gamma.ToolBar);
    ASSERT_NE(bar, nullptr);
    const auto picture = [&](const ui::ToolButton& b) {
        TBBUTTONINFOW info{};
        info.cbSize = sizeof info;
        info.dwMask = TBIF_IMAGE;
        for (std::size_t i = 0; i < gamma.ToolBar.childCount(); ++i)
            if (&gamma.ToolBar.child(i) == &b)
                SendMessageW(bar, TB_GETBUTTONINFOW, i + 1, reinterpret_cast<LPARAM>(&info));
        return info.iImage;
    };
    EXPECT_EQ(picture(gamma.bSpline), static_cast<int>(ui::ToolImage::Spline));
    EXPECT_EQ(picture(gamma.bStraight), static_cast<int>(ui::ToolImage::Straight));
    EXPECT_EQ(picture(gamma.bLine), static_cast<int>(ui::ToolImage::Segments));
    EXPECT_EQ(picture(gamma.bGamma), static_cast<int>(ui::ToolImage::Gamma));

    // The first two buttons' command ids equal IDOK and IDCANCEL: they switch the mode and
    // leave the modal editor open.
    ui::Timer press;
    press.setInterval(100);
    std::vector<bool> open;
    press.onTimer = [&] {
        press.setEnabled(false);
        for (ui::ToolButton* b : {&gamma.bLine, &gamma.bSpline, &gamma.bStraight}) {
            RECT r{};
            SendMessageW(bar, TB_GETITEMRECT, *gamma.ToolBar.indexOf(*b),
                         reinterpret_cast<LPARAM>(&r));
            clickAt(bar, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
            ui::processPendingMessages();
            open.push_back(b->down() && IsWindowVisible(hwndOf(gamma)));
        }
        SendMessageW(hwndOf(gamma.bOK), BM_CLICK, 0, 0);
    };
    gamma.hide();
    press.setEnabled(true);
    EXPECT_EQ(gamma.showModal(), ui::ModalResult::Ok);
    EXPECT_EQ(open, (std::vector<bool>{true, true, true}));
}

TEST_F(WidgetFormTest, FocusAndKeysGoThroughTheFormsRules) {
    ASSERT_TRUE(soon([&] { return GetActiveWindow() == hwndOf(form); }));
    ASSERT_TRUE(form.edit.setFocus());
    EXPECT_EQ(GetFocus(), hwndOf(form.edit));
    SetFocus(hwndOf(form.check));
    EXPECT_EQ(form.activeControl(), &form.check);
    EXPECT_EQ(form.events.exit, 1);

    // Enter reaches the form through dialog navigation, as DAT_EVENT offers it.
    form.edit.setFocus();
    MSG enter{};
    enter.hwnd = hwndOf(form.edit);
    enter.message = WM_KEYDOWN;
    enter.wParam = VK_RETURN;
    EXPECT_TRUE(platform::offerDialogMessage(&enter));
    EXPECT_EQ(form.events.ok, 1);
    MSG other = enter;
    other.hwnd = GetDesktopWindow();
    EXPECT_FALSE(platform::offerDialogMessage(&other));

    // Escape typed into a combo box's own edit reaches the form's rules too.
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetComboBoxInfo(hwndOf(*form.find("free")), &info));
    SendMessageW(info.hwndItem, WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_EQ(form.events.cancel, 1);

    // Escape in a modal run: the cancel button ends it.
    form.hide();
    ui::Timer press;
    press.setInterval(100);
    press.onTimer = [&] {
        press.setEnabled(false);
        PostMessageW(hwndOf(form.edit), WM_KEYDOWN, VK_ESCAPE, 1);
    };
    press.setEnabled(true);
    EXPECT_EQ(form.showModal(), ui::ModalResult::Cancel);
    EXPECT_EQ(form.events.cancel, 2);
}

TEST_F(WidgetFormTest, PaintBoxShowsTheCanvasPicture) {
    form.pages.setActivePage(&form.pages.page(1));
    form.paint.repaint();
    HWND h = hwndOf(form.paint);
    ASSERT_TRUE(soon([&] { return IsWindowVisible(h) != FALSE; }));
    UpdateWindow(h);
    HDC dc = GetDC(h);
    int same = 0, checked = 0;
    for (int y = 0; y < 160; y += 7)
        for (int x = 0; x < 240; x += 7) {
            ++checked;
            COLORREF shown = GetPixel(dc, x, y);
            ui::Color model = form.paint.surface().pixel(x, y);
            int dr = std::abs(int(GetRValue(shown)) - int((model >> 16) & 255));
            int dg = std::abs(int(GetGValue(shown)) - int((model >> 8) & 255));
            int db = std::abs(int(GetBValue(shown)) - int(model & 255));
            same += dr + dg + db <= 24;
        }
    ReleaseDC(h, dc);
    // GDI+ and the canvas agree but for a few edge pixels of lines and dashes.
    EXPECT_GT(same, checked * 9 / 10) << same << " of " << checked;
}

TEST(Win32Toolkit, AboutBoxShowsTheModulesIcon) {
    TFAbout about([](const std::string&) { return true; });
    about.show();
    HWND h = hwndOf(about.IProduct);
    ASSERT_TRUE(soon([&] { return IsWindowVisible(h) != FALSE; }));
    UpdateWindow(h);
    HDC dc = GetDC(h);
    const ui::Surface drawn = ui::drawToolImage(ui::kProductImage, 32);
    int differing = 0, painted = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const ui::Color want = drawn.pixel(x, y) & 0xFFFFFF;
            if (want == (ui::kPictureTransparent & 0xFFFFFF)) continue;
            ++painted;
            const COLORREF shown = GetPixel(dc, x, y);
            differing += RGB((want >> 16) & 255, (want >> 8) & 255, want & 255) != shown;
        }
    ReleaseDC(h, dc);
    EXPECT_GT(painted, 100);
    EXPECT_EQ(differing, 0);
}

struct GammaOwner : ControlOwner {
    TGammaForm& gammaEditor() override { return editor; }
    TGammaForm editor;
};

// The caption of an inactive option is drawn in the system's colour of disabled text, which
// Windows 10's colours keep grey; their inactive caption text is black. The test
// wine-caption-colour runs this with those colours in its prefix (TARNWICK_WINE_COLOURS).
TEST(Win32Toolkit, AnInactiveOptionsCaptionIsGreyInTheSystemsColours) {
    ui::Form form;
    form.setClientSize(400, 100);
    ui::Panel& page = form.add<ui::Panel>();
    page.setAlign(ui::Align::Client);
    GammaOwner owner;
    NumberOption active(1, "gain", "Gain", "", 0, 4, SANE_CAP_SOFT_SELECT, nullptr);
    NumberOption inactive(2, "speed", "Speed", "", 0, 4, SANE_CAP_SOFT_SELECT | SANE_CAP_INACTIVE,
                          nullptr);
    for (NumberOption* option : {&active, &inactive}) {
        option->createControl(owner, page, false);
        ASSERT_NE(option->captionLabel(), nullptr);
    }
    form.show();
    const auto captionColour = [&](NumberOption& option) {
        HWND caption = hwndOf(*option.captionLabel());
        HDC dc = CreateCompatibleDC(nullptr);
        SendMessageW(GetParent(caption), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(caption));
        const COLORREF colour = GetTextColor(dc);
        DeleteDC(dc);
        return colour;
    };
    EXPECT_EQ(captionColour(active), GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(captionColour(inactive), GetSysColor(COLOR_GRAYTEXT));
    EXPECT_NE(captionColour(inactive), captionColour(active));
    const char* scheme = std::getenv("TARNWICK_WINE_COLOURS");
    if (scheme && std::string(scheme) == "windows10") {
        EXPECT_EQ(GetSysColor(COLOR_INACTIVECAPTIONTEXT), RGB(0, 0, 0)) << "Windows 10's colours";
        EXPECT_EQ(captionColour(active), RGB(0, 0, 0));
        EXPECT_EQ(captionColour(inactive), RGB(109, 109, 109));
    }
}

// The text a tooltip of the thread would show for the control (empty when none has it).
std::wstring tipText(HWND form, HWND control) {
    struct Search {
        HWND form, control;
        std::wstring text;
    } search{form, control, {}};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND h, LPARAM l) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(l);
            wchar_t name[64] = {}, text[256] = {};
            GetClassNameW(h, name, 64);
            if (lstrcmpiW(name, TOOLTIPS_CLASSW) != 0) return TRUE;
            TTTOOLINFOW tool{};
            tool.cbSize = sizeof tool;
            tool.hwnd = s.form;
            tool.uId = reinterpret_cast<UINT_PTR>(s.control);
            tool.lpszText = text;
            SendMessageW(h, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
            s.text = text;
            return s.text.empty();
        },
        reinterpret_cast<LPARAM>(&search));
    return search.text;
}

TEST_F(WidgetFormTest, TabReachesToolButtonsAndTheBoxesOnTheBar) {
    ASSERT_TRUE(soon([&] { return GetActiveWindow() == hwndOf(form); }));
    HWND bar = hwndOf(form.toolBar);
    EXPECT_EQ(GetNextDlgTabItem(hwndOf(form), nullptr, FALSE), bar);
    SetFocus(bar);
    EXPECT_EQ(SendMessageW(bar, TB_GETHOTITEM, 0, 0), 0);
    SendMessageW(bar, WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_EQ(form.events.tool, 1);  // Scan, the first button
    SendMessageW(bar, WM_KEYDOWN, VK_TAB, 1);
    EXPECT_EQ(GetFocus(), hwndOf(form.zoom));
    EXPECT_FALSE(IsChild(bar, GetNextDlgTabItem(hwndOf(form), hwndOf(form.zoom), FALSE)));
}

TEST_F(WidgetFormTest, HintsShowAsTooltipsOfTheForm) {
    HWND check = hwndOf(form.check);
    form.check.setHint("Greyed stands for automatic");
    SendMessageW(check, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
    EXPECT_EQ(tipText(hwndOf(form), check), L"Greyed stands for automatic");
    form.check.setHint("Translated meanwhile");
    EXPECT_EQ(tipText(hwndOf(form), check), L"Translated meanwhile");
}

TEST_F(WidgetFormTest, ScrollBarsFollowTheContentAtOnce) {
    form.pages.setActivePage(&form.pages.page(1));
    HWND box = hwndOf(form.scroll);
    RECT whole{};
    GetClientRect(box, &whole);
    const auto bars = [&](int width, int height) {
        form.paint.setBounds(0, 0, width, height);
        LONG style = GetWindowLongW(box, GWL_STYLE);
        return std::pair((style & WS_HSCROLL) != 0, (style & WS_VSCROLL) != 0);
    };
    EXPECT_EQ(bars(600, 100), std::pair(true, false));
    EXPECT_EQ(bars(600, 400), std::pair(true, true));
    SendMessageW(box, WM_HSCROLL, SB_PAGEDOWN, 0);
    EXPECT_GT(form.scroll.scrollPosition().x, 0);
    // What fills the box exactly needs no bar, whatever was shown before; nothing needs none.
    EXPECT_EQ(bars(whole.right, whole.bottom), std::pair(false, false));
    EXPECT_EQ(form.scroll.scrollPosition().x, 0) << "what fits is shown from its start";
    EXPECT_EQ(bars(whole.right - 30, whole.bottom + 1), std::pair(false, true));
    EXPECT_EQ(bars(0, 0), std::pair(false, false));
}

TEST_F(WidgetFormTest, TimersMenusAndInputBoxesRunThroughThePlatform) {
    ui::Timer timer;
    int fired = 0;
    timer.setInterval(30);
    timer.onTimer = [&] { ++fired; };
    timer.setEnabled(true);
    EXPECT_TRUE(soon([&] { return fired >= 2; }));
    timer.setEnabled(false);

    // The menu takes the keys waiting in the queue: the first entry is chosen.
    SetForegroundWindow(hwndOf(form));
    PostMessageW(hwndOf(form), WM_KEYDOWN, VK_DOWN, 1);
    PostMessageW(hwndOf(form), WM_KEYDOWN, VK_RETURN, 1);
    form.menu.popup({100, 100});
    EXPECT_EQ(form.events.menu, 0);  // the choice arrives after the call
    EXPECT_TRUE(soon([&] { return form.events.menu == 1; }));
    EXPECT_TRUE(form.menu.item(0).checked());

    ui::Timer answer;
    answer.setInterval(100);
    answer.onTimer = [&] {
        answer.setEnabled(false);
        HWND box = GetActiveWindow();
        HWND edit = FindWindowExW(box, nullptr, WC_EDITW, nullptr);
        SendMessageW(edit, EM_SETSEL, 0, -1);
        SendMessageW(edit, WM_CHAR, VK_BACK, 1);
        typeInto(edit, "4");
        PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 1);
    };
    answer.setEnabled(true);
    EXPECT_EQ(ui::inputBox("Number of pages", "Number of pages", "1"), "4");
}

TEST(Win32Toolkit, WindowsUseCommonControlsSixAndClassesGoWithTheLastWindow) {
    HINSTANCE module = platform::ownModuleHandle();
    {
        WidgetForm form;
        form.show();
        SIZE ideal{};
        // Only the version 6 button knows its ideal size.
        EXPECT_TRUE(
            SendMessageW(hwndOf(form.ok), BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal)));
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        EXPECT_TRUE(GetClassInfoExW(module, L"TarnwickForm", &wc));
    }
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    EXPECT_FALSE(GetClassInfoExW(module, L"TarnwickForm", &wc));
}

}  // namespace
}  // namespace tarnwick::wine
