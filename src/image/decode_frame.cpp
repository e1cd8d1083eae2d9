#include "image/decode_frame.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "image/swap_red_blue.h"

namespace tarnwick {

FrameParameters frameParameters(const Parameters& sane) {
    FrameParameters f;
    f.format = sane.format;
    f.lastFrame = sane.lastFrame != 0;
    f.bytesPerLine = sane.bytesPerLine;
    f.pixelsPerLine = sane.pixelsPerLine;
    f.lines = sane.lines;
    f.depth = sane.depth;
    return f;
}

int framesPerImage(const FrameParameters& first) {
    return first.format >= kFrameRed && first.format <= kFrameBlue ? 3 : 1;
}

bool bitmapKindFor(const FrameParameters& p, BitmapKind& kind, bool keepSixteenBits) {
    const bool deep = p.depth == 16 && keepSixteenBits;
    if (p.format == kFrameGray) {
        switch (p.depth) {
            case 1:
                kind = BitmapKind::Bits1;
                return true;
            case 8:
            case 16:
                kind = deep ? BitmapKind::Grey16 : BitmapKind::Bits8;
                return true;
            default:
                return false;
        }
    }
    if ((p.depth >= 1 && p.depth <= 8) || p.depth == 16) {
        kind = deep ? BitmapKind::Rgb48 : BitmapKind::Bits24;
        return true;
    }
    return false;
}

namespace {

bool isColourFormat(int format) {
    return format >= kFrameRgb && format <= kFrameBlue;
}

// Decoding rules exist for 1, 8 and 16 bits; colour frames of other depths are refused so that
// decoding never runs without consuming data.
bool hasDecodingRule(const FrameParameters& p) {
    if (p.format == kFrameGray) return p.depth == 1 || p.depth == 8 || p.depth == 16;
    return isColourFormat(p.format) && (p.depth == 1 || p.depth == 8 || p.depth == 16);
}

// Grey frames of 1 and 8 bits are copied byte by byte and counted in bytesPerLine; the others
// are decoded pixel by pixel.
bool copiesBytes(const FrameParameters& p) {
    return p.format == kFrameGray && p.depth != 16;
}

int channelsOf(const FrameParameters& p) {
    return p.format == kFrameRgb ? 3 : 1;
}

// Bytes of a row's pixel data; what a device sends beyond them up to bytesPerLine is padding.
long long pixelBytesPerRow(const FrameParameters& p) {
    const long long pixels = p.pixelsPerLine;
    if (p.depth == 1) return channelsOf(p) * ((pixels + 7) / 8);
    return pixels * channelsOf(p) * (p.depth / 8);
}

// A row of 16-bit samples, red first, into a bitmap that keeps blue first: each sample whole
// (`Deep`) or its high byte. The channel count is fixed, so the loop is unrolled.
template <int Channels, bool Deep>
void sixteenBitRow(const std::uint8_t* from, std::uint8_t* to, int pixels, bool little) {
    const int high = little ? 1 : 0;
    for (int x = 0; x < pixels; ++x, from += 2 * Channels, to += (Deep ? 2 : 1) * Channels) {
        for (int c = 0; c < Channels; ++c) {
            const std::uint8_t* at = from + 2 * c;
            const int slot = Channels - 1 - c;
            if constexpr (Deep)
                putSample(to + 2 * slot, static_cast<std::uint16_t>(at[high] << 8 | at[1 - high]));
            else
                to[slot] = at[high];
        }
    }
}

class FrameDecoder {
  public:
    FrameDecoder(Bitmap& bitmap, const FrameParameters& p, const DecodeOptions& o,
                 const RowCallback& rowDone)
        : bitmap_(bitmap),
          p_(p),
          o_(o),
          rowDone_(rowDone),
          deep_(isDeep(bitmap.kind()) && p.depth == 16) {
        const long long padding = p.bytesPerLine - pixelBytesPerRow(p);
        rowPadding_ = copiesBytes(p) || padding < 0 ? 0 : static_cast<std::size_t>(padding);
        const long long room = copiesBytes(p) ? pixelBytesPerRow(p) : 0;
        pixelRoom_ = static_cast<std::size_t>(
            std::min<long long>(room, static_cast<long long>(bitmap.rowBytes())));
        if (copiesBytes(p)) {
            wholeRowBytes_ = static_cast<std::size_t>(std::max(p.bytesPerLine, 0));
        } else if ((p.format == kFrameRgb && p.depth == 8) || fitsSixteenBitRows()) {
            wholeRowBytes_ = static_cast<std::size_t>(pixelBytesPerRow(p));
            rowPixels_ = std::min(p.pixelsPerLine, bitmap.width());
        }
    }

