#include "sample_forms.h"

#include <cmath>
#include <filesystem>
#include <vector>

#include <windows.h>

#include "gamma/gamma_form.h"
#include "settings/properties.h"
#include "ui/tool_pictures.h"
#include "ui/win32/peers.h"
#include "widgets/about_form.h"

namespace tarnwick::wine {

namespace {

// What a search of the office network finds: a saned host and a network scanner.
class OfficeServices : public PropertiesServices {
  public:
    std::vector<FoundService> findSaneHosts() override {
        FoundService host;
        host.instance = "saned";
        host.host = "scanhost.local";
        host.addresses = {"169.254.66.1"};
        host.port = 6566;
        FoundService scanner = host;
        scanner.kind = ServiceKind::escl;
        scanner.instance = "Office MFP";
        scanner.host = "mfp.local";
        scanner.addresses = {"169.254.66.2"};
        scanner.port = 80;
        scanner.txt = {{"ty", "Office MFP 4200"}, {"rs", "eSCL"}};
        return {host, scanner};
    }
};

template <class T, class... Args>
T& placed(ui::Container& parent, int left, int top, int width, int height, Args&&... args) {
    T& c = parent.add<T>(std::forward<Args>(args)...);
    c.setBounds(left, top, width, height);
    return c;
}

ui::ToolButton& toolButton(ui::ToolBar& bar, const char* hint, ui::ToolImage image,
                           ui::ToolButtonStyle style = ui::ToolButtonStyle::Button) {
    ui::ToolButton& b = bar.addButton(hint, style);
    b.setImageIndex(static_cast<int>(image));
    return b;
}

}  // namespace

WidgetForm::WidgetForm()
    : coolBar(add<ui::CoolBar>()),
      toolBar(placed<ui::ToolBar>(coolBar, 0, 0, 200, 22)),
      scan(toolButton(toolBar, "Scan image", ui::ToolImage::Scan)),
      regions(toolButton(toolBar, "Common regions", ui::ToolImage::Regions,
                         ui::ToolButtonStyle::Check)),
      settings(toolButton(toolBar, "Settings", ui::ToolImage::Settings)),
      zoom(placed<ui::ComboBox>(toolBar, 0, 0, 90, 21)),
      pages(placed<ui::PageControl>(*this, 8, 40, 300, 230)),
      label(placed<ui::Label>(pages.addPage("Controls"), 8, 8, 200, 16)),
      check(placed<ui::CheckBox>(*pages.activePage(), 8, 30, 200, 17)),
      radioA(placed<ui::RadioButton>(*pages.activePage(), 8, 52, 120, 17)),
      radioB(placed<ui::RadioButton>(*pages.activePage(), 140, 52, 120, 17)),
      edit(placed<ui::Edit>(*pages.activePage(), 8, 76, 120, 21)),
      list(placed<ui::ComboBox>(*pages.activePage(), 140, 76, 120, 21)),
      track(placed<ui::TrackBar>(*pages.activePage(), 8, 104, 250, 32)),
      group(placed<ui::Panel>(*pages.activePage(), 8, 140, 270, 50)),
      scroll(placed<ui::ScrollBox>(pages.addPage("Picture"), 4, 4, 280, 190)),
      paint(placed<ui::PaintBox>(scroll, 0, 0, 240, 160)),
      status(add<ui::StatusBar>()),
      progress(placed<ui::ProgressBar>(status, 200, 2, 150, 15)),
      ok(placed<ui::Button>(*this, 320, 48, 75, 25)),
      cancel(placed<ui::Button>(*this, 320, 80, 75, 25)),
      menu(addMenu("WidgetMenu")) {
    setName("FWidgets");
    setCaption("Every widget");
    setBorderStyle(ui::BorderStyle::Dialog);
    setClientSize(410, 300);
    centerOnScreen();
    coolBar.addBand(toolBar, "Tools");
    toolBar.layoutButtons();
    zoom.setItems({"25%", "50%", "100%", "Whole page"});
    zoom.setItemIndex(3);
    label.setText("Manual: a label that can be clicked");
    label.onClick = [this] { ++events.label; };
    check.setText("Greyed, checked or not");
    check.setAllowGrayed(true);
    check.onClick = [this] { ++events.check; };
    radioA.setText("First");
    radioB.setText("Second");
    radioA.setChecked(true);
    radioB.onClick = [this] { ++events.radio; };
    edit.setText("100");
    edit.setInput(ui::EditInput::Integer);
    edit.onExit = [this] { ++events.exit; };
    list.setItems({"Lineart", "Gray", "Color"});
    list.setItemIndex(0);
    list.onChange = [this] { ++events.combo; };
    track.setRange(0, 20);
    track.setPosition(5);
    track.setMouseNotifications(true);
    track.onChange = [this] { ++events.track; };
    track.onMouseDown = [this](const ui::MouseEvent&) { ++events.trackDown; };
    track.onMouseUp = [this](const ui::MouseEvent&) { ++events.trackUp; };
    track.onMoveEnded = [this] { ++events.trackEnd; };
    group.setText("Group");
    placed<ui::Label>(group, 10, 20, 120, 16).setText("Inside a group");
    ui::ComboBox& free = placed<ui::ComboBox>(group, 140, 18, 120, 21, ui::ComboStyle::DropDown);
    free.setName("free");
    free.setItems({"Letter", "A4"});
    free.onChange = [this] { ++events.dropDown; };
    scan.onClick = [this] { ++events.tool; };
    regions.onClick = [this] { ++events.tool; };
    pages.onChange = [this] { ++events.page; };
    paint.onPaint = [this](ui::Canvas& c) {
        ++events.paint;
        c.fillRect({0, 0, 240, 160}, ui::rgb(255, 255, 255));
        c.fillRect({20, 20, 120, 100}, ui::rgb(0, 120, 215));
        c.fillRect({60, 60, 200, 140}, ui::argb(128, 255, 0, 0));
        c.outline({10, 10, 230, 150}, ui::Pen{ui::rgb(0, 0, 0), 2, {3, 2}, 1});
        c.line({0, 159}, {239, 0}, ui::rgb(0, 160, 0));
        c.invertOutline({30, 110, 90, 150}, 1);
    };
    status.setText("Ready");
    progress.setPosition(40);
    ok.setText("OK");
    ok.setDefault(true);
    ok.setModalResult(ui::ModalResult::Ok);
    ok.onClick = [this] { ++events.ok; };
    cancel.setText("Cancel");
    cancel.setCancel(true);
    cancel.setModalResult(ui::ModalResult::Cancel);
    cancel.onClick = [this] { ++events.cancel; };
    ui::MenuItem& first = menu.add("Use for every scan");
    first.setAutoCheck(true);
    first.onClick = [this](ui::MenuItem&) { ++events.menu; };
    menu.add("-");
    menu.add("Remove");
    paint.setPopupMenu(&menu);
}

PrivateSettings::PrivateSettings() {
    for (const char* name : {"WINDIR", "ALLUSERSPROFILE", "APPDATA", "USERPROFILE", "HOME"}) {
        std::filesystem::create_directories(folder_.path() / name);
        environment_.set(name, folder_.file(name));
    }
}

std::unique_ptr<ui::Form> makeForm(const std::string& name) {
    if (name == "settings") {
        // The host list as a search of the office network fills it: one saned host.
        auto dialog = std::make_unique<TFProperties>(std::make_unique<OfficeServices>());
        dialog->searchHosts();
        dialog->chooseHost(0);
        return dialog;
    }
    if (name == "about") return std::make_unique<TFAbout>([](const std::string&) { return true; });
    if (name == "gamma") {
        auto form = std::make_unique<TGammaForm>();
        form->setCaption("Gamma correction table");
        form->configure(256, 0, 255);
        std::vector<double> values;
        for (int i = 0; i < 256; ++i) values.push_back(255.0 * std::pow(i / 255.0, 1 / 2.2));
        form->load(values);
        form->PaintBox.repaint();
        return form;
    }
    if (name == "widgets" || name == "picture") {
        auto form = std::make_unique<WidgetForm>();
        if (name == "picture") form->pages.setActivePage(&form->pages.page(1));
        form->paint.repaint();
        return form;
    }
    return nullptr;
}

void afterShown(const std::string& name, ui::Form& form) {
    if (name != "settings") return;
    if (ui::win32::WindowPeer* peer =
            ui::win32::peerOf(static_cast<TFProperties&>(form).Hostname)) {
        SetFocus(peer->hwnd());
        SendMessageW(peer->hwnd(), CB_SHOWDROPDOWN, TRUE, 0);
    }
}

}  // namespace tarnwick::wine
