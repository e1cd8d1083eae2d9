// The settings dialog. One is created with each scanning window and reads the settings file once,
// at creation; from then on its controls are that window's common settings (the window reads
// them, not the file). The file is written only when the dialog is closed with OK.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "discovery/scanner_url.h"
#include "settings/properties_services.h"
#include "ui/button.h"
#include "ui/combo_box.h"
#include "ui/edit.h"
#include "ui/form.h"
#include "ui/page_control.h"

namespace tarnwick {

class TFProperties : public ui::Form {
  public:
    // Loads the settings file (FormCreate) before it returns.
    explicit TFProperties(std::unique_ptr<PropertiesServices> services = nullptr);

    // Handlers; each runs as the named event does.
    void FormCreate();
    // Writes the settings; the dialog then closes with OK whatever happened.
    void bOKClick();
    void HostnameChange();
    // A found host picked from the list: its port comes with it.
    void HostnameSelect();
    void BSearchClick();
    void UseMinimumClick();
    void UseSpecifiedClick();
    void AutoPreviewClick();
    void AutoScanClick();
    void SaveRegionsClick();
    void RemoveRegionsClick();
    void UseLanguageChange();

    // The settings file is read-only: the scanning window's settings button and its keys for
    // saving default option values do nothing while this is set.
    bool readOnly = false;
    // The user interface must be translated again; the scanning window clears it.
    bool languageChanged = false;
    // The codes shown in UseLanguage, in list order.
    std::vector<std::string> languageCodes;
    // The printers shown in DefaultPrinter, in list order.
    std::vector<std::string> printerNames;
    // Searches the network for saned hosts and eSCL scanners and lists them in Hostname (the
    // hosts sorted by host name, then the scanners by name), whose text stays as it was; the
    // status line says when none was found. The hosts found.
    const std::vector<FoundService>& searchHosts();
    // Puts entry `index` into the host field and, for a host, its port into Port.
    void chooseHost(std::size_t index);
    // The host to connect to: a found host's name when its entry is shown, "" when the field
    // names a scanner, else the typed text.
    std::string enteredHost() const;
    // The scanner the field names: a found scanner's URL when its entry is shown, the text
    // when it is a scanner's URL, else "".
    std::string enteredScanner() const;
    // The saned hosts of the last search, in list order.
    std::vector<FoundService> foundHosts;
    // The eSCL scanners of the last search, by name (TXT `ty`, else the instance).
    std::vector<FoundService> foundScanners;

    // Printer/Default and General/Language as read at creation.
    std::string savedPrinter;
    std::string savedLanguage;

    ui::Panel& BottomPanel;
    ui::Button& bOK;
    ui::Button& bCancel;
    ui::PageControl& Options;
    ui::TabSheet& TSConnection;
    ui::TabSheet& TSPreview;
    ui::TabSheet& TSGeneral;
    ui::TabSheet& TSPrinter;
    ui::TabSheet& TSMail;
    ui::TabSheet& TSStartup;
    // Connection
    ui::ComboBox& Hostname;
    ui::Button& BSearch;
    ui::Edit& Port;
    ui::Edit& Username;
    ui::CheckBox& GetDevices;
    ui::Label& LSearchStatus;
    // Preview
    ui::RadioButton& UseMinimum;
    ui::RadioButton& UseSpecified;
    ui::Edit& Resolution;
    ui::CheckBox& FindFit;
    // General
    ui::CheckBox& TopMost;
    ui::CheckBox& DisableEsc;
    ui::CheckBox& HideDisabled;
    ui::CheckBox& RemoveRegions;
    ui::CheckBox& SaveRegions;
    ui::CheckBox& ADFSingle;
    ui::Label& LJPEG;
    ui::Edit& JPEGQuality;
    // Printer
    ui::CheckBox& PrinterSetup;
    ui::CheckBox& DelayPrint;
    ui::ComboBox& DefaultPrinter;
    // Mail
    ui::Panel& GBEvernote;
    ui::Edit& EvernoteMail;
    ui::Edit& EvernoteSubject;
    // Startup
    ui::CheckBox& AutoPreview;
    ui::CheckBox& AutoScan;
    ui::ComboBox& UseLanguage;

  private:
    std::string translated(const char* text);
    void translateTexts();
    void placeJpegQuality();
    void connectHandlers();
    template <class Reader>
    void loadControls(const Reader& file);

    std::unique_ptr<PropertiesServices> services_;
};

// JPEG quality is kept within this range when the edit is left and when it is saved.
inline constexpr int kJpegQualityMin = 1;
inline constexpr int kJpegQualityMax = 100;

}  // namespace tarnwick