    int row() const { return row_; }
    std::size_t wholeRowBytes() const { return wholeRowBytes_; }
    bool started() const { return row_ != 0 || position_ != 0; }

    // Decodes what it can of the bytes and answers how many it used: the bytes of a pixel
    // that is not complete yet are left for the next read. The pixels of a 1-bit colour group
    // that has been read need no further bytes, so they are decoded at once and not lost at a
    // frame's end.
    // With `holdPartialRow` a row of the common formats whose bytes have not all arrived is
    // left for the next read too, so that it is decoded whole.
    DecodeResult decode(const std::uint8_t* bytes, std::size_t count, std::size_t& used,
                        bool holdPartialRow) {
        std::size_t i = 0;
        used = 0;
        while (i < count || (skip_ == 0 && groupPending())) {
            if (skip_ > 0) {
                const std::size_t n = std::min(skip_, count - i);
                skip_ -= n;
                i += n;
                continue;
            }
            if (bitmap_.height() <= row_ && !bitmap_.setHeight(row_ + 1))
                return DecodeResult::TooLarge;
            const bool rowStart = position_ == 0 && wholeRowBytes_ != 0;
            bool rowComplete = false;
            if (rowStart && count - i >= wholeRowBytes_) {
                decodeWholeRow(bytes + i);
                i += wholeRowBytes_;
                rowComplete = true;
            } else if (rowStart && holdPartialRow) {
                break;
            } else if (copiesBytes(p_)) {
                rowComplete = copyGreyBytes(bytes, count, i);
            } else if (count - i < bytesForNextPixel()) {
                break;
            } else {
                rowComplete = decodePixel(bytes, i);
            }
            if (!rowComplete) continue;
            ++row_;
            skip_ = rowPadding_;
            if (rowDone_ && !rowDone_(row_)) return DecodeResult::Cancelled;
            if (p_.lines < 0 && bitmap_.height() <= row_ && !bitmap_.setHeight(row_ + 1))
                return DecodeResult::TooLarge;
            if (bitmap_.height() <= row_) break;
        }
        used = i;
        return DecodeResult::Complete;
    }

  private:
    // 16-bit grey or colour into a bitmap with a sample (or its high byte) per channel; a later
    // frame of another shape goes pixel by pixel.
    bool fitsSixteenBitRows() const {
        if (p_.depth != 16 || (p_.format != kFrameGray && p_.format != kFrameRgb)) return false;
        const bool grey = p_.format == kFrameGray;
        const BitmapKind kind = bitmap_.kind();
        return deep_ ? kind == (grey ? BitmapKind::Grey16 : BitmapKind::Rgb48)
                     : kind == (grey ? BitmapKind::Bits8 : BitmapKind::Bits24);
    }

    bool groupPending() const { return p_.format != kFrameGray && p_.depth == 1 && bit_ != 7; }

    std::size_t bytesForNextPixel() const {
        if (p_.format == kFrameGray) return 2;  // 16-bit grey
        if (p_.depth == 1) return bit_ == 7 ? static_cast<std::size_t>(channelsOf(p_)) : 0;
        return static_cast<std::size_t>(channelsOf(p_) * (p_.depth / 8));
    }

    // The common formats with a whole row at hand: one tight loop over the row, no per-byte
    // bookkeeping. The bytes are the row's pixels; the row's padding follows as before.
    void decodeWholeRow(const std::uint8_t* from) {
        std::uint8_t* to = bitmap_.row(row_);
        if (p_.depth == 16) {
            decodeSixteenBitRow(from, to);
            return;
        }
        if (p_.format == kFrameRgb) {
            swapRedBlue(from, to, rowPixels_);
            return;
        }
        const std::size_t n = std::min(pixelRoom_, wholeRowBytes_);
        if (p_.depth == 1 && !o_.noInvertBlackWhite) {
            for (std::size_t k = 0; k < n; ++k) to[k] = static_cast<std::uint8_t>(~from[k]);
        } else {
            std::memcpy(to, from, n);
        }
    }

    void decodeSixteenBitRow(const std::uint8_t* from, std::uint8_t* to) const {
        const bool little = o_.littleEndianSamples;
        if (p_.format == kFrameGray)
            deep_ ? sixteenBitRow<1, true>(from, to, rowPixels_, little)
                  : sixteenBitRow<1, false>(from, to, rowPixels_, little);
        else
            deep_ ? sixteenBitRow<3, true>(from, to, rowPixels_, little)
                  : sixteenBitRow<3, false>(from, to, rowPixels_, little);
    }

