// Writing the dialog's settings when it is closed with OK.
#include <algorithm>
#include <climits>
#include <exception>
#include <stdexcept>

#include "base/debug_log.h"
#include "base/translate.h"
#include "settings/properties.h"
#include "settings/settings_location.h"
#include "ui/backend.h"

namespace tarnwick {
namespace {

// A number field whose text is no number (an empty field, for example) stops the save.
class NumberTextError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

int integerOf(const ui::Edit& edit, const std::string& message) {
    const auto value = edit.integerValue();
    if (!value || *value < INT_MIN || *value > INT_MAX) {
        // Replaced by hand: a translated message is no trusted format.
        std::string text = message;
        if (auto at = text.find("%s"); at != std::string::npos) text.replace(at, 2, edit.text());
        throw NumberTextError(text);
    }
    return static_cast<int>(*value);
}

}  // namespace

void TFProperties::bOKClick() {
    using K = SettingKey;
    // "%s" stands for the field's text.
    const std::string notANumber = translated(N_("'%s' is not a valid integer value"));
    try {
        std::unique_ptr<SettingsFile> file = openSettingsFile();
        if (Hostname.enabled()) {
            // A scanner chosen is the device, and the host stays for later; a host chosen
            // instead of a scanner brings the daemon's devices back.
            const std::string scanner = enteredScanner();
            if (!scanner.empty()) {
                file->writeText(K::connectionDevice, scanner);
            } else {
                file->writeText(K::connectionHost, enteredHost());
                if (isEsclUrl(file->readText(K::connectionDevice)))
                    file->writeText(K::connectionDevice, "");
            }
            file->writeText(K::connectionUser, Username.text());
            file->writeInteger(K::connectionPort, integerOf(Port, notANumber));
            file->writeBoolean(K::connectionGetDevices, GetDevices.checked());
        }
        file->writeBoolean(K::previewUseMinimum, UseMinimum.checked());
        file->writeInteger(K::previewResolution, integerOf(Resolution, notANumber));
        file->writeBoolean(K::previewAutoStart, AutoPreview.checked());
        file->writeBoolean(K::previewFindFit, FindFit.checked());
        file->writeBoolean(K::scanAutoStart, AutoScan.checked());
        file->writeBoolean(K::generalTopMost, TopMost.checked());
        file->writeBoolean(K::generalDisableEsc, DisableEsc.checked());
        file->writeBoolean(K::generalHideDisabled, HideDisabled.checked());
        file->writeBoolean(K::generalRemoveRegions, RemoveRegions.checked());
        file->writeBoolean(K::generalSaveRegions, SaveRegions.checked());
        const int language = UseLanguage.itemIndex();
        if (language >= 0 && language < static_cast<int>(languageCodes.size()))
            file->writeText(K::generalLanguage, languageCodes[static_cast<std::size_t>(language)]);
        file->writeBoolean(K::adfSinglePage, ADFSingle.checked());
        file->writeInteger(K::saveJpegQuality, std::clamp(integerOf(JPEGQuality, notANumber),
                                                          kJpegQualityMin, kJpegQualityMax));
        file->writeBoolean(K::printerSetup, PrinterSetup.checked());
        file->writeBoolean(K::printerDelayed, DelayPrint.checked());
        const int printer = DefaultPrinter.itemIndex();
        if (printer >= 0 && printer < static_cast<int>(printerNames.size()))
            file->writeText(K::printerDefault, printerNames[static_cast<std::size_t>(printer)]);
        file->writeText(K::evernoteEmail, EvernoteMail.text());
        file->writeText(K::evernoteSubject, EvernoteSubject.text());
    } catch (const std::exception& e) {
        // The keys written before the failure stay written.
        ui::messageBox(
            translated(N_("The properties file is read-only. Changes will not be saved")),
            translated(N_("Warning")), ui::BoxKind::Warning, ui::BoxButtons::Ok);
        debugLog(translated(N_("Caught exception: %s\n")), e.what());
    }
}

}  // namespace tarnwick
