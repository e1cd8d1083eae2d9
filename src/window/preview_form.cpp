// The scanning window's layout: every control, its texts, menus and bound handlers.
#include <exception>

#include "base/scoped_value.h"
#include "base/translate.h"
#include "settings/properties.h"
#include "widgets/float_form.h"
#include "window/preview_form.h"

namespace tarnwick {

namespace {

ui::MenuItem& addAfterSeparator(ui::PopupMenu& menu, const std::string& caption) {
    menu.add("-");
    return menu.add(caption);
}

ui::TabSheet& firstPage(ui::PageControl& pages, const std::string& caption) {
    return pages.addPage(caption);
}

}  // namespace

bool TFPreview::firstActivation = true;
int TFPreview::dashOffset = 0;

TFPreview::TFPreview(ScanSession& session, std::unique_ptr<PropertiesServices> propertiesServices,
                     TFAbout::Opener open)
    : session_(session),
      regions(session.regions),
      TopDock(add<ui::CoolBar>()),
      TZoom(TopDock.add<ui::ToolBar>()),
      BScan(TZoom.addButton(N_("Scan image"))),
      BPreview(TZoom.addButton(N_("Acquire preview"))),
      BMail(TZoom.addButton(N_("Scan to mail"))),
      BEvernote(TZoom.addButton(N_("Scan to Evernote"))),
      BPrint(TZoom.addButton(N_("Print scanned regions"), ui::ToolButtonStyle::DropDown)),
      BRegions(TZoom.addButton(N_("Common regions"), ui::ToolButtonStyle::DropDown)),
      Zoom(TZoom.add<ui::ComboBox>(ui::ComboStyle::DropDown)),
      BProperties(TZoom.addButton(N_("Tarnwick settings"))),
      BHelp(TZoom.addButton(N_("About"))),
      BTwitter(TZoom.addButton(N_("Twitter"))),
      TScanMode(TopDock.add<ui::ToolBar>()),
      TResolution(TopDock.add<ui::ToolBar>()),
      TDevice(TopDock.add<ui::ToolBar>()),
      Devices(TDevice.add<ui::ComboBox>(ui::ComboStyle::DropDown)),
      PreviewAndOptions(add<ui::PageControl>()),
      Preview(PreviewAndOptions.addPage(N_("Preview"))),
      Options(PreviewAndOptions.addPage(N_("Options"))),
      ImageScrollBox(Preview.add<ui::ScrollBox>()),
      PaintBox(ImageScrollBox.add<ui::PaintBox>()),
      OptionPages(Options.add<ui::PageControl>()),
      TabSheet2(firstPage(OptionPages, N_("Generic"))),
      StatusBar(add<ui::StatusBar>()),
      ProgressBar(StatusBar.add<ui::ProgressBar>()),
      OkPanel(add<ui::Panel>()),
      BOk(OkPanel.add<ui::Button>()),
      RegionPopup(addMenu("RegionPopup")),
      DeleteRegion(RegionPopup.add(N_("Delete"))),
      MenuFindfit(addAfterSeparator(RegionPopup, N_("Find fit"))),
      RegionsOnly(addMenu("RegionsOnly")),
      Findfit2(RegionsOnly.add(N_("Find fit"))),
      OptionsPopup(addMenu("OptionsPopup")),
      LargeIcons(OptionsPopup.add(N_("Use large icons"))),
      Printers(addMenu("Printers")),
      propertiesServices_(std::move(propertiesServices)),
      open_(std::move(open)) {
    setName("FPreview");
    setCaption(N_("Tarnwick interface"));
    setKeyPreview(true);
    setClientSize(scaled(361), scaled(599));

    TopDock.setName("TopDock");
    const std::pair<ui::ToolBar*, const char*> bars[] = {{&TZoom, "TZoom"},
                                                         {&TScanMode, "TScanMode"},
                                                         {&TResolution, "TResolution"},
                                                         {&TDevice, "TDevice"}};
    for (auto [bar, name] : bars) {
        bar->setName(name);
        bar->setPopupMenu(&OptionsPopup);
        TopDock.addBand(*bar);
    }
    TScanMode.setHint(N_("Scan mode"));
    TResolution.setHint(N_("Scan resolution"));
    TDevice.setHint(N_("Device"));
    TScanMode.setVisible(false);
    TResolution.setVisible(false);

    // Each button shows the picture of its role.
    const struct {
        ui::ToolButton* button;
        const char* name;
        ui::ToolImage image;
    } buttons[] = {{&BScan, "BScan", ui::ToolImage::Scan},
                   {&BPreview, "BPreview", ui::ToolImage::Preview},
                   {&BMail, "BMail", ui::ToolImage::Mail},
                   {&BEvernote, "BEvernote", ui::ToolImage::Evernote},
                   {&BPrint, "BPrint", ui::ToolImage::Print},
                   {&BRegions, "BRegions", ui::ToolImage::Regions},
                   {&BProperties, "BProperties", ui::ToolImage::Settings},
                   {&BHelp, "BHelp", ui::ToolImage::About},
                   {&BTwitter, "BTwitter", ui::ToolImage::Web}};
    for (auto [button, name, image] : buttons) {
        button->setName(name);
        button->setImageIndex(static_cast<int>(image));
    }
    BMail.setVisible(false);
    BEvernote.setVisible(false);
    BPrint.setVisible(false);
    BPrint.setDropdownMenu(&Printers);
    BRegions.setDropdownMenu(&RegionsOnly);

    Zoom.setName("Zoom");
    Zoom.setHint(N_("Zoom preview"));
    Zoom.setItems(
        {N_("25%"), N_("50%"), N_("75%"), N_("100%"), N_("Whole page"), N_("Page width")});
    Zoom.setItemIndex(4);
    Zoom.setWidth(scaled(90));

    Devices.setName("Devices");
    Devices.setWidth(scaled(145));
    // Device names are the daemon's, not texts of the program.
    Devices.setTranslateParts(ui::TranslateHint);

    PreviewAndOptions.setName("PreviewAndOptions");
    PreviewAndOptions.setAlign(ui::Align::Client);
    Preview.setName("Preview");
    Options.setName("Options");
    PreviewAndOptions.setActivePage(&Preview);
    ImageScrollBox.setName("ImageScrollBox");
    ImageScrollBox.setAlign(ui::Align::Client);
    PaintBox.setName("PaintBox");
    OptionPages.setName("OptionPages");
    OptionPages.setAlign(ui::Align::Client);
    TabSheet2.setName("TabSheet2");
    OptionPages.setActivePage(&TabSheet2);

    StatusBar.setName("StatusBar");
    ProgressBar.setName("ProgressBar");
    ProgressBar.setAlign(ui::Align::Client);
    ProgressBar.setVisible(false);

    OkPanel.setName("OkPanel");
    OkPanel.setBounds(0, 0, scaled(361), scaled(37));
    OkPanel.setAlign(ui::Align::Bottom);
    OkPanel.setVisible(false);
    BOk.setName("BOk");
    BOk.setText(N_("OK"));
    BOk.setBounds(scaled(8), scaled(6), scaled(75), scaled(25));

    Timer.setInterval(500);
    WaitForState5.setInterval(250);

    DeleteRegion.setName("DeleteRegion");
    DeleteRegion.setEnabled(false);
    MenuFindfit.setName("MenuFindfit");
    Findfit2.setName("Findfit2");
    for (const char* size : sizePresetNames()) {
        RegionPopup.add(size);
        RegionsOnly.add(size);
    }
    LargeIcons.setName("LargeIcons");
    LargeIcons.setAutoCheck(true);
    OptionsPopup.add("-");

    bindHandlers();
    session_.setObserver(this);
    FormCreate();
}

template <class F>
void TFPreview::guarded(F&& handler) {
    const base::ScopedValue running(handlersRunning, handlersRunning + 1);
    try {
        handler();
    } catch (const std::exception& e) {
        reportStatus(e.what(), false, false);
    }
}

void TFPreview::bindHandlers() {
    onActivate = [this] { FormActivate(); };
    onShow = [this] { guarded([this] { FormShow(); }); };
    // Pages torn off come home: their windows would stay on the screen without the window.
    onHide = [this] { dockFloats(); };
    onClose = [this](ui::CloseAction& action) { guarded([&] { FormClose(action); }); };
    onKeyDown = [this](ui::KeyEvent& e) { guarded([&] { FormKeyDown(e); }); };
    onMouseDown = [this](const ui::MouseEvent& e) { FormMouseDown(e); };
    // On a monitor of another DPI the sizes taken from texts are measured again.
    onDpiChanged = [this] {
        guarded([this] {
            setBandTexts();
            Zoom.fitWidthToItems(scaled(90));
            alignOptionColumns();
            FormResize();
        });
    };

    for (ui::ToolButton* scan : {&BScan, &BMail, &BEvernote, &BPrint})
        scan->onClick = [this] { guarded([this] { BScanClick(); }); };
    BPreview.onClick = [this] { guarded([this] { BPreviewClick(); }); };
    BProperties.onClick = [this] { guarded([this] { BPropertiesClick(); }); };
    BHelp.onClick = [this] { guarded([this] { BHelpClick(); }); };
    BTwitter.onClick = [this] { guarded([this] { BTwitterClick(); }); };
    BOk.onClick = [this] { guarded([this] { BOkClick(); }); };
    Zoom.onChange = [this] { guarded([this] { ZoomChange(); }); };
    // A name is opened when picked, on Enter or on leaving the box, not per keystroke.
    Devices.onSelect = [this] { guarded([this] { DevicesChange(); }); };
    Devices.onExit = [this] {
        if (Devices.text() != deviceName) guarded([this] { DevicesChange(); });
    };
    Devices.onKeyDown = [this](ui::KeyEvent& e) {
        if (e.key != ui::key::Enter) return;
        e.key = 0;
        guarded([this] { DevicesChange(); });
    };

    PreviewAndOptions.onMouseDown = [this](const ui::MouseEvent& e) {
        guarded([&] { PreviewAndOptionsMouseDown(e); });
    };
    PreviewAndOptions.onMouseMove = [this](const ui::MouseEvent& e) {
        guarded([&] { PreviewAndOptionsMouseMove(e); });
    };
    PreviewAndOptions.onMouseUp = [this](const ui::MouseEvent& e) {
        guarded([&] { PreviewAndOptionsMouseUp(e); });
    };
    TabSheet2.onMouseDown = [this](const ui::MouseEvent&) { TransferFocus(TabSheet2); };

    PaintBox.onMouseDown = [this](const ui::MouseEvent& e) { guarded([&] { ImageMouseDown(e); }); };
    PaintBox.onMouseMove = [this](const ui::MouseEvent& e) { guarded([&] { ImageMouseMove(e); }); };
    PaintBox.onMouseUp = [this](const ui::MouseEvent& e) { guarded([&] { ImageMouseUp(e); }); };
    PaintBox.onPaint = [this](ui::Canvas&) { guarded([this] { paintPreview(); }); };

    Timer.onTimer = [this] { guarded([this] { TimerTimer(); }); };
    WaitForState5.onTimer = [this] { guarded([this] { WaitForState5Timer(); }); };

    DeleteRegion.onClick = [this](ui::MenuItem&) { guarded([this] { DeleteRegionClick(); }); };
    for (ui::PopupMenu* menu : {&RegionPopup, &RegionsOnly})
        for (std::size_t i = 0; i < menu->count(); ++i) {
            ui::MenuItem& entry = menu->item(i);
            if (&entry == &DeleteRegion || entry.separator()) continue;
            entry.onClick = [this](ui::MenuItem& item) { guarded([&] { SizePreset(item); }); };
        }
    LargeIcons.onClick = [this](ui::MenuItem&) { guarded([this] { LargeIconsClick(true); }); };
}

void TFPreview::boundsChanged() {
    ui::Form::boundsChanged();
    // Sizes set while the layout is built come before the window's state exists.
    if (FProperties) guarded([this] { FormResize(); });
}

}  // namespace tarnwick
