// The host list: saned hosts found on the network, offered by name and address.
#include <algorithm>

#include "base/translate.h"
#include "settings/properties.h"
#include "ui/backend.h"
#include "ui/text_metrics.h"

namespace tarnwick {
namespace {

std::string entryText(const FoundService& host) {
    return host.addresses.empty() ? host.host : host.host + " (" + host.addresses.front() + ")";
}

}  // namespace

std::string scannerName(const FoundService& scanner) {
    const std::string ty = scanner.txtValue("ty");
    return ty.empty() ? scanner.instance : ty;
}

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
    for (const FoundService& host : foundHosts) {
        entries.push_back(entryText(host));
        widest = std::max(widest, ui::textWidth(Hostname.font(), entries.back()));
    }
    // Names with addresses are wider than the field: the open list shows them whole.
    Hostname.setDroppedWidth(widest + Hostname.scaled(12));
    const std::string typed = Hostname.text();
    Hostname.setItems(entries);
    Hostname.setComboText(typed);
    LSearchStatus.setText(
        foundHosts.empty() ? translated(N_("No scanner host was found on the network.")) : "");
    return foundHosts;
}

void TFProperties::chooseHost(std::size_t index) {
    if (index >= foundHosts.size()) return;
    Hostname.setItemIndex(static_cast<int>(index));
    Port.setText(std::to_string(foundHosts[index].port));
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
    return Hostname.text();
}

}  // namespace tarnwick
