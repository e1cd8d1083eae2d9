// The first start without a host: the saned hosts on the network are searched. One found is used
// and saved; of several, the user chooses in the settings dialog, or, where no dialog reaches a
// user, the first by name is used for this start. None leaves the dialog to the user, saying so.
#include "settings/properties.h"
#include "settings/settings_file.h"
#include "ui/backend.h"
#include "window/preview_form.h"

namespace tarnwick {

bool TFPreview::hostFromSearch(SettingsFile& file) {
    const std::vector<FoundService>& found = FProperties->searchHosts();
    if (found.empty()) return false;
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
