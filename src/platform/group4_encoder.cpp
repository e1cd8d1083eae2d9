// The two-dimensional coding of T.6: each changing element of the coding line is told by where
// the reference line (the row before; white above the first) changes, in pass, vertical or
// horizontal mode.
#include "platform/group4_encoder.h"

#include <cstdlib>
#include <vector>

#include "platform/fax_codes.h"

namespace platform {

namespace {

// Where a row changes colour: positions x whose pixel differs from the one before, an
// imaginary white pixel (a 0 bit) before the first. Even entries turn to the code's black (1
// bits), odd ones to its white. Two entries of the width close the list, the imaginary changes
// past the last pixel.
void findChanges(const std::uint8_t* row, int width, std::vector<int>& changes) {
    changes.clear();
    bool black = false;
    for (int x = 0; x < width; ++x) {
        const bool pixelBlack = ((row[x >> 3] >> (7 - (x & 7))) & 1) != 0;
        if (pixelBlack != black) {
            changes.push_back(x);
            black = pixelBlack;
        }
    }
    changes.push_back(width);
    changes.push_back(width);
}

// The first change after `position`, from index `from` on; the closing entry if none.
std::size_t nextAfter(const std::vector<int>& changes, std::size_t from, int position) {
    while (from + 2 < changes.size() && changes[from] <= position) ++from;
    return from;
}

struct Vertical {
    std::uint8_t bits, length;
};
// Vertical mode by a1 - b1, -3 to 3.
constexpr Vertical kVertical[7] = {{0b0000010, 7}, {0b000010, 6}, {0b010, 3},    {0b1, 1},
                                   {0b011, 3},     {0b000011, 6}, {0b0000011, 7}};
constexpr std::uint32_t kPass = 0b0001, kHorizontal = 0b001, kEndOfLine = 0b000000000001;

class Group4Encoder : public RowEncoder {
  public:
    Group4Encoder(ByteSink& out, const RasterFormat& format)
        : out_(out), width_(format.width), height_(format.height) {
        // The reference line of the first row is all white.
        reference_ = {width_, width_};
    }

    bool writeRow(const std::uint8_t* row) override {
        if (!ok_ || rows_ >= height_) return ok_ = false;
        findChanges(row, width_, coding_);
        codeRow();
        coding_.swap(reference_);
        ++rows_;
        return ok_ = emit(bits_.takeBytes());
    }

    bool finish() override {
        if (!ok_ || rows_ != height_) return ok_ = false;
        bits_.put(kEndOfLine, 12);
        bits_.put(kEndOfLine, 12);
        return ok_ = emit(bits_.takeAll());
    }

  private:
    void codeRow() {
        int a0 = -1;
        bool black = false;  // the colour of a0
        std::size_t a = 0, b = 0;
        while (a0 < width_) {
            a = nextAfter(coding_, a, a0);
            const int a1 = coding_[a];
            // b1: the reference line's next change after a0 to the colour opposite a0's.
            // The search starts again at the first change after a0: a vertical step to the
            // left can put a0 before the change passed over.
            b = nextAfter(reference_, b, a0);
            std::size_t at = b;
            if ((at % 2 == 1) != black && at + 2 < reference_.size()) ++at;
            const int b1 = reference_[at], b2 = reference_[at + 1];
            if (b2 < a1) {
                bits_.put(kPass, 4);
                a0 = b2;
            } else if (std::abs(a1 - b1) <= 3) {
                const Vertical& v = kVertical[a1 - b1 + 3];
                bits_.put(v.bits, v.length);
                a0 = a1;
                black = !black;
            } else {
                const int a2 = coding_[a + 1];
                bits_.put(kHorizontal, 3);
                putRun(bits_, a1 - (a0 < 0 ? 0 : a0), black);
                putRun(bits_, a2 - a1, !black);
                a0 = a2;
            }
        }
    }

    bool emit(const std::vector<std::uint8_t>& bytes) {
        return bytes.empty() || out_.write(bytes.data(), bytes.size());
    }

    ByteSink& out_;
    int width_, height_, rows_ = 0;
    std::vector<int> coding_, reference_;
    FaxBits bits_;
    bool ok_ = true;
};

}  // namespace

std::unique_ptr<RowEncoder> encodeGroup4Rows(ByteSink& out, const RasterFormat& format) {
    if (format.bitsPerSample != 1 || format.channels != 1 || format.width <= 0) return nullptr;
    return std::make_unique<Group4Encoder>(out, format);
}

}  // namespace platform
