#include "escl/line_art.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace tarnwick {
namespace {

struct ThresholdCase {
    const char* name;
    int channels, bits;
    std::vector<unsigned> samples;  // per pixel and channel
    std::vector<std::uint8_t> expected;
};

std::vector<std::uint8_t> raw(const ThresholdCase& c) {
    std::vector<std::uint8_t> row;
    for (unsigned s : c.samples) {
        if (c.bits == 8) {
            row.push_back(static_cast<std::uint8_t>(s));
        } else {
            const auto v = static_cast<std::uint16_t>(s);
            std::uint8_t b[2];
            std::memcpy(b, &v, 2);
            row.insert(row.end(), b, b + 2);
        }
    }
    return row;
}

class Threshold : public ::testing::TestWithParam<ThresholdCase> {};

TEST_P(Threshold, DarkerThanTheMiddleIsBlack) {
    const ThresholdCase& c = GetParam();
    platform::RasterFormat format;
    format.channels = c.channels;
    format.bitsPerSample = c.bits;
    format.width = static_cast<int>(c.samples.size()) / c.channels;
    const std::vector<std::uint8_t> in = raw(c);
    // A byte beyond the row shows a write past its end.
    std::vector<std::uint8_t> out(c.expected.size() + 1, 0xAA);
    thresholdRow(in.data(), format, out.data());
    EXPECT_EQ(std::vector<std::uint8_t>(out.begin(), out.end() - 1), c.expected);
    EXPECT_EQ(out.back(), 0xAA);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Threshold,
    ::testing::Values(
        ThresholdCase{"GreyAtTheMiddle", 1, 8, {0, 127, 128, 255}, {0xC0}},
        // Nine pixels: the second byte holds one, its other bits stay clear.
        ThresholdCase{"GreyNinePixels", 1, 8, {0, 255, 0, 255, 0, 255, 0, 255, 0}, {0xAA, 0x80}},
        ThresholdCase{"Grey16AtTheMiddle", 1, 16, {32767, 32768, 0, 65535}, {0xA0}},
        // Pure green is lighter than the middle, pure red and blue darker.
        ThresholdCase{
            "ColourByLuminance", 3, 8, {255, 0, 0, 0, 255, 0, 0, 0, 255, 128, 128, 128}, {0xA0}},
        ThresholdCase{"Colour16", 3, 16, {0, 0, 0, 65535, 65535, 65535}, {0x80}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tarnwick
