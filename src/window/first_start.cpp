// The first start without a host: the saned hosts on the network are searched. One found is used
// and saved; of several, the user chooses in the settings dialog, or, where no dialog reaches a
// user, the first by name is used for this start. None leaves the dialog to the user, saying so;
// eSCL scanners found instead are used without a host, by the same rule.
#include <algorithm>

#include "discovery/scanner_url.h"
#include "settings/properties.h"
#include "settings/settings_file.h"
#include "ui/backend.h"
#include "window/preview_form.h"

namespace tarnwick {

std::vector<std::pair<std::string, std::string>> scannerEntries(
    const std::vector<FoundService>& scanners) {
    std::vector<std::pair<std::string, std::string>> entries;
    for (const FoundService& scanner : scanners) {
        std::string entry = scannerName(scanner);
        const auto sameName = [&](const FoundService& other) {
            return &other != &scanner && scannerName(other) == entry;
        };
        if (std::any_of(scanners.begin(), scanners.end(), sameName))
            entry += " (" + scanner.host + ")";
        entries.emplace_back(entry, foundScannerUrl(scanner));
    }
    return entries;
}

std::string TFPreview::deviceOfEntry(const std::string& entry) const {
    for (const auto& [shown, url] : listedScanners_)
        if (shown == entry) return url;
    return entry;
}

std::string TFPreview::entryOfDevice(const std::string& device) const {
    for (const auto& [shown, url] : listedScanners_)
        if (url == device) return shown;
    return device;
}

bool TFPreview::scannerFromSearch(SettingsFile& file) {
    // No saned host: an eSCL scanner is reached without one.
    const std::vector<FoundService>& found = FProperties->foundScanners;
    if (found.empty() || !deviceName.empty()) return false;
    // As with hosts: the dialog offers several, the first by name chosen (no hosts are listed
    // before it).
    FProperties->chooseHost(0);
    if (found.size() > 1 && ui::backend().asksUser()) return false;
    deviceName = foundScannerUrl(found.front());
    if (found.size() == 1 && !file.isReadOnly())
        file.writeText(SettingKey::connectionDevice, deviceName);
    return true;
}

bool TFPreview::hostFromSearch(SettingsFile& file) {
    const std::vector<FoundService>& found = FProperties->searchHosts();
    if (found.empty()) return scannerFromSearch(file);
    // The dialog shows what the window uses.
    FProperties->chooseHost(0);
    if (found.size() > 1 && ui::backend().asksUser()) return false;
    host = found.front().host;
    port = found.front().port;
    if (found.size() == 1 && !file.isReadOnly()) {
        file.writeText(SettingKey::connectionHost, host);
        file.writeInteger(SettingKey::connectionPort, port);
    }
    return true;
}

}  // namespace tarnwick
