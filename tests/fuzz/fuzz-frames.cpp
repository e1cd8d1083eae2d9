// Image data is the daemon's: any frame parameters and bytes, in any chunks, for a first frame and
// a later one of another shape, must decode into the bitmap without reading or writing outside it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "image/decode_frame.h"

namespace {

struct Input {
    const std::uint8_t* data;
    std::size_t size;

    std::uint8_t byte() {
        if (size == 0) return 0;
        --size;
        return *data++;
    }
    int word() { return byte() | byte() << 8; }
};

// Small enough that a frame fits the fuzzer's memory limit; the depths and formats include ones
// no rule decodes.
tarnwick::FrameParameters parameters(Input& in) {
    tarnwick::FrameParameters p;
    const std::uint8_t shape = in.byte();
    p.format = shape % 6;
    static constexpr int kDepths[] = {1, 8, 16, 4, 12, 0};
    p.depth = kDepths[shape / 6 % 6];
    p.lastFrame = (shape & 0x80) != 0;
    p.pixelsPerLine = in.word() % 2048 - 8;
    p.bytesPerLine = in.word() % 8192 - 8;
    p.lines = in.word() % 512 - 16;
    return p;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in{data, size};
    const tarnwick::FrameParameters first = parameters(in), later = parameters(in);
    const std::uint8_t flags = in.byte();
    const std::size_t chunk = std::max<std::size_t>(in.byte() * 61 % 0x9000, 1);
    tarnwick::DecodeOptions options;
    options.noInvertBlackWhite = (flags & 1) != 0;
    options.littleEndianSamples = (flags & 2) != 0;
    options.keepSixteenBits = (flags & 4) != 0;
    // The rest of the input is the two frames' bytes, split where the flags say.
    const std::size_t split = in.size * (flags >> 3) / 31;
    Input frames[2] = {{in.data, split}, {in.data + split, in.size - split}};
    tarnwick::Bitmap bitmap;
    for (int f = 0; f < 2; ++f) {
        Input& bytes = frames[f];
        const tarnwick::FrameReader read = [&](std::uint8_t* to, std::size_t capacity,
                                               std::size_t& count) {
            if (bytes.size == 0) return tarnwick::ReadStatus::EndOfFrame;
            count = std::min({chunk, capacity, bytes.size});
            std::memcpy(to, bytes.data, count);
            bytes.data += count;
            bytes.size -= count;
            return tarnwick::ReadStatus::Data;
        };
        options.firstFrame = f == 0;
        const tarnwick::DecodeResult result =
            tarnwick::decodeFrame(bitmap, f == 0 ? first : later, options, read, nullptr);
        if (result != tarnwick::DecodeResult::Complete) break;
        // Every row of the bitmap is there to be read.
        if (bitmap.height() > 0 && bitmap.rowBytes() > 0) {
            volatile std::uint8_t sum = 0;
            for (int y = 0; y < bitmap.height(); ++y)
                sum = sum + bitmap.row(y)[bitmap.rowBytes() - 1];
        }
    }
    return 0;
}
