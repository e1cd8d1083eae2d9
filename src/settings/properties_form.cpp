// The dialog's controls and their places, given as at 96 DPI.
#include "settings/properties.h"

#include <algorithm>

#include "base/translate.h"

namespace tarnwick {
namespace {

template <class T>
T& control(ui::Container& parent, const char* name, int left, int top, int width) {
    T& c = parent.add<T>();
    c.setName(name);
    c.setBounds(c.scaled(left), c.scaled(top), c.scaled(width), c.height());
    return c;
}

template <class T>
T& captioned(ui::Container& parent, const char* name, const char* text, int left, int top,
             int width) {
    T& c = control<T>(parent, name, left, top, width);
    c.setText(text);
    return c;
}

ui::Label& label(ui::Container& parent, const char* name, const char* text, int left, int top) {
    ui::Label& l = captioned<ui::Label>(parent, name, text, left, top, 0);
    l.setAutoSize(true);
    return l;
}

ui::Edit& edit(ui::Container& parent, const char* name, int left, int top, int width) {
    return control<ui::Edit>(parent, name, left, top, width);
}

ui::Edit& labelledEdit(ui::Container& parent, const char* name, const char* labelName,
                       const char* text, int top, int width) {
    label(parent, labelName, text, 8, top + 3);
    return edit(parent, name, 112, top, width);
}

// The host field: found hosts to pick from, and free to type into. Host names read the same in
// every language.
ui::ComboBox& hostList(ui::Container& parent) {
    label(parent, "LHostname", N_("Hostname"), 8, 15);
    ui::ComboBox& c = parent.add<ui::ComboBox>(ui::ComboStyle::DropDown);
    c.setName("Hostname");
    c.setBounds(c.scaled(112), c.scaled(12), c.scaled(190), c.height());
    c.setTranslateParts(ui::TranslateHint);
    return c;
}

ui::Panel& bottomPanel(ui::Form& form) {
    ui::Panel& p = form.add<ui::Panel>();
    p.setName("BottomPanel");
    p.setBounds(0, 0, p.scaled(325), p.scaled(41));
    p.setAlign(ui::Align::Bottom);
    return p;
}

ui::PageControl& pages(ui::Form& form) {
    ui::PageControl& p = form.add<ui::PageControl>();
    p.setName("Options");
    p.setAlign(ui::Align::Client);
    return p;
}

ui::TabSheet& page(ui::PageControl& options, const char* name, const char* caption) {
    ui::TabSheet& t = options.addPage(caption);
    t.setName(name);
    return t;
}

ui::Panel& groupBox(ui::Container& parent, const char* name, const char* caption) {
    ui::Panel& g = parent.add<ui::Panel>();
    g.setName(name);
    g.setText(caption);
    g.setBounds(g.scaled(8), g.scaled(8), g.scaled(300), g.scaled(88));
    return g;
}

ui::ComboBox& list(ui::Container& parent, const char* name, int left, int top, int width) {
    ui::ComboBox& c = control<ui::ComboBox>(parent, name, left, top, width);
    // Printer and language names read the same in every language.
    c.setTranslateParts(ui::TranslateHint);
    return c;
}

}  // namespace

TFProperties::TFProperties(std::unique_ptr<PropertiesServices> services)
    : BottomPanel(bottomPanel(*this)),
      bOK(captioned<ui::Button>(BottomPanel, "bOK", N_("OK"), 160, 8, 75)),
      bCancel(captioned<ui::Button>(BottomPanel, "bCancel", N_("Cancel"), 242, 8, 75)),
      Options(pages(*this)),
      TSConnection(page(Options, "TSConnection", N_("Connection"))),
      TSPreview(page(Options, "TSPreview", N_("Preview"))),
      TSGeneral(page(Options, "TSGeneral", N_("General"))),
      TSPrinter(page(Options, "TSPrinter", N_("Printer"))),
      TSMail(page(Options, "TSMail", N_("Mail"))),
      TSStartup(page(Options, "TSStartup", N_("Startup"))),
      Hostname(hostList(TSConnection)),
      BSearch(captioned<ui::Button>(TSConnection, "BSearch", N_("Search"), 227, 38, 75)),
      Port(labelledEdit(TSConnection, "Port", "LPort", N_("Port"), 40, 50)),
      Username(labelledEdit(TSConnection, "Username", "LUsername", N_("Username"), 68, 190)),
      GetDevices(captioned<ui::CheckBox>(TSConnection, "GetDevices",
                                         N_("Get list of devices on startup"), 8, 100, 290)),
      LSearchStatus(label(TSConnection, "LSearchStatus", "", 8, 128)),
      UseMinimum(captioned<ui::RadioButton>(TSPreview, "UseMinimum",
                                            N_("Use minimum resolution available"), 8, 12, 290)),
      UseSpecified(captioned<ui::RadioButton>(TSPreview, "UseSpecified",
                                              N_("Use the following resolution:"), 8, 36, 190)),
      Resolution(edit(TSPreview, "Resolution", 200, 34, 70)),
      FindFit(captioned<ui::CheckBox>(TSPreview, "FindFit", N_("After a preview, do a 'Find fit'"),
                                      8, 68, 290)),
      TopMost(captioned<ui::CheckBox>(TSGeneral, "TopMost", N_("Keep window on top of all windows"),
                                      8, 8, 290)),
      DisableEsc(captioned<ui::CheckBox>(TSGeneral, "DisableEsc", N_("Disable ESC to cancel scan"),
                                         8, 28, 290)),
      HideDisabled(captioned<ui::CheckBox>(TSGeneral, "HideDisabled", N_("Hide disabled options"),
                                           8, 48, 290)),
      RemoveRegions(captioned<ui::CheckBox>(
          TSGeneral, "RemoveRegions", N_("Remove regions when parameters change"), 8, 68, 290)),
      SaveRegions(captioned<ui::CheckBox>(TSGeneral, "SaveRegions", N_("Save regions on exit"), 8,
                                          88, 290)),
      ADFSingle(captioned<ui::CheckBox>(
          TSGeneral, "ADFSingle", N_("When using ADF, scan just a single page"), 8, 108, 290)),
      LJPEG(label(TSGeneral, "LJPEG", N_("Save images as JPEG with quality: "), 8, 135)),
      JPEGQuality(edit(TSGeneral, "JPEGQuality", 0, 132, 45)),
      PrinterSetup(captioned<ui::CheckBox>(
          TSPrinter, "PrinterSetup", N_("Show printer setup dialog before print"), 8, 8, 290)),
      DelayPrint(captioned<ui::CheckBox>(TSPrinter, "DelayPrint",
                                         N_("Delay printing until program exit"), 8, 28, 290)),
      DefaultPrinter((label(TSPrinter, "LDefaultPrinter", N_("Use as default printer:"), 8, 56),
                      list(TSPrinter, "DefaultPrinter", 8, 72, 290))),
      GBEvernote(groupBox(TSMail, "GBEvernote", N_("Evernote"))),
      EvernoteMail(labelledEdit(GBEvernote, "EvernoteMail", "LEvernoteMail", N_("E-mail address:"),
                                20, 180)),
      EvernoteSubject(
          labelledEdit(GBEvernote, "EvernoteSubject", "LEvernoteSubject", N_("Subject:"), 50, 180)),
      AutoPreview(captioned<ui::CheckBox>(TSStartup, "AutoPreview",
                                          N_("Acquire preview on program start"), 8, 8, 290)),
      AutoScan(captioned<ui::CheckBox>(TSStartup, "AutoScan",
                                       N_("Acquire full scan on program start"), 8, 28, 290)),
      UseLanguage((label(TSStartup, "LUseLanguage", N_("Use as interface language:"), 8, 56),
                   list(TSStartup, "UseLanguage", 8, 72, 290))),
      services_(services ? std::move(services) : std::make_unique<PropertiesServices>()) {
    setName("FProperties");
    setCaption(N_("Tarnwick settings"));
    setBorderStyle(ui::BorderStyle::Dialog);
    setFont({"Tahoma", 8, false});
    setClientSize(scaled(325), scaled(234));
    centerOnScreen();

    bOK.setModalResult(ui::ModalResult::Ok);
    bOK.setDefault(true);
    bOK.setEnabled(false);
    bCancel.setModalResult(ui::ModalResult::Cancel);
    bCancel.setCancel(true);

    Port.setInput(ui::EditInput::Digits);  // the mask "9999"
    Port.setMaxLength(4);
    Port.setText("6566");
    Username.setText("PCUSER");
    Resolution.setInput(ui::EditInput::Digits);
    Resolution.setMaxLength(5);
    Resolution.setSuffix(" dpi");
    JPEGQuality.setInput(ui::EditInput::Digits);
    JPEGQuality.setMaxLength(3);
    JPEGQuality.setSuffix("%");

    connectHandlers();
    onDpiChanged = [this] { placeJpegQuality(); };
    FormCreate();
}

void TFProperties::connectHandlers() {
    bOK.onClick = [this] { bOKClick(); };
    Hostname.onChange = [this] { HostnameChange(); };
    Hostname.onSelect = [this] { HostnameSelect(); };
    BSearch.onClick = [this] { BSearchClick(); };
    for (ui::Edit* e : {&Username, &EvernoteMail, &EvernoteSubject})
        e->onChange = [this] { HostnameChange(); };
    UseMinimum.onClick = [this] { UseMinimumClick(); };
    UseSpecified.onClick = [this] { UseSpecifiedClick(); };
    AutoPreview.onClick = [this] { AutoPreviewClick(); };
    AutoScan.onClick = [this] { AutoScanClick(); };
    SaveRegions.onClick = [this] { SaveRegionsClick(); };
    RemoveRegions.onClick = [this] { RemoveRegionsClick(); };
    UseLanguage.onChange = [this] { UseLanguageChange(); };
    // Typing may leave the range for a moment; leaving the edit brings the value back into it.
    JPEGQuality.onExit = [this] {
        if (auto v = JPEGQuality.integerValue())
            JPEGQuality.setText(
                std::to_string(std::clamp<long long>(*v, kJpegQualityMin, kJpegQualityMax)));
    };
}

std::string TFProperties::translated(const char* text) {
    return services_->translate(text);
}

void TFProperties::translateTexts() {
    translate([this](const std::string& text) { return services_->translate(text); });
}

void TFProperties::placeJpegQuality() {
    JPEGQuality.setLeft(LJPEG.left() + LJPEG.width() + scaled(4));
}

}  // namespace tarnwick
