// The frame header of a JPEG stream, as a TIFF around the stream must repeat it: what the
// sampling factors make of the colour resolution, and streams that say nothing sound.
#include <gtest/gtest.h>

#include "platform/jpeg_frame.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// SOI, an APP0 of two bytes, then a baseline frame of 20 x 10 with the components' factors.
Bytes stream(std::vector<std::uint8_t> factors) {
    const auto length = static_cast<std::uint8_t>(8 + 3 * factors.size());
    Bytes s{0xff, 0xd8, 0xff, 0xe0, 0x00, 0x04,
            'J',  'F',  0xff, 0xc0, 0x00, length,
            8,    0,    10,   0,    20,   static_cast<std::uint8_t>(factors.size())};
    for (std::size_t c = 0; c < factors.size(); ++c) {
        s.push_back(static_cast<std::uint8_t>(c + 1));
        s.push_back(factors[c]);
        s.push_back(0);
    }
    return s;
}

TEST(JpegFrame, SamplingFactorsGiveTheShareOfChrominance) {
    struct Case {
        std::vector<std::uint8_t> factors;
        int components, across, down;
    };
    const Case cases[] = {{{0x11}, 1, 1, 1},
                          {{0x11, 0x11, 0x11}, 3, 1, 1},
                          {{0x22, 0x11, 0x11}, 3, 2, 2},
                          {{0x21, 0x11, 0x11}, 3, 2, 1},
                          {{0x12, 0x11, 0x11}, 3, 1, 2},
                          {{0x41, 0x11, 0x11}, 3, 4, 1},
                          {{0x22, 0x12, 0x12}, 3, 2, 1}};
    for (const Case& c : cases) {
        const Bytes s = stream(c.factors);
        const auto frame = platform::readJpegFrame(s.data(), s.size());
        ASSERT_TRUE(frame) << int(c.factors[0]);
        EXPECT_EQ(frame->width, 20);
        EXPECT_EQ(frame->height, 10);
        EXPECT_EQ(frame->components, c.components);
        EXPECT_EQ(frame->horizontalShare, c.across);
        EXPECT_EQ(frame->verticalShare, c.down);
    }
}

TEST(JpegFrame, StreamsWithoutASoundFrameAreRefused) {
    // Chrominance finer than luminance, uneven chrominance, a share of 3, two components.
    for (auto factors : {std::vector<std::uint8_t>{0x11, 0x22, 0x22},
                         {0x22, 0x11, 0x21},
                         {0x31, 0x11, 0x11},
                         {0x11, 0x11}}) {
        const Bytes s = stream(factors);
        EXPECT_FALSE(platform::readJpegFrame(s.data(), s.size())) << int(factors[0]);
    }
    const Bytes good = stream({0x22, 0x11, 0x11});
    for (std::size_t cut = 0; cut < good.size(); ++cut)
        EXPECT_FALSE(platform::readJpegFrame(good.data(), cut)) << "cut at " << cut;
    // A scan before any frame; a segment whose length runs past the end; no marker.
    const Bytes scanFirst{0xff, 0xd8, 0xff, 0xda, 0x00, 0x02, 0xff, 0xc0};
    const Bytes overlong{0xff, 0xd8, 0xff, 0xe0, 0xff, 0xff, 0, 0};
    const Bytes junk{0xff, 0xd8, 0x12, 0x34};
    for (const Bytes* s : {&scanFirst, &overlong, &junk})
        EXPECT_FALSE(platform::readJpegFrame(s->data(), s->size()));
}

}  // namespace
