// A scanning window connected to a private saned with the test backend.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/debug_log.h"
#include "options/number_option.h"
#include "support/saned_fixture.h"
#include "window/preview_form.h"
#include "window_fixture.h"

namespace tarnwick::testing {

// The window on test:0 of a private saned, with a small quick scan area.
class ScanWindowTest : public WindowTest {
  protected:
    void SetUp() override {
        ASSERT_TRUE(saned.running()) << saned.error();
        writeSettings("[Connection]\nHost=127.0.0.1\nPort=" + std::to_string(saned.port()) +
                      "\nDevice=test:0\nGetDevices=0\n" + extraSettings);
    }
    void TearDown() override { stopDebugLog(); }

    TFPreview& openScanning() {
        open();
        EXPECT_NE(device(), nullptr);
        return *window;
    }
    NumberOption& number(const std::string& name) {
        return dynamic_cast<NumberOption&>(option(name));
    }
    void setNumber(const std::string& name, double value) {
        device()->setNumber(number(name), value);
    }
    std::string setString(const std::string& name, const std::string& text) {
        return device()->controlString(SANE_ACTION_SET_VALUE, option(name), text);
    }
    void startLog() { startDebugLog(folder.path()); }
    // How often the text stands in the debug log begun by startLog, which ends here.
    int logged(const std::string& text) {
        stopDebugLog();
        const std::string log = testing_support::readWholeFile(folder.file("tarnwick.dbg"));
        int count = 0;
        for (std::size_t at = log.find(text); at != std::string::npos;
             at = log.find(text, at + text.size()))
            ++count;
        return count;
    }

    SanedFixture saned;
    std::string extraSettings;
};

}  // namespace tarnwick::testing
