// A connection to the fixture's saned with the test devices, and helpers for frames.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "options/device.h"
#include "sane/connection.h"
#include "support/saned_fixture.h"

namespace tarnwick::testing {

struct Report {
    std::string message;
    bool showError, fatal;
};

// Answers every prompt with the next of its credentials, then refuses.
class ScriptedAuthorizer : public Authorizer {
  public:
    explicit ScriptedAuthorizer(std::vector<Credentials> answers) : answers_(std::move(answers)) {}
    std::optional<Credentials> ask(const std::string& resource) override {
        resources.push_back(resource);
        if (next_ >= answers_.size()) return std::nullopt;
        return answers_[next_++];
    }
    std::vector<std::string> resources;

  private:
    std::vector<Credentials> answers_;
    std::size_t next_ = 0;
};

class SanedTest : public ::testing::Test {
  protected:
    explicit SanedTest(bool protect = false) : saned_(protect) {}

    void SetUp() override {
        ASSERT_TRUE(saned_.running()) << saned_.error();
        connection_ = std::make_unique<Connection>("127.0.0.1", "tester", saned_.port(),
                                                   [this](const std::string& m, bool e, bool f) {
                                                       reports.push_back({m, e, f});
                                                   });
        ASSERT_TRUE(connection_->connect(true));
    }

    // Opens test:0 (or another) with its options loaded and a small, quick scan area.
    std::unique_ptr<Device> openDevice(const std::string& name = "test:0",
                                       Authorizer* authorizer = nullptr) {
        auto device =
            std::make_unique<Device>(*connection_, Connection::deviceNamed(name), authorizer);
        if (!device->open([this](int event) { events.push_back(event); })) return nullptr;
        device->loadOptions(false, false);
        return device;
    }

    void smallArea(Device& device) {
        setNumber(device, "resolution", 25);
        setNumber(device, "br-x", 20);
        setNumber(device, "br-y", 10);
    }

    NumberOption& number(Device& device, const std::string& name) {
        auto* option = dynamic_cast<NumberOption*>(device.findOption(name));
        EXPECT_NE(option, nullptr) << name;
        return *option;
    }
    void setNumber(Device& device, const std::string& name, double value) {
        device.setNumber(number(device, name), value);
    }
    bool setBool(Device& device, const std::string& name, bool value) {
        return device.controlBool(SANE_ACTION_SET_VALUE, *device.findOption(name), value);
    }
    std::string setString(Device& device, const std::string& name, const std::string& text) {
        return device.controlString(SANE_ACTION_SET_VALUE, *device.findOption(name), text);
    }

    // Reads the frame begun by start to its end; the byte count.
    static long long readFrame(Device& device) {
        std::vector<std::uint8_t> buffer(4096);
        long long total = 0;
        std::size_t length = 0;
        while (device.readData(buffer.data(), buffer.size(), length))
            total += static_cast<long long>(length);
        return total;
    }

    bool reported(const std::string& message) const {
        for (const Report& r : reports)
            if (r.message == message) return true;
        return false;
    }
    bool anyError() const {
        for (const Report& r : reports)
            if (r.showError) return true;
        return false;
    }

    // The connection reports while it goes away: it is destroyed before what it reports into.
    SanedFixture saned_;
    std::vector<Report> reports;
    std::vector<int> events;
    std::unique_ptr<Connection> connection_;
};

}  // namespace tarnwick::testing
