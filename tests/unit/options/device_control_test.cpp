// Device exchanges against the scripted daemon: exact requests, statuses and info bits.
#include <gtest/gtest.h>

#include <optional>

#include "options/device.h"
#include "options/simple_options.h"
#include "options/string_option.h"
#include "support/fake_daemon.h"
#include "support/status_recorder.h"

namespace tarnwick::testing {
namespace {

// SANE_NET_CONTROL_OPTION for one INT word: five header words, size, count, the word.
constexpr std::size_t kIntRequest = 8 * 4;

class DeviceControl : public ::testing::Test {
  protected:
    void SetUp() override { socketTimeout = 500; }
    void TearDown() override {
        device.reset();
        connection.reset();
        daemon.finish();
        socketTimeout = 60000;
    }
    void connect() {
        daemon.start();
        connection =
            std::make_unique<Connection>("127.0.0.1", "user", daemon.port(), recorder.callback());
        ASSERT_TRUE(connection->connect(false));
        device = std::make_unique<Device>(*connection, Connection::deviceNamed("dev"));
    }
    static Bytes intReply(Word info, Word value, Word status = SANE_STATUS_GOOD) {
        return Wire()
            .word(status)
            .word(info)
            .word(SANE_TYPE_INT)
            .word(4)
            .word(1)
            .word(value)
            .word(0);
    }

