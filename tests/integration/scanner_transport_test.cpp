// What every scanner transport must do, whatever protocol reaches the scanner: each
// implementation brings a bed (a real peer and a way to open a scanner on it) and runs the same
// suite.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "options/device.h"
#include "options/number_option.h"
#include "options/option_roles.h"
#include "sane/connection.h"
#include "support/saned_fixture.h"

namespace tarnwick::testing {
namespace {

// A scanner to open and the peer behind it.
class TransportBed {
  public:
    virtual ~TransportBed() = default;
    // False (with a reason) when the peer is not available.
    virtual bool ready(std::string& why) = 0;
    virtual std::unique_ptr<ScannerTransport> makeScanner() = 0;
};

// The SANE network client against a private saned with the test backend.
class SanedBed : public TransportBed {
  public:
    bool ready(std::string& why) override {
        if (!saned_.running()) {
            why = saned_.error();
            return false;
        }
        connection_ = std::make_unique<Connection>("127.0.0.1", "tester", saned_.port(),
                                                   [](const std::string&, bool, bool) {});
        if (connection_->connect(true)) return true;
        why = "no log-on";
        return false;
    }
    std::unique_ptr<ScannerTransport> makeScanner() override {
        return std::make_unique<Device>(*connection_, Connection::deviceNamed("test:0"));
    }

  private:
    SanedFixture saned_;
    std::unique_ptr<Connection> connection_;
};

using BedFactory = std::function<std::unique_ptr<TransportBed>()>;

class ScannerTransportSuite : public ::testing::TestWithParam<BedFactory> {
  protected:
    void SetUp() override {
        bed_ = GetParam()();
        std::string why;
        ASSERT_TRUE(bed_->ready(why)) << why;
        scanner = bed_->makeScanner();
        ASSERT_TRUE(scanner->open([this](int event) { events.push_back(event); }));
        roles = findOptionRoles(scanner->loadOptions(false, false));
        ASSERT_TRUE(roles.hasArea());
        ASSERT_NE(roles.resolution, nullptr);
    }
    void TearDown() override {
        if (scanner) scanner->close();
    }

    // A small area at a low resolution keeps frames short.
    void smallScan() {
        auto* resolution = dynamic_cast<NumberOption*>(roles.resolution);
        ASSERT_NE(resolution, nullptr);
        double low = 0, high = 0;
        resolution->getBounds(low, high);
        scanner->setNumber(*resolution, std::max(low, 50.0));
        for (auto [edge, value] :
             {std::pair{roles.tlx, 0.0}, {roles.tly, 0.0}, {roles.brx, 20.0}, {roles.bry, 20.0}})
            scanner->setNumber(*edge, value);
    }
    // Reads the frame to its end; the number of bytes it held.
    long long readFrame() {
        std::vector<std::uint8_t> buffer(1000);
        long long total = 0;
        std::size_t length = 0;
        while (total < 100'000'000 && scanner->readData(buffer.data(), buffer.size(), length))
            total += static_cast<long long>(length);
        return total;
    }

    std::unique_ptr<TransportBed> bed_;
    std::unique_ptr<ScannerTransport> scanner;
    OptionRoles roles;
    std::vector<int> events;
};

TEST_P(ScannerTransportSuite, OpensWithItsOptionsAndFrameParameters) {
    EXPECT_TRUE(scanner->isOpen());
    EXPECT_FALSE(scanner->name().empty());
    EXPECT_TRUE(scanner->parametersValid());
    EXPECT_EQ(scanner->findOption("resolution"), roles.resolution);
    EXPECT_EQ(scanner->findOption("no such option"), nullptr);
    EXPECT_EQ(&scanner->loadOptions(false, false), &scanner->options()) << "fetched once";
    scanner->close();
    EXPECT_FALSE(scanner->isOpen());
}

TEST_P(ScannerTransportSuite, AnEdgeIsTakenWithinTheBedAndClampedBeyondIt) {
    double low = 0, high = 0;
    roles.brx->getBounds(low, high);
    EXPECT_TRUE(scanner->setNumber(*roles.brx, (low + high) / 2));
    EXPECT_EQ(roles.brx->values.front(), (low + high) / 2);
    EXPECT_FALSE(scanner->setNumber(*roles.brx, high + 1000)) << "the bed ends";
    EXPECT_LE(roles.brx->values.front(), high);
}

TEST_P(ScannerTransportSuite, AFrameHasTheBytesItsParametersAnnounce) {
    smallScan();
    ASSERT_TRUE(scanner->start());
    const Parameters p = scanner->parameters();
    ASSERT_GT(p.lines, 0);
    EXPECT_EQ(readFrame(), static_cast<long long>(p.bytesPerLine) * p.lines);
    EXPECT_EQ(scanner->frameEnded(), ScannerTransport::FrameEnd::whole);
    scanner->cancel();
}

TEST_P(ScannerTransportSuite, ACancelledFrameEndsAndTheNextStartsAfresh) {
    smallScan();
    ASSERT_TRUE(scanner->start());
    std::vector<std::uint8_t> buffer(16);
    std::size_t length = 0;
    ASSERT_TRUE(scanner->readData(buffer.data(), buffer.size(), length));
    scanner->cancel();
    EXPECT_NE(scanner->frameEnded(), ScannerTransport::FrameEnd::whole);

    ASSERT_TRUE(scanner->start());
    const Parameters p = scanner->parameters();
    EXPECT_EQ(readFrame(), static_cast<long long>(p.bytesPerLine) * p.lines);
    EXPECT_EQ(scanner->frameEnded(), ScannerTransport::FrameEnd::whole);
    scanner->cancel();
}

INSTANTIATE_TEST_SUITE_P(Sane, ScannerTransportSuite, ::testing::Values(BedFactory([] {
                             return std::make_unique<SanedBed>();
                         })));

}  // namespace
}  // namespace tarnwick::testing
