// The settings dialog. One is created with each scanning window and reads the settings file once,
// at creation; from then on its controls are that window's common settings (the window reads
// them, not the file). The file is written only when the dialog is closed with OK.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "settings/properties_services.h"
#include "ui/button.h"
#include "ui/combo_box.h"
#include "ui/edit.h"
#include "ui/form.h"
#include "ui/page_control.h"

namespace tarnwick {

// The name an eSCL scanner announces (TXT `ty`), else its instance name.
std::string scannerName(const FoundService& scanner);

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
    // Searches the network for saned hosts and lists them (sorted by host name) in Hostname,
    // whose text stays as it was; the status line says when none was found.
    const std::vector<FoundService>& searchHosts();
    // Puts found host `index` into the host field and its port into Port.
    void chooseHost(std::size_t index);
    // The host to connect to: a found host's name when its entry is shown, else the typed text.
    std::string enteredHost() const;
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