    FakeDaemon daemon;
    StatusRecorder recorder;
    std::unique_ptr<Connection> connection;
    std::unique_ptr<Device> device;
};

TEST_F(DeviceControl, OpenAnsweredWithInvalidAsksForAResetAndKeepsTheConnection) {
    daemon.receive(12).send(Wire().word(SANE_STATUS_INVAL).word(0).word(0));
    connect();
    EXPECT_FALSE(device->open(nullptr));
    EXPECT_FALSE(device->isOpen());
    EXPECT_TRUE(
        recorder.has("Error opening device. You may need to reset the device.", true, false));
}

TEST_F(DeviceControl, UnsupportedGetOnlyGoesToTheStatusLine) {
    // A refused request is answered with the whole record, as saned does.
    daemon.receive(kIntRequest).send(intReply(0, 0, SANE_STATUS_UNSUPPORTED)).pause(50);
    daemon.receive(kIntRequest).send(intReply(0, 0, SANE_STATUS_UNSUPPORTED));
    connect();
    NumberOption option(1, "n", "", "", 0, 4, 5, device.get());
    option.values[0] = 9;
    device->controlNumbers(SANE_ACTION_GET_VALUE, option);
    EXPECT_EQ(option.values[0], 9);
    EXPECT_TRUE(recorder.has("Operation not supported", false, false));
    device->controlNumbers(SANE_ACTION_SET_VALUE, option);
    EXPECT_TRUE(recorder.has("Operation not supported", true, false));
}

TEST_F(DeviceControl, InexactGetIsReportedWithoutReloads) {
    daemon.receive(kIntRequest).send(intReply(SANE_INFO_INEXACT | SANE_INFO_RELOAD_OPTIONS, 7));
    connect();
    NumberOption option(1, "n", "", "", 0, 4, 5, device.get());
    device->controlNumbers(SANE_ACTION_GET_VALUE, option);
    EXPECT_EQ(option.values[0], 7);
    EXPECT_EQ(option.info, 3);
    EXPECT_TRUE(recorder.has("The value was modified by the scanner backend", false, false));
    EXPECT_FALSE(recorder.hasMessage("Reloading option values"));
}

TEST_F(DeviceControl, ASetNumberTellsWhetherTheDeviceTookTheValue) {
    struct Case {
        Word status, info, answer;
        bool taken;
        double kept;
    };
    const Case cases[] = {
        {SANE_STATUS_GOOD, 0, 508, true, 508},
        {SANE_STATUS_GOOD, SANE_INFO_INEXACT, 200, false, 200},  // clamped to the bed
        {SANE_STATUS_GOOD, 0, 200, false, 200},                  // clamped without saying so
        {SANE_STATUS_INVAL, 0, 508, false, 3},                   // refused: the old value stays
    };
    for (const Case& c : cases)
        daemon.receive(kIntRequest).send(intReply(c.info, c.answer, c.status));
    connect();
    for (const Case& c : cases) {
        NumberOption option(1, "n", "", "", 0, 4, 5, device.get());
        option.values[0] = 3;
        EXPECT_EQ(device->setNumber(option, 508), c.taken) << c.status << " " << c.info;
        EXPECT_EQ(option.values[0], c.kept) << c.status << " " << c.info;
    }
}

TEST_F(DeviceControl, ASetNumberOfTheValueTheDeviceLastAnsweredSendsNothing) {
    enum Kind { set, get, reloadingBool };
    struct Step {
        Kind kind;
        double value;
        std::optional<Bytes> reply;  // none: nothing may go out
        bool taken;
    };
    const Bytes reloaded = Wire()
                               .word(SANE_STATUS_GOOD)
                               .word(SANE_INFO_RELOAD_OPTIONS)
                               .word(SANE_TYPE_BOOL)
                               .word(4)
                               .word(1)
                               .word(1)
                               .word(0);
    const Step steps[] = {
        {set, 5, intReply(0, 5), true},
        {set, 5, std::nullopt, true},
        {set, 6, intReply(SANE_INFO_INEXACT, 5), false},
        {set, 5, std::nullopt, true},  // the device's answer counts, not the value sent
        {set, 7, intReply(0, 0, SANE_STATUS_INVAL), false},
        {set, 5, intReply(0, 5), true},  // unknown after a refusal
        {reloadingBool, 0, reloaded, true},
        {set, 5, intReply(0, 5), true},  // unknown after another option's reload
        {get, 0, intReply(0, 9), true},
        {set, 9, std::nullopt, true},
    };
    std::size_t requests = 0;
    for (const Step& step : steps)
        if (step.reply) {
            daemon.receive(kIntRequest).send(*step.reply);
            ++requests;
        }
    connect();
    device->setReloadEnabled(false);
    NumberOption option(1, "n", "", "", 0, 4, 5, device.get());
    BoolOption flag(2, "b", "", "", 0, 4, 5, device.get());
    for (const Step& step : steps) {
        if (step.kind == get) device->controlNumbers(SANE_ACTION_GET_VALUE, option);
        if (step.kind == reloadingBool) device->controlBool(SANE_ACTION_SET_VALUE, flag, true);
        if (step.kind != set) continue;
        EXPECT_EQ(device->setNumber(option, step.value), step.taken) << step.value;
    }
    EXPECT_EQ(option.values[0], 9);
    connection.reset();
    daemon.finish();
    EXPECT_EQ(daemon.received().size(), requests * kIntRequest + 4) << "and the exit";
}

TEST_F(DeviceControl, ATextOrBooleanTheDeviceAnsweredIsNotAskedAgain) {
    enum Target { text, sensor, flag };
    struct Step {
        Target target;
        Word action;
        const char* sent;          // a text, or "1" / "0"
        std::optional<Word> info;  // none: nothing may go out
        const char* answer;        // what the device answers, and what comes back
    };
    const Step steps[] = {
        {text, SANE_ACTION_GET_VALUE, "", 0, "ab"},
        {text, SANE_ACTION_GET_VALUE, "", std::nullopt, "ab"},
        {text, SANE_ACTION_SET_VALUE, "cd", SANE_INFO_INEXACT, "ce"},
        {text, SANE_ACTION_GET_VALUE, "", std::nullopt, "ce"},  // the answer, not the text sent
        {sensor, SANE_ACTION_GET_VALUE, "0", 0, "1"},           // a sensor is read every time
        {sensor, SANE_ACTION_GET_VALUE, "0", 0, "0"},
        {flag, SANE_ACTION_GET_VALUE, "0", 0, "1"},
        {flag, SANE_ACTION_SET_VALUE, "0", SANE_INFO_RELOAD_OPTIONS, "0"},
        {text, SANE_ACTION_GET_VALUE, "", 0, "ef"},  // any value may have changed
        {flag, SANE_ACTION_GET_VALUE, "0", 0, "0"},
        {flag, SANE_ACTION_GET_VALUE, "0", std::nullopt, "0"},
    };
    std::size_t requests = 0;
    for (const Step& step : steps) {
        if (!step.info) continue;
        Wire reply;
        reply.word(SANE_STATUS_GOOD).word(*step.info);
        if (step.target == text)
            reply.word(SANE_TYPE_STRING)
                .word(4)
                .word(4)
                .bytes(std::string(step.answer).append(2, '\0'));
        else
            reply.word(SANE_TYPE_BOOL).word(4).word(1).word(step.answer[0] == '1');
        daemon.receive(kIntRequest).send(reply.string(""));
        ++requests;
    }
    connect();
    device->setReloadEnabled(false);
    StringOption textOption(1, "t", "", "", 0, 4, 5, device.get());
    BoolOption sensorOption(2, "s", "", "", 0, 4, SANE_CAP_SOFT_DETECT, device.get());
    BoolOption flagOption(3, "f", "", "", 0, 4, 5, device.get());
    Option* options[] = {&textOption, &sensorOption, &flagOption};
    for (const Step& step : steps) {
        Option& option = *options[step.target];
        std::string got;
        if (step.target == text)
            got = device->controlString(step.action, option, step.sent);
        else
            got.assign(1,
                       device->controlBool(step.action, option, step.sent[0] == '1') ? '1' : '0');
        EXPECT_EQ(got, step.answer) << option.name << " " << step.action << " " << step.sent;
    }
    connection.reset();
    daemon.finish();
    EXPECT_EQ(daemon.received().size(), requests * kIntRequest + 4) << "and the exit";
}

TEST_F(DeviceControl, TextIsCutToTheOptionSizeAndInvalidIsSilent) {
    daemon.receive(5 * 4 + 2 * 4 + 4)
        .send(Wire()
                  .word(SANE_STATUS_INVAL)
                  .word(0)
                  .word(SANE_TYPE_STRING)
                  .word(4)
                  .word(4)
                  .bytes(std::string("abc\0", 4))
                  .string(""));
    connect();
    StringOption option(2, "s", "", "", 0, 4, 5, device.get());
    EXPECT_EQ(device->controlString(SANE_ACTION_SET_VALUE, option, "abcdef"), "abc");
    connection.reset();
    daemon.finish();
    Bytes sent = daemon.received();
    Bytes expected = Wire()
                         .word(SANE_NET_CONTROL_OPTION)
                         .word(0)
                         .word(2)
                         .word(SANE_ACTION_SET_VALUE)
                         .word(SANE_TYPE_STRING)
                         .word(4)
                         .word(4)
                         .bytes(std::string("abc\0", 4));
    ASSERT_GE(sent.size(), expected.size());
    EXPECT_EQ(Bytes(sent.begin(), sent.begin() + static_cast<long>(expected.size())), expected);
    EXPECT_TRUE(recorder.reports.empty() || !recorder.anyFatal());
    for (const Report& r : recorder.reports) EXPECT_FALSE(r.showError) << r.message;
}

TEST_F(DeviceControl, InactiveOptionsSendNothing) {
    connect();
    NumberOption option(1, "n", "", "", 0, 4, 5 | SANE_CAP_INACTIVE, device.get());
    option.values[0] = 4;
    device->controlNumbers(SANE_ACTION_GET_VALUE, option);
    BoolOption flag(2, "b", "", "", 0, 4, 5 | SANE_CAP_INACTIVE, device.get());
    EXPECT_TRUE(device->controlBool(SANE_ACTION_GET_VALUE, flag, true));
    EXPECT_EQ(option.values[0], 4);
    connection.reset();
    daemon.finish();
    EXPECT_EQ(daemon.received(), Bytes(Wire().word(SANE_NET_EXIT)));  // the exit alone
}

}  // namespace
}  // namespace tarnwick::testing
