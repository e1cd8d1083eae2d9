// DAT_USERINTERFACE: enabling the source with or without its window, and disabling it.
#include "twain/data_source.h"
#include "twain/scan_condition.h"
#include "twain/triplet_handlers.h"

namespace tarnwick {

namespace {

TW_UINT16 enable(DataSource& source, TW_USERINTERFACE& ui) {
    source.uiOnly = false;
    source.enableFailed = false;
    if (ui.ShowUI) {
        source.scanner->showWindow(false);
        ui.ModalUI = 0;
        source.setState(5);
        if (!source.scanner->windowSeen()) {
            // One press of Scan; when it gave nothing, the user closes the window.
            source.unseenWindow = true;
            source.scanner->pressScan();
            if (source.state() == 5) source.notifyApplication(MSG_CLOSEDSREQ);
        }
        return TWRC_SUCCESS;
    }
    // Without a window the first image is scanned at once, as the first of a batch the Scan
    // button would start.
    source.setState(5);
    source.scanner->beginBatch();
    if (!source.scanner->acquire(true, true)) {
        // A source that could not start stays where it was: closable, and enabled again later.
        source.setState(4);
        source.enableFailed = true;
        return source.setCondition(conditionOfScanFailure(source.scanner->scanFailure()),
                                   TWRC_FAILURE);
    }
    source.notifyApplication(MSG_XFERREADY);
    return TWRC_SUCCESS;
}

TW_UINT16 enableForSettings(DataSource& source, TW_USERINTERFACE& ui) {
    source.uiOnly = true;
    source.enableFailed = false;
    source.scanner->showWindow(true);
    ui.ModalUI = 0;
    source.setState(5);
    // Settings nobody can see are confirmed at once, as they stand.
    if (!source.scanner->windowSeen()) source.notifyApplication(MSG_CLOSEDSOK);
    return TWRC_SUCCESS;
}

}  // namespace

TW_UINT16 handleUserInterface(DataSource& source, TW_UINT16 MSG, TW_MEMREF pData) {
    switch (MSG) {
        case MSG_ENABLEDS:
            return enable(source, *static_cast<TW_USERINTERFACE*>(pData));
        case MSG_ENABLEDSUIONLY:
            return enableForSettings(source, *static_cast<TW_USERINTERFACE*>(pData));
        case MSG_DISABLEDS:
            if (source.state() == 4 && !source.enableFailed)
                return source.setCondition(TWCC_SEQERROR, TWRC_FAILURE);
            source.enableFailed = false;
            source.files.closeFile();
            source.scanner->hideWindow();
            source.unseenWindow = false;
            source.setState(4);
            return TWRC_SUCCESS;
        default:
            return source.setCondition(TWCC_BADPROTOCOL, TWRC_FAILURE);
    }
}

}  // namespace tarnwick
