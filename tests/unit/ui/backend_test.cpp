#include <gtest/gtest.h>

#include "ui/backend.h"
#include "ui/form.h"
#include "ui/headless/driver.h"
#include "ui/number_format.h"
#include "ui/text_metrics.h"
#include "ui/timer.h"

namespace {

TEST(PendingMessages, PostedWorkRunsInOrderAndWorkPostedMeanwhileWaits) {
    ui::headless::Driver driver;
    std::vector<int> ran;
    ui::backend().post([&] {
        ran.push_back(1);
        ui::backend().post([&] { ran.push_back(3); });
    });
    ui::backend().post([&] { ran.push_back(2); });
    ui::processPendingMessages();
    EXPECT_EQ(ran, (std::vector{1, 2}));
    ui::processPendingMessages();
    EXPECT_EQ(ran, (std::vector{1, 2, 3}));
    EXPECT_EQ(driver.processedCount(), 2);
}

TEST(PendingMessages, AKeyPressWaitingForTheNextRoundReachesTheForm) {
    ui::headless::Driver driver;
    ui::Form form;
    form.setKeyPreview(true);
    form.show();
    bool keepReading = true;
    form.onKeyDown = [&](ui::KeyEvent& e) {
        if (e.key == ui::key::Escape) keepReading = false;
    };
    ui::backend().post([&] { driver.pressKey(form, ui::key::Escape); });
    int rows = 0;
    while (keepReading && rows < 100) {
        ++rows;
        ui::processPendingMessages();
    }
    EXPECT_EQ(rows, 1);
}

TEST(Boxes, TheDriverAnswersBoxesInOrderAndRecordsEveryOne) {
    ui::headless::Driver driver;
    driver.answerBox(ui::ModalResult::Cancel);
    EXPECT_EQ(
        ui::messageBox("Press", "Tarnwick", ui::BoxKind::Information, ui::BoxButtons::OkCancel),
        ui::ModalResult::Cancel);
    EXPECT_EQ(ui::messageBox("Again", "", ui::BoxKind::Error), ui::ModalResult::Ok);
    driver.answerBox(ui::ModalResult::No);
    EXPECT_EQ(ui::messageBox("?", "", ui::BoxKind::Confirmation, ui::BoxButtons::YesNo),
              ui::ModalResult::No);
    EXPECT_EQ(ui::messageBox("!", "", ui::BoxKind::Warning, ui::BoxButtons::YesNoCancel),
              ui::ModalResult::Yes)
        << "none queued: the first button";
    ASSERT_EQ(driver.boxes().size(), 4u);
    EXPECT_EQ(driver.boxes()[0].text, "Press");
    EXPECT_EQ(driver.boxes()[0].caption, "Tarnwick");
    EXPECT_EQ(driver.boxes()[1].kind, ui::BoxKind::Error);
    EXPECT_EQ(driver.boxes()[2].buttons, ui::BoxButtons::YesNo);
    EXPECT_EQ(driver.boxes()[2].answer, ui::ModalResult::No);
}

TEST(Boxes, InputBoxGivesThePresetWhenClosed) {
    ui::headless::Driver driver;
    driver.answerInput(std::nullopt);
    driver.answerInput("3");
    EXPECT_EQ(ui::inputBox("Number of pages", "Number of pages", "1"), "1");
    std::string value = "1.0";
    EXPECT_TRUE(ui::inputQuery("Gamma", "Gamma value", value));
    EXPECT_EQ(value, "3");
    EXPECT_FALSE(ui::inputQuery("Gamma", "Gamma value", value));  // no answer left: closed
    ASSERT_EQ(driver.inputs().size(), 3u);
    EXPECT_EQ(driver.inputs()[1].preset, "1.0");
}

TEST(Boxes, WithoutDriverModalFormsCancelAndBoxesTakeTheirDefault) {
    ui::Form form;
    EXPECT_EQ(form.showModal(), ui::ModalResult::Cancel);
    EXPECT_EQ(ui::messageBox("x", "y", ui::BoxKind::Confirmation, ui::BoxButtons::YesNo),
              ui::ModalResult::Yes);
    std::string v = "a";
    EXPECT_FALSE(ui::inputQuery("c", "p", v));
}

TEST(Timers, FireOncePerFullPeriodWhileEnabled) {
    ui::headless::Driver driver;
    ui::Timer dashes, wait;
    dashes.setInterval(500);
    wait.setInterval(250);
    std::vector<std::string> fired;
    dashes.onTimer = [&] { fired.push_back("dashes"); };
    wait.onTimer = [&] { fired.push_back("wait"); };
    dashes.setEnabled(true);
    wait.setEnabled(true);
    driver.advance(499);
    EXPECT_EQ(fired, (std::vector<std::string>{"wait"}));
    driver.advance(1);
    // Both are due at 500: the timer created first fires first.
    EXPECT_EQ(fired, (std::vector<std::string>{"wait", "dashes", "wait"}));
    wait.setEnabled(false);
    driver.advance(1000);
    EXPECT_EQ(fired.size(), 5u);
}

TEST(Timers, EnablingAgainStartsTheFullPeriod) {
    ui::headless::Driver driver;
    ui::Timer t;
    t.setInterval(500);
    int ticks = 0;
    t.onTimer = [&] { ++ticks; };
    t.setEnabled(true);
    driver.advance(400);
    t.setEnabled(false);
    t.setEnabled(true);
    driver.advance(400);
    EXPECT_EQ(ticks, 0);
    driver.advance(100);
    EXPECT_EQ(ticks, 1);
}

TEST(Timers, AHandlerThatStopsItsTimerStopsIt) {
    ui::headless::Driver driver;
    ui::Timer t;
    t.setInterval(100);
    int ticks = 0;
    t.onTimer = [&] {
        ++ticks;
        t.setEnabled(false);
    };
    t.setEnabled(true);
    driver.advance(1000);
    EXPECT_EQ(ticks, 1);
}

TEST(TextMetrics, FixedMetricsMakeCaptionHeightsComputable) {
    ui::Font font;
    std::string fifty(50, 'x');
    EXPECT_EQ(ui::textWidth(font, fifty), 300);
    EXPECT_EQ(ui::lineHeight(font), 13);
    // A caption needs 16 pixels per line of 145 pixels.
    EXPECT_EQ(16 * (1 + ui::textWidth(font, fifty) / 145), 48);
    EXPECT_EQ(ui::textWidth(font, "Größe"), 30);  // code points, not bytes
    EXPECT_EQ(ui::textWidth({"Tahoma", 12, false}, "ab"), 18);
}

TEST(NumberFormat, WritesAndReadsNumbersOfTheLocale) {
    EXPECT_EQ(ui::formatFixed(12345.5, 4, true), "12,345.5000");
    EXPECT_EQ(ui::formatFixed(-1234.0, 0, true), "-1,234");
    EXPECT_EQ(ui::formatGeneral(12.5), "12.5");
    EXPECT_EQ(ui::formatGeneral(0.1 + 0.2), "0.3");
    EXPECT_EQ(ui::parseReal(" 1,234.25 "), 1234.25);
    EXPECT_EQ(ui::parseReal("-1,234,567"), -1234567.0);
    // A grouping separator where it groups no three digits makes the text no number.
    for (const char* slip : {"2,2", "12,34", "1,2345", ",5", "1.5,0", "1,234,56", "1e1,000"})
        EXPECT_FALSE(ui::parseReal(slip)) << slip;
    EXPECT_FALSE(ui::parseReal("12a"));
    EXPECT_FALSE(ui::parseReal(""));
    EXPECT_FALSE(ui::parseReal("1e999"));
    EXPECT_EQ(ui::parseInteger("-42"), -42);
    EXPECT_FALSE(ui::parseInteger("4.2"));
    EXPECT_FALSE(ui::parseInteger("99999999999999999999"));
}

}  // namespace