    // Grey frames of 1 and 8 bits: bytes go straight to the row, which is counted in bytes.
    bool copyGreyBytes(const std::uint8_t* bytes, std::size_t count, std::size_t& i) {
        const std::size_t n =
            std::min(count - i, static_cast<std::size_t>(p_.bytesPerLine - position_));
        std::uint8_t* target = bitmap_.row(row_);
        const bool invert = p_.depth == 1 && !o_.noInvertBlackWhite;
        // Bytes beyond the row's pixels (a device's padding, or a hostile row length) are
        // dropped.
        for (std::size_t k = 0; k < n; ++k) {
            const std::size_t at = static_cast<std::size_t>(position_) + k;
            if (at >= pixelRoom_) break;
            target[at] = invert ? static_cast<std::uint8_t>(~bytes[i + k]) : bytes[i + k];
        }
        i += n;
        position_ += static_cast<int>(n);
        if (position_ < p_.bytesPerLine) return false;
        position_ = 0;
        return true;
    }

    // A sample as the bitmap keeps it: whole in a deep bitmap, else its most significant
    // byte (or the byte itself at 8 bits).
    std::uint16_t sample(const std::uint8_t* bytes, std::size_t& i) const {
        if (p_.depth == 16) {
            const std::uint16_t value =
                o_.littleEndianSamples ? static_cast<std::uint16_t>(bytes[i] | bytes[i + 1] << 8)
                                       : static_cast<std::uint16_t>(bytes[i] << 8 | bytes[i + 1]);
            i += 2;
            return deep_ ? value : static_cast<std::uint16_t>(value >> 8);
        }
        return bytes[i++];
    }

    // Deep bitmaps: 16-bit grey, or blue, green, red as 16-bit samples. Colour samples arrive
    // red first; a single-channel frame fills its own sample.
    void decodeDeepPixel(const std::uint8_t* bytes, std::size_t& i) {
        const bool grey = bitmap_.kind() == BitmapKind::Grey16;
        std::uint8_t* pixel =
            position_ < bitmap_.width()
                ? bitmap_.row(row_) + static_cast<std::size_t>(position_) * (grey ? 2 : 6)
                : nullptr;
        for (int c = 0; c < channelsOf(p_); ++c) {
            const std::uint16_t v = sample(bytes, i);
            const int slot = grey                       ? 0
                             : p_.format == kFrameRgb   ? 2 - c
                             : p_.format == kFrameRed   ? 2
                             : p_.format == kFrameGreen ? 1
                                                        : 0;
            if (pixel && (!grey || c == 0)) putSample(pixel + 2 * slot, v);
        }
    }

    // Per-pixel formats: 16-bit grey and every colour format; rows are counted in pixels.
    bool decodePixel(const std::uint8_t* bytes, std::size_t& i) {
        const bool inRow = position_ < bitmap_.width();
        if (deep_) {
            decodeDeepPixel(bytes, i);
        } else if (p_.format == kFrameGray) {
            const auto v = static_cast<std::uint8_t>(sample(bytes, i));
            if (inRow) bitmap_.row(row_)[position_] = v;
        } else {
            std::uint8_t* pixel =
                inRow ? bitmap_.row(row_) + static_cast<std::size_t>(position_) * 3 : nullptr;
            // Single-channel frames keep the channels earlier frames wrote into this pixel.
            if (p_.format != kFrameRgb && pixel) {
                blue_ = pixel[0];
                green_ = pixel[1];
                red_ = pixel[2];
            }
            if (p_.depth != 1 || bit_ == 7) {
                for (int c = 0; c < channelsOf(p_); ++c)
                    raw_[c] = static_cast<std::uint8_t>(sample(bytes, i));
            }
            if (p_.depth == 1) {
                const auto bitValue = [&](std::uint8_t byte) -> std::uint8_t {
                    return (byte >> bit_) & 1 ? 255 : 0;
                };
                setChannels(bitValue(raw_[0]), bitValue(raw_[1]), bitValue(raw_[2]));
                bit_ = bit_ == 0 ? 7 : bit_ - 1;
            } else {
                setChannels(raw_[0], raw_[1], raw_[2]);
            }
            if (pixel) {
                pixel[0] = blue_;
                pixel[1] = green_;
                pixel[2] = red_;
            }
        }
        if (++position_ < p_.pixelsPerLine) return false;
        position_ = 0;
        bit_ = 7;
        return true;
    }

