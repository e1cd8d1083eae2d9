// DAT_IDENTITY: this source's identity, and opening and closing the source.
#include <cstdio>
#include <cstring>

#include "base/translate.h"
#include "platform/module_info.h"
#include "platform/product_name.h"
#include "twain/data_source.h"
#include "twain/identity_text.h"
#include "twain/triplet_handlers.h"
#include "ui/backend.h"

namespace tarnwick {

namespace {

constexpr TW_UINT16 kVersionMajor = 1;
constexpr TW_UINT16 kVersionMinor = 37;

// A string resource as a 32-character buffer receives it.
std::string resourceText(unsigned id) {
    return cutText(platform::stringResource(id), 31);
}

void fillIdentity(TW_IDENTITY& identity) {
    const TW_UINT32 id = identity.Id;
    std::memset(&identity, 0, sizeof identity);
    identity.Id = id;
    identity.Version.MajorNum = kVersionMajor;
    identity.Version.MinorNum = kVersionMinor;
    identity.Version.Language = TWLG_ENGLISH;
    identity.Version.Country = TWCY_USA;
    char info[64];
    // The format is the module's own resource, "Version %d.%02d".
    std::snprintf(info, sizeof info, resourceText(1).c_str(), kVersionMajor, kVersionMinor);
    copyText(identity.Version.Info, info, 31);
    identity.ProtocolMajor = 2;
    identity.ProtocolMinor = 4;
    // DF_DS2: a TWAIN 2 manager sends DAT_ENTRYPOINT before opening the source.
    identity.SupportedGroups = DG_CONTROL | DG_IMAGE | DF_DS2;
    copyText(identity.Manufacturer, resourceText(2), 31);
    copyText(identity.ProductFamily, resourceText(3), 31);
    copyText(identity.ProductName, platform::moduleProductName().value_or(""), 32);
}

TW_UINT16 openSource(DataSource& source, TW_IDENTITY& assigned) {
    std::unique_ptr<Scanner> scanner;
    try {
        scanner = source.makeScanner();
    } catch (const std::bad_alloc&) {
        return source.setCondition(TWCC_LOWMEMORY, TWRC_FAILURE);
    }
    if (scanner && scanner->isDeviceOpen()) {
        dsIdentity.Id = assigned.Id;
        source.scanner = std::move(scanner);
        source.setState(4);
        source.enableFailed = false;
        return TWRC_SUCCESS;
    }
    ui::messageBox(tr("Error opening device. You may need to reset the device."), tr("Error"),
                   ui::BoxKind::Error, ui::BoxButtons::Ok);
    scanner.reset();
    source.scanner.reset();
    return source.setCondition(TWCC_OPERATIONERROR, TWRC_FAILURE);
}

}  // namespace

TW_UINT16 handleIdentity(DataSource& source, TW_UINT16 MSG, TW_MEMREF pData) {
    switch (MSG) {
        case MSG_GET: {
            auto& identity = *static_cast<TW_IDENTITY*>(pData);
            fillIdentity(identity);
            std::memcpy(&dsIdentity, &identity, sizeof dsIdentity);
            return TWRC_SUCCESS;
        }
        case MSG_OPENDS:
            return openSource(source, *static_cast<TW_IDENTITY*>(pData));
        case MSG_CLOSEDS:
            source.closeScanner();
            source.setState(3);
            return TWRC_SUCCESS;
        default:
            return source.setCondition(TWCC_BADPROTOCOL, TWRC_FAILURE);
    }
}

}  // namespace tarnwick
