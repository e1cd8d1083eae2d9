// The dialog's event handlers: the rules that tie its controls together.
#include "settings/properties.h"

#include "base/translate.h"

namespace tarnwick {

void TFProperties::HostnameChange() {
    bOK.setEnabled(!Hostname.enabled() || (!readOnly && !Hostname.text().empty()));
}

void TFProperties::UseMinimumClick() {
    {
        ui::Detached<ui::Handler> quiet(UseSpecified.onClick);
        UseSpecified.setChecked(!UseMinimum.checked());
    }
    Resolution.setEnabled(UseSpecified.checked());
}

void TFProperties::UseSpecifiedClick() {
    {
        ui::Detached<ui::Handler> quiet(UseMinimum.onClick);
        UseMinimum.setChecked(!UseSpecified.checked());
    }
    Resolution.setEnabled(UseSpecified.checked());
}

// Starting with a preview and starting with a full scan exclude each other.
void TFProperties::AutoPreviewClick() {
    ui::Detached<ui::Handler> quiet(AutoScan.onClick);
    AutoScan.setChecked(false);
}

void TFProperties::AutoScanClick() {
    ui::Detached<ui::Handler> quiet(AutoPreview.onClick);
    AutoPreview.setChecked(false);
}

// Saved regions would be removed by the first change of parameters.
void TFProperties::SaveRegionsClick() {
    if (!SaveRegions.checked()) return;
    ui::Detached<ui::Handler> quiet(RemoveRegions.onClick);
    RemoveRegions.setChecked(false);
}

void TFProperties::RemoveRegionsClick() {
    if (!RemoveRegions.checked()) return;
    ui::Detached<ui::Handler> quiet(SaveRegions.onClick);
    SaveRegions.setChecked(false);
}

void TFProperties::UseLanguageChange() {
    const int index = UseLanguage.itemIndex();
    if (index < 0 || index >= static_cast<int>(languageCodes.size())) return;
    services_->useLanguage(languageCodes[static_cast<std::size_t>(index)]);
    languageChanged = true;
    translateTexts();
    // The edit's text is not a form text: it follows the language by hand.
    if (!Hostname.enabled()) Hostname.setText(translated(N_("(Devices key exists)")));
    placeJpegQuality();
    UseLanguage.setItemIndex(index);
}

}  // namespace tarnwick
