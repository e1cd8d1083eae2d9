// The host list: saned hosts found on the network, offered by name and address.
#include <algorithm>

#include "base/translate.h"
#include "settings/properties.h"
#include "ui/backend.h"
#include "ui/text_metrics.h"

namespace tarnwick {
namespace {

// A host by its name, a scanner by the name it announces; with the address where known.
std::string entryText(const FoundService& service) {
    const std::string name =
        service.kind == ServiceKind::escl ? scannerName(service) : service.host;
    return service.addresses.empty() ? name : name + " (" + service.addresses.front() + ")";
}

}  // namespace

const std::vector<FoundService>& TFProperties::searchHosts() {
    LSearchStatus.setText(translated(N_("Searching the network...")));
    ui::processPendingMessages();
    foundHosts = services_->findSaneHosts();
    foundScanners.clear();
    for (const FoundService& service : foundHosts)
        if (service.kind == ServiceKind::escl) foundScanners.push_back(service);
    std::erase_if(foundHosts,
                  [](const FoundService& service) { return service.kind != ServiceKind::sane; });
    std::stable_sort(foundScanners.begin(), foundScanners.end(),
                     [](const FoundService& a, const FoundService& b) {
                         return scannerName(a) < scannerName(b);
                     });
    std::stable_sort(foundHosts.begin(), foundHosts.end(),
                     [](const FoundService& a, const FoundService& b) { return a.host < b.host; });
    std::vector<std::string> entries;
    int widest = 0;
    // The hosts, then the scanners that need none.
    for (const auto* list : {&foundHosts, &foundScanners})
        for (const FoundService& service : *list) {
            entries.push_back(entryText(service));
            widest = std::max(widest, ui::textWidth(Hostname.font(), entries.back()));
        }
    // Names with addresses are wider than the field: the open list shows them whole.
    Hostname.setDroppedWidth(widest + Hostname.scaled(12));
    const std::string typed = Hostname.text();
    Hostname.setItems(entries);
    Hostname.setComboText(typed);
    LSearchStatus.setText(foundHosts.empty() && foundScanners.empty()
                              ? translated(N_("No scanner host was found on the network."))
                              : "");
    return foundHosts;
}

void TFProperties::chooseHost(std::size_t index) {
    if (index >= foundHosts.size() + foundScanners.size()) return;
    Hostname.setItemIndex(static_cast<int>(index));
    // A scanner's port is in its URL; the daemon's port stays for the host.
    if (index < foundHosts.size()) Port.setText(std::to_string(foundHosts[index].port));
    HostnameChange();
}

void TFProperties::HostnameSelect() {
    if (Hostname.itemIndex() >= 0) chooseHost(static_cast<std::size_t>(Hostname.itemIndex()));
}

void TFProperties::BSearchClick() {
    searchHosts();
}

std::string TFProperties::enteredHost() const {
    const int index = Hostname.indexOf(Hostname.text());
    if (index >= 0 && static_cast<std::size_t>(index) < foundHosts.size())
        return foundHosts[static_cast<std::size_t>(index)].host;
    return enteredScanner().empty() ? Hostname.text() : std::string();
}

std::string TFProperties::enteredScanner() const {
    // The scanners' entries follow the hosts'.
    const int index = Hostname.indexOf(Hostname.text()) - static_cast<int>(foundHosts.size());
    if (index >= 0 && static_cast<std::size_t>(index) < foundScanners.size())
        return foundScannerUrl(foundScanners[static_cast<std::size_t>(index)]);
    return isEsclUrl(Hostname.text()) ? Hostname.text() : std::string();
}

}  // namespace tarnwick
