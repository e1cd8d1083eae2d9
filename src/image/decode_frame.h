// Turning the bytes of one SANE frame into the rows of a bitmap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "image/bitmap.h"
#include "sane/procedures.h"

namespace tarnwick {

// SANE frame formats.
constexpr int kFrameGray = 0;
constexpr int kFrameRgb = 1;
constexpr int kFrameRed = 2;
constexpr int kFrameGreen = 3;
constexpr int kFrameBlue = 4;

struct FrameParameters {
    int format = kFrameGray;
    bool lastFrame = true;
    int bytesPerLine = 0;
    int pixelsPerLine = 0;
    int lines = 0;  // negative: the device does not know the length
    int depth = 8;
};

// The frame parameters of SANE_NET_GET_PARAMETERS as the decoder takes them.
FrameParameters frameParameters(const Parameters& sane);

enum class ReadStatus { Data, EndOfFrame, Error };
// Fills up to `capacity` bytes and sets `count`; EndOfFrame and Error carry no bytes.
using FrameReader =
    std::function<ReadStatus(std::uint8_t* buffer, std::size_t capacity, std::size_t& count)>;
// Told the number of rows completed so far; false cancels the scan.
using RowCallback = std::function<bool(int rowsDone)>;

struct DecodeOptions {
    bool firstFrame = true;
    bool noInvertBlackWhite = false;
    // The daemon's byte order for 16-bit samples.
    bool littleEndianSamples = false;
    // 16-bit frames keep their samples whole (the image an application takes); otherwise, as
    // for the window's previews, the most significant byte is kept.
    bool keepSixteenBits = false;
};

enum class DecodeResult {
    Complete,           // the frame's rows are in the bitmap
    NoData,             // the frame ended before any byte arrived
    Cancelled,          // the row callback asked to stop
    ReadFailed,         // the data channel reported an error
    ShortFrame,         // the frame ended before the rows it announced
    UnknownDepth,       // no bitmap kind for this format and depth
    UnsupportedFormat,  // a frame format without a decoding rule
    TooLarge,           // the bitmap would exceed its size limit
};

// Bytes requested from the reader at a time.
constexpr std::size_t kFrameBufferSize = 0x40000;

DecodeResult decodeFrame(Bitmap& bitmap, const FrameParameters& parameters,
                         const DecodeOptions& options, const FrameReader& read,
                         const RowCallback& rowDone);

// How many frames an image that begins with this frame may have: one per colour channel for
// the single-channel formats, one otherwise.
int framesPerImage(const FrameParameters& first);

// The bitmap kind a first frame asks for; false when the depth has none.
bool bitmapKindFor(const FrameParameters& parameters, BitmapKind& kind,
                   bool keepSixteenBits = false);

}  // namespace tarnwick
