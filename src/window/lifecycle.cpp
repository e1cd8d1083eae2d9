// The scanning window's life: creation, activation, connecting, the device box, the status
// routine, the keyboard, the buttons, closing and destruction.
#include <algorithm>
#include <cstdio>
#include <optional>
#include <string_view>

#include "base/scoped_value.h"
#include "base/text.h"
#include "base/whole_number.h"

#include "base/debug_log.h"
#include "base/translate.h"
#include "discovery/scanner_url.h"
#include "options/number_option.h"
#include "platform/shell_open.h"
#include "sane/connection.h"
#include "settings/properties.h"
#include "settings/settings_location.h"
#include "ui/backend.h"
#include "widgets/float_form.h"
#include "widgets/form_translation.h"
#include "window/preview_form.h"

namespace tarnwick {

namespace {

constexpr const char* kWebAddress = "https://tarnwick.sourceforge.io/";
// A saved place or size beyond this (at 96 DPI) is cut to it before the work area has its say.
constexpr int kMaxSavedPixels = 100000;

// A typed or stored whole number; blanks around it are allowed.
std::optional<int> enteredNumber(std::string_view text) {
    return base::parseWhole<int>(base::trim(text), base::PlusSign::accepted);
}

// The version with two decimals and a point, whatever the locale.
std::string versionText() {
    int minor = TARNWICK_VERSION_MINOR;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d.%02d", TARNWICK_VERSION_MAJOR, minor % 100);
    return buf;
}

}  // namespace

TFPreview::~TFPreview() {
    FormDestroy();
    session_.setObserver(nullptr);
}

void TFPreview::readSettings() {
    settings() = readScanSettings();
    setTopMost(settings().topMost);
}

void TFPreview::FormCreate() {
    tabDragging = false;
    regions.clear();

    FProperties = std::make_unique<TFProperties>(std::move(propertiesServices_));
    createGammaEditor();
    FAbout = std::make_unique<TFAbout>(open_);

    previewBitmap.reset(BitmapKind::Bits24, 0, 0);
    displayBitmap.reset(BitmapKind::Bits8, 0, 0);
    PaintBox.setOpaque(true);
    ImageScrollBox.setOpaque(true);

    ProgressBar.setPosition(0);
    ProgressBar.setVisible(false);

    readSettings();
    BProperties.setEnabled(!FProperties->readOnly);

    try {
        auto file = openSettingsFile();
        readWindowSize(file->readText(SettingKey::generalWindowSize));
        if (file->readBoolean(SettingKey::toolbarsUseLargeIcons)) {
            LargeIcons.setChecked(true);
            LargeIconsClick(false);
        }
        restoreRegions();
        host = file->readText(SettingKey::connectionHost);
    } catch (const std::exception& e) {
        // Without a usable settings file the defaults stand; the first activation says why.
        debugLog(tr("Message logged: %s\n"), e.what());
    }

    translateForms();
    setBandTexts();
    FormResize();
}

void TFPreview::readWindowSize(const std::string& text) {
    if (text.empty()) {
        // First start: the window with its frame in the middle of the work area.
        const ui::Rect area = ui::backend().workAreaAt({left(), top()});
        const ui::Rect frame = ui::backend().frameOf(*this);
        setBounds(area.left + frame.left + (area.width() - width() - frame.left - frame.right) / 2,
                  area.top + frame.top + (area.height() - height() - frame.top - frame.bottom) / 2,
                  width(), height());
        keepOnWorkArea();
        return;
    }
    std::vector<std::string> parts = base::split(text, ';');
    int values[4] = {left(), top(), width(), height()};
    std::size_t applied = 0;
    for (; applied < 4 && applied < parts.size(); ++applied) {
        const std::optional<int> value = enteredNumber(parts[applied]);
        if (!value) break;
        // Kept as at 96 DPI (files of before were written there); no screen is this large.
        values[applied] = scaled(std::clamp(*value, -kMaxSavedPixels, kMaxSavedPixels));
    }
    setBounds(values[0], values[1], values[2], values[3]);
    // A place saved on a screen that has since shrunk or gone.
    keepOnWorkArea();
    windowSizeRestored = applied == 4;
}

void TFPreview::setBandTexts() {
    const char* texts[] = {N_(" Scan mode: "), N_(" Resolution: "), N_(" Device: ")};
    for (std::size_t i = 0; i < 3 && i + 1 < TopDock.bandCount(); ++i)
        TopDock.band(i + 1).text = base::trim(tr(texts[i]));
    TopDock.bandsChanged();
}

void TFPreview::showForUse(bool uiOnly) {
    const bool scanEnabled = BScan.enabled();
    const bool printEnabled = BPrint.enabled();
    if (uiOnly) {
        BScan.setEnabled(false);
        BPrint.setEnabled(false);
    }
    OkPanel.setVisible(uiOnly);
    // Built before the window appears, so that it opens at its size with the focus in place.
    FormShow();
    show();
    if (uiOnly) {
        BScan.setEnabled(scanEnabled);
        BPrint.setEnabled(printEnabled);
    }
}

void TFPreview::hideFromUse() {
    if (session_.reading()) session_.stopReading();
    hide();
}

void TFPreview::FormActivate() {
    // The pending messages processed below may hold another activation of this window.
    static bool activating = false;
    if (firstActivation && !activating) {
        {
            const base::ScopedValue guard(activating, true);
            try {
                ui::processPendingMessages();
                connectToDaemon(true);
                if (settings().autoPreview)
                    BPreviewClick();
                else if (settings().autoScan)
                    WaitForState5.setEnabled(true);
                firstActivation = false;
            } catch (const std::exception& e) {
                reportStatus(e.what(), false, false);
            }
        }
        session_.freeRetired();
        // An error of the first opening stays readable.
        if (device()) reportStatus("0", false, false);
    } else if (!activating && !retryingDevice_ && session_.connected() && !device() &&
               !deviceName.empty()) {
        // A device that did not open (a stale name, a scanner switched off) is tried again; its
        // error goes to the status line, as a box would activate the window once more.
        const base::ScopedValue retrying(retryingDevice_, true);
        DevicesChange();
        if (device()) reportStatus("0", false, false);
    } else {
        reportStatus("0", false, false);
    }
}

bool TFPreview::connectToDaemon(bool firstTime) {
    ui::processPendingMessages();
    session_.freeRetired();
    auto file = openSettingsFile();
    host = file->readText(SettingKey::connectionHost);
    userName = file->readText(SettingKey::connectionUser);
    port = file->readInteger(SettingKey::connectionPort);
    if (firstTime) {
        listDevices = file->readBoolean(SettingKey::connectionGetDevices);
        deviceName = file->readText(SettingKey::connectionDevice);
        socketTimeout = file->readInteger(SettingKey::connectionTimeOut);
    }

    const bool fixedList = file->keyExists(SettingKey::connectionDevices);
    if (fixedList) {
        if (firstTime) {
            std::vector<std::string> names;
            for (const std::string& part :
                 base::split(file->readText(SettingKey::connectionDevices), ','))
                names.emplace_back(base::trim(part));
            Devices.setItems(names);
            int index = Devices.indexOf(deviceName);
            Devices.setItemIndex(index >= 0 ? index : 0);
            if (deviceName.empty() && !names.empty()) deviceName = names.front();
        }
        if (file->keyExists(SettingKey::deviceEntryHost, deviceName))
            host = file->readText(SettingKey::deviceEntryHost, deviceName);
        if (file->keyExists(SettingKey::deviceEntryUser, deviceName))
            userName = file->readText(SettingKey::deviceEntryUser, deviceName);
        if (file->keyExists(SettingKey::deviceEntryPort, deviceName))
            port = file->readInteger(SettingKey::deviceEntryPort, deviceName);
    }

    // A scanner named by its URL is reached without a daemon.
    bool direct = isEsclUrl(deviceName);
    if (host.empty() && !direct && !hostFromSearch(*file) && !isEsclUrl(deviceName)) {
        if (FProperties->showModal() != ui::ModalResult::Ok) {
            // Nothing to connect to: the user declined to name a daemon.
            close();
            return false;
        }
        translated = true;
        translateForms();
        readSettings();
        host = FProperties->enteredHost();
        if (!FProperties->enteredScanner().empty()) deviceName = FProperties->enteredScanner();
        userName = FProperties->Username.text();
        port = enteredNumber(FProperties->Port.text()).value_or(kDefaultPort);
        listDevices = FProperties->GetDevices.checked();
    }

    // The configured host is not asked: it may not answer, and the scanner needs none.
    direct = isEsclUrl(deviceName);
    if (!deviceName.empty()) Devices.setComboText(deviceName);

    if (!session_.connected()) {
        bool connected = false;
        try {
            connected = direct ? session_.connectDirect() : session_.connect(host, userName, port);
        } catch (const ConnectionCancelled&) {
            Devices.setEnabled(false);
            throw;
        }
        if (connected) {
            if (fixedList) {
                Devices.setEnabled(true);
            } else if (listDevices) {
                // A second log-on (after a failed activation) lists the daemon's devices afresh.
                Devices.clearItems();
                listedDevices_ = session_.devices();
                for (const DeviceRecord& record : listedDevices_) Devices.addItem(record.name);
                // eSCL scanners the last search found, beside the daemon's devices.
                listedScanners_ = scannerEntries(FProperties->foundScanners);
                for (const auto& [entry, url] : listedScanners_) Devices.addItem(entry);
                followMovedDevice();
                int index = Devices.indexOf(entryOfDevice(deviceName));
                if (index >= 0) Devices.setItemIndex(index);
                Devices.setEnabled(true);
            } else {
                Devices.setEnabled(false);
            }
            if (deviceName.empty()) Devices.setItemIndex(0);
            if (firstTime) DevicesChange();
        } else {
            Devices.setEnabled(false);
        }
    }

    if (Devices.items().size() == 1) TDevice.setVisible(false);
    return session_.connected();
}

void TFPreview::DevicesChange() {
    const bool selected = Devices.itemIndex() >= 0;
    // A name typed into the box that matches no entry is opened as typed.
    deviceName = deviceOfEntry(
        selected ? Devices.items()[static_cast<std::size_t>(Devices.itemIndex())] : Devices.text());
    try {
        auto file = openSettingsFile();
        std::string name = deviceName;
        if (file->keyExists(SettingKey::deviceEntryDevice, deviceName))
            name = file->readText(SettingKey::deviceEntryDevice, deviceName);
        if (openDevice(name)) rememberDeviceIdentity(name);
        file->writeText(SettingKey::connectionDevice, deviceName);
    } catch (const std::exception&) {
        // The reason is on the status line already.
    }
}

void TFPreview::reportStatus(const std::string& message, bool showError, bool fatal) {
    session_.report(message, showError, fatal);
}

void TFPreview::status(const std::string& message, bool showError, bool fatal) {
    if (destroying) return;
    if (message == "0") {
        shownBanner_ = formatText(N_("Tarnwick data source v%s."), versionText()) + " " +
                       tr("Copyright (C) The Tarnwick developers");
        StatusBar.setText(shownBanner_);
    } else {
        StatusBar.setText(message);
    }
    if (showError && !retryingDevice_)
        ui::messageBox(message, caption(), ui::BoxKind::Error, ui::BoxButtons::Ok);
    if (!fatal) return;
    // The session closes scanner and connection next.
    BScan.setEnabled(false);
    BPreview.setEnabled(false);
    BPrint.setEnabled(false);
    OptionPages.setVisible(false);
    TResolution.setVisible(false);
    TScanMode.setVisible(false);
    ProgressBar.setVisible(false);
    ui::backend().setScreenCursor(ui::Cursor::Default);
}

void TFPreview::updateOptions(const std::string& outcome) {
    if (device())
        for (const auto& option : device()->loadOptions(true, settings().hideInactive))
            followReload(*option);
    // Not the progress of the option traffic since ("Retrieving option values").
    StatusBar.setText(outcome);
}

void TFPreview::scannerEvent(int event) {
    if (!device()) return;
    // Off the screen nobody sees the buttons: the parameters wait until read.
    if (event == ScannerTransport::parametersChanged && !pagesPending_) device()->loadParameters();
    if (event == ScannerTransport::parametersLoaded) {
        BPreview.setEnabled(device()->parametersValid() && device()->parameters().lines >= 0);
        BScan.setEnabled(device()->parametersValid());
    } else if (event == ScannerTransport::optionsReloaded) {
        followScanAreaOptions();
    }
}

void TFPreview::translateForms() {
    if (!FProperties->languageChanged) return;
    FProperties->languageChanged = false;
    int zoomIndex = Zoom.indexOf(Zoom.text());
    translateGammaEditor();
    FAbout->FormCreate();
    translateForm(*this);
    setBandTexts();
    Zoom.fitWidthToItems(scaled(90));
    if (zoomIndex >= 0) Zoom.setComboText(Zoom.items()[static_cast<std::size_t>(zoomIndex)]);
    if (!shownBanner_.empty() && StatusBar.text() == shownBanner_) reportStatus("0", false, false);
    for (auto& [page, title] : groupPages_) page->setText(trSane(title));
    if (device())
        for (const auto& option : device()->options()) option->translateTexts();
    alignOptionColumns();
}

void TFPreview::FormKeyDown(ui::KeyEvent& e) {
    if (e.key == ui::key::Escape) {
        if (!settings().escapeDisabled) session_.stopReading();
        return;
    }
    if (!(e.shift & ui::CtrlKey) || FProperties->readOnly) return;
    if (e.key == 'A')
        saveAllValues();
    else if (e.key == 'S')
        saveValueUnderMouse();
}

void TFPreview::BPropertiesClick() {
    if (FProperties->showModal() != ui::ModalResult::Ok) return;
    // The next preview takes them; the connection settings wait for the next start.
    readSettings();
    BEvernote.setVisible(!openSettingsFile()->readText(SettingKey::evernoteEmail).empty());
    translated = true;
    translateForms();
    ui::messageBox(tr("Any connection changes will take effect the next time Tarnwick is started"),
                   caption(), ui::BoxKind::Information, ui::BoxButtons::Ok);
}

void TFPreview::BHelpClick() {
    FAbout->showModal();
}

void TFPreview::BTwitterClick() {
    if (open_)
        open_(kWebAddress);
    else
        platform::shellOpen(kWebAddress);
}

void TFPreview::WaitForState5Timer() {
    // Settings-only use keeps the Scan button disabled; that is no occasion to scan.
    if (!link_ || !link_->readyToScan() || !BScan.enabled()) return;
    WaitForState5.setEnabled(false);
    BScanClick();
}

void TFPreview::FormClose(ui::CloseAction& action) {
    action = ui::CloseAction::Hide;
    keepWindowState();
    if (link_) link_->closeRequested();
    firstActivation = false;
}

void TFPreview::BOkClick() {
    // Confirming ends the settings session as closing does, with the other answer.
    hide();
    keepWindowState();
    if (link_) link_->settingsConfirmed();
    firstActivation = false;
}

void TFPreview::keepWindowState() {
    if (settings().saveRegions) storeRegions();
    try {
        auto file = openSettingsFile();
        // As at 96 DPI, so that the window reopens at its size on a screen of another DPI.
        file->writeText(SettingKey::generalWindowSize, std::to_string(unscaled(left())) + ";" +
                                                           std::to_string(unscaled(top())) + ";" +
                                                           std::to_string(unscaled(width())) + ";" +
                                                           std::to_string(unscaled(height())));
    } catch (const std::exception&) {
        // The size is a convenience; a read-only file keeps the old one.
    }
    storeLastResolution();
    // Whatever the device makes of the exit values, the application must hear of the close.
    try {
        applyExitValues();
    } catch (const std::exception& e) {
        reportStatus(e.what(), false, false);
    }
}

void TFPreview::dockFloats() {
    for (auto& floating : floats) floating->close();
    floats.clear();
}

void TFPreview::FormDestroy() {
    if (destroying) return;
    Timer.setEnabled(false);
    WaitForState5.setEnabled(false);
    // Floating pages come home, so that the window's pages are destroyed with the window.
    dockFloats();
    destroying = true;
    // The options stay with the session; their controls go with the window. Scanners a fatal
    // report retired still hold controls of it: nothing runs on them any more.
    session_.freeRetired();
    removeOptionControls();
    previewBitmap.reset(BitmapKind::Bits24, 0, 0);
    displayBitmap.reset(BitmapKind::Bits8, 0, 0);
}

}  // namespace tarnwick
