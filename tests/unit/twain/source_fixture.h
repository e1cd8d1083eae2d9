// A data source with a scripted scanner and a recording Data Source Manager.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/scripted_scanner.h"
#include "twain/data_source.h"
#include "ui/headless/driver.h"

namespace tarnwick::testing {

struct Notification {
    TW_IDENTITY origin;
    TW_IDENTITY destination;
    TW_UINT32 DG;
    TW_UINT16 DAT;
    TW_UINT16 MSG;
    TW_MEMREF pData;
};

// What the recording manager offers and what it received.
struct DsmScript {
    bool libraryLoads = true;
    bool libraryHasEntry = true;
    bool processHasEntry = false;
    TW_UINT16 answer = TWRC_SUCCESS;
    std::vector<std::string> loadAttempts;
    std::vector<Notification> received;
};

DsmScript& dsmScript();
DsmLink recordingDsm();

void setText(TW_STR32& field, const char* text);
TW_IDENTITY applicationNamed(const char* manufacturer);

class SourceTest : public ::testing::Test {
  protected:
    SourceTest();
    ~SourceTest() override;

    // A fresh source at load, with the script and every record back to the start.
    void reset();

    // The triplet as the manager would pass it, from the application `application`.
    TW_UINT16 call(TW_UINT32 DG, TW_UINT16 DAT, TW_UINT16 MSG, TW_MEMREF pData);
    TW_UINT16 open();
    TW_UINT16 enable(TW_BOOL showUI);
    // Leaves the source in `state` (3 to 7) the way an application gets it there.
    void bringTo(TW_INT32 state);
    TW_UINT16 readStatus();
    const std::vector<ui::headless::BoxRecord>& shownBoxes() const { return driver->boxes(); }

    TW_IDENTITY application = applicationNamed("Acme Imaging");
    TW_IDENTITY assigned{};  // the identity the manager assigned to the source
    ScannerScript scanner;
    int scannersMade = 0;
    std::unique_ptr<DataSource> source;
    std::optional<ui::headless::Driver> driver;  // answers and records the message boxes
};

}  // namespace tarnwick::testing
