// Loading the dialog from the settings file, once, when it is created.
#include <exception>

#include "base/debug_log.h"
#include "base/localisation/catalog_table.h"
#include "base/translate.h"
#include "settings/properties.h"
#include "settings/settings_location.h"

namespace tarnwick {
namespace {

// Reads every key as the key table's default: stands in for a settings file that could not be
// opened.
struct TableDefaults {
    std::string readText(SettingKey id) const {
        return std::string(settingDefinition(id).defaultValue);
    }
    int readInteger(SettingKey id) const { return settingsInteger(readText(id), 0); }
    bool readBoolean(SettingKey id) const { return readInteger(id) != 0; }
    bool keyExists(SettingKey) const { return false; }
};

// The saved name wins wherever it stands (the last of equal names); without it the platform's
// default printer is shown.
int printerPosition(const std::vector<std::string>& names, int defaultIndex,
                    const std::string& saved) {
    int selected = -1;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == saved)
            selected = static_cast<int>(i);
        else if (selected == -1)
            selected = defaultIndex;
    }
    return selected >= 0 && selected < static_cast<int>(names.size()) ? selected : -1;
}

}  // namespace

template <class Reader>
void TFProperties::loadControls(const Reader& file) {
    using K = SettingKey;
    Hostname.setText(file.readText(K::connectionHost));
    // The field says where the scans come from: a scanner by URL needs no host.
    const std::string device = file.readText(K::connectionDevice);
    if (isEsclUrl(device)) Hostname.setText(device);
    Port.setText(std::to_string(file.readInteger(K::connectionPort)));
    Username.setText(file.readText(K::connectionUser));
    GetDevices.setChecked(file.readBoolean(K::connectionGetDevices));
    // With handlers, as clicks: both start keys set leave only AutoScan ticked.
    AutoPreview.setChecked(file.readBoolean(K::previewAutoStart));
    AutoScan.setChecked(file.readBoolean(K::scanAutoStart));
    {
        // The file's choice as it is; Resolution stays enabled either way.
        ui::Detached<ui::Handler> quietMinimum(UseMinimum.onClick);
        ui::Detached<ui::Handler> quietSpecified(UseSpecified.onClick);
        const bool useMinimum = file.readBoolean(K::previewUseMinimum);
        UseMinimum.setChecked(useMinimum);
        UseSpecified.setChecked(!useMinimum);
    }
    Resolution.setText(std::to_string(file.readInteger(K::previewResolution)));
    FindFit.setChecked(file.readBoolean(K::previewFindFit));
    TopMost.setChecked(file.readBoolean(K::generalTopMost));
    DisableEsc.setChecked(file.readBoolean(K::generalDisableEsc));
    HideDisabled.setChecked(file.readBoolean(K::generalHideDisabled));
    {
        // Both keys are shown as they are, both ticked when the file says so.
        ui::Detached<ui::Handler> quietRemove(RemoveRegions.onClick);
        ui::Detached<ui::Handler> quietSave(SaveRegions.onClick);
        RemoveRegions.setChecked(file.readBoolean(K::generalRemoveRegions));
        SaveRegions.setChecked(file.readBoolean(K::generalSaveRegions));
    }
    ADFSingle.setChecked(file.readBoolean(K::adfSinglePage));
    JPEGQuality.setText(std::to_string(file.readInteger(K::saveJpegQuality)));
    PrinterSetup.setChecked(file.readBoolean(K::printerSetup));
    DelayPrint.setChecked(file.readBoolean(K::printerDelayed));

    savedPrinter = file.readText(K::printerDefault);
    const platform::PrinterList printers = services_->printers();
    printerNames = printers.names;
    DefaultPrinter.setItems(printerNames);
    DefaultPrinter.setItemIndex(printerPosition(printerNames, printers.defaultIndex, savedPrinter));

    EvernoteMail.setText(file.readText(K::evernoteEmail));
    EvernoteSubject.setText(file.readText(K::evernoteSubject));

    const bool fixedDevices = file.keyExists(K::connectionDevices);
    for (ui::Control* c :
         std::initializer_list<ui::Control*>{&Hostname, &BSearch, &Username, &Port, &GetDevices})
        c->setEnabled(!fixedDevices);

    savedLanguage = file.readText(K::generalLanguage);
    languageCodes = services_->languages();
    std::vector<std::string> names;
    int selected = -1;
    for (std::size_t i = 0; i < languageCodes.size(); ++i) {
        names.push_back(services_->languageName(languageCodes[i]));
        // The list writes "de" and "zh_CN"; a hand-edited "DE" is the same language.
        if (selected == -1 && sameName(languageCodes[i], savedLanguage))
            selected = static_cast<int>(i);
    }
    UseLanguage.setItems(names);
    UseLanguage.setItemIndex(selected);
    services_->useLanguage(savedLanguage);
    // In the language just made current.
    if (fixedDevices) Hostname.setText(translated(N_("(Devices key exists)")));
}

void TFProperties::FormCreate() {
    std::unique_ptr<SettingsFile> file;
    try {
        file = openSettingsFile();
    } catch (const std::exception& e) {
        // The per-user copy could not be made: show the defaults and save nothing.
        debugLog(translated(N_("Caught exception: %s\n")), e.what());
    }
    readOnly = !file || file->isReadOnly();
    if (readOnly) {
        // The source text: the form's translation below puts it into the current language.
        setCaption(N_("Read-only properties file"));
        bOK.setEnabled(false);
    }
    if (file)
        loadControls(*file);
    else
        loadControls(TableDefaults{});
    HostnameChange();
    translateTexts();
    languageChanged = true;
    placeJpegQuality();
}

}  // namespace tarnwick