    void setChannels(std::uint8_t first, std::uint8_t second, std::uint8_t third) {
        switch (p_.format) {
            case kFrameRgb:
                red_ = first;
                green_ = second;
                blue_ = third;
                break;
            case kFrameRed:
                red_ = first;
                break;
            case kFrameGreen:
                green_ = first;
                break;
            case kFrameBlue:
                blue_ = first;
                break;
        }
    }

    Bitmap& bitmap_;
    const FrameParameters& p_;
    const DecodeOptions& o_;
    const RowCallback& rowDone_;
    const bool deep_;
    std::size_t rowPadding_ = 0;  // bytes skipped after each row of a per-pixel format
    std::size_t pixelRoom_ = 0;   // bytes of a row a byte-copied format may write
    // Bytes of a row decodeWholeRow takes at once; 0 for the formats decoded pixel by pixel.
    std::size_t wholeRowBytes_ = 0;
    int rowPixels_ = 0;  // pixels of a row decoded whole that land in the bitmap
    std::size_t skip_ = 0;
    int row_ = 0;
    int position_ = 0;
    int bit_ = 7;
    std::uint8_t raw_[3] = {0, 0, 0};
    std::uint8_t red_ = 0, green_ = 0, blue_ = 0;
};

std::vector<PaletteEntry> greyTableFor(const FrameParameters& p) {
    return p.depth == 1 ? blackWhitePalette() : greyPalette();
}

}  // namespace

DecodeResult decodeFrame(Bitmap& bitmap, const FrameParameters& p, const DecodeOptions& o,
                         const FrameReader& read, const RowCallback& rowDone) {
    if (o.firstFrame) {
        BitmapKind kind;
        if (!bitmapKindFor(p, kind, o.keepSixteenBits)) return DecodeResult::UnknownDepth;
        if (!hasDecodingRule(p)) return DecodeResult::UnsupportedFormat;
        if (p.pixelsPerLine <= 0) return DecodeResult::NoData;
        if (!bitmap.reset(kind, p.pixelsPerLine, p.lines >= 0 ? p.lines : 1))
            return DecodeResult::TooLarge;
        if (p.format == kFrameGray && p.lines >= 0 && !isDeep(kind))
            bitmap.setColourTable(greyTableFor(p));
    } else if (!hasDecodingRule(p) ||
               (bitmap.kind() != BitmapKind::Bits24 && bitmap.kind() != BitmapKind::Rgb48)) {
        // Later frames complete a colour image; after a grey frame they would not fit its rows.
        return DecodeResult::UnsupportedFormat;
    }
    // A row of zero units would never complete: nothing could be decoded. A row without pixels
    // (also a later frame's) has no room in the bitmap for its bytes.
    if (p.pixelsPerLine <= 0 || (copiesBytes(p) && p.bytesPerLine <= 0))
        return DecodeResult::NoData;

    std::vector<std::uint8_t> buffer(kFrameBufferSize);
    std::size_t carried = 0;
    FrameDecoder decoder(bitmap, p, o, rowDone);
    // Rows that fit twice into the buffer wait there until they are whole.
    const bool holdRows = decoder.wholeRowBytes() <= kFrameBufferSize / 2;
    while (bitmap.height() > decoder.row()) {
        std::size_t got = 0;
        const ReadStatus status = read(buffer.data() + carried, kFrameBufferSize - carried, got);
        if (status == ReadStatus::Error) return DecodeResult::ReadFailed;
        const bool end = status == ReadStatus::EndOfFrame;
        if (end && !decoder.started() && carried == 0) return DecodeResult::NoData;
        got = end ? 0 : std::min(got, kFrameBufferSize - carried);
        const std::size_t usable = carried + got;
        std::size_t used = 0;
        const DecodeResult result = decoder.decode(buffer.data(), usable, used, holdRows && !end);
        if (result != DecodeResult::Complete) return result;
        if (end) break;
        // At most the bytes of one row, or of one pixel, wait for the next read.
        carried = usable - used;
        std::memmove(buffer.data(), buffer.data() + used, carried);
    }
    if (!decoder.started()) return DecodeResult::NoData;
    // Missing rows would pass for black ones in an image delivered as whole.
    if (p.lines >= 0 && decoder.row() < bitmap.height()) return DecodeResult::ShortFrame;
    if (p.lines < 0) {
        // The bitmap grew one row ahead of the data; the image is the complete rows.
        if (decoder.row() > 0 && bitmap.height() > decoder.row()) bitmap.setHeight(decoder.row());
        if (p.lastFrame && p.format == kFrameGray && !isDeep(bitmap.kind()))
            bitmap.setColourTable(greyTableFor(p));
    }
    return DecodeResult::Complete;
}

}  // namespace tarnwick
