#include "platform/fax_codes.h"

#include <utility>

namespace platform {

namespace {

struct Code {
    std::uint16_t bits;
    std::uint8_t length;
};

// The codes as the standard's tables print them, so that they can be checked against it.
constexpr Code c(const char* text) {
    Code code{0, 0};
    for (; *text; ++text, ++code.length)
        code.bits = static_cast<std::uint16_t>(code.bits << 1 | (*text == '1'));
    return code;
}

// Terminating codes, runs of 0 to 63.
constexpr Code kWhiteTerminating[64] = {
    c("00110101"), c("000111"),   c("0111"),     c("1000"),     c("1011"),     c("1100"),
    c("1110"),     c("1111"),     c("10011"),    c("10100"),    c("00111"),    c("01000"),
    c("001000"),   c("000011"),   c("110100"),   c("110101"),   c("101010"),   c("101011"),
    c("0100111"),  c("0001100"),  c("0001000"),  c("0010111"),  c("0000011"),  c("0000100"),
    c("0101000"),  c("0101011"),  c("0010011"),  c("0100100"),  c("0011000"),  c("00000010"),
    c("00000011"), c("00011010"), c("00011011"), c("00010010"), c("00010011"), c("00010100"),
    c("00010101"), c("00010110"), c("00010111"), c("00101000"), c("00101001"), c("00101010"),
    c("00101011"), c("00101100"), c("00101101"), c("00000100"), c("00000101"), c("00001010"),
    c("00001011"), c("01010010"), c("01010011"), c("01010100"), c("01010101"), c("00100100"),
    c("00100101"), c("01011000"), c("01011001"), c("01011010"), c("01011011"), c("01001010"),
    c("01001011"), c("00110010"), c("00110011"), c("00110100")};

constexpr Code kBlackTerminating[64] = {
    c("0000110111"),   c("010"),          c("11"),           c("10"),           c("011"),
    c("0011"),         c("0010"),         c("00011"),        c("000101"),       c("000100"),
    c("0000100"),      c("0000101"),      c("0000111"),      c("00000100"),     c("00000111"),
    c("000011000"),    c("0000010111"),   c("0000011000"),   c("0000001000"),   c("00001100111"),
    c("00001101000"),  c("00001101100"),  c("00000110111"),  c("00000101000"),  c("00000010111"),
    c("00000011000"),  c("000011001010"), c("000011001011"), c("000011001100"), c("000011001101"),
    c("000001101000"), c("000001101001"), c("000001101010"), c("000001101011"), c("000011010010"),
    c("000011010011"), c("000011010100"), c("000011010101"), c("000011010110"), c("000011010111"),
    c("000001101100"), c("000001101101"), c("000011011010"), c("000011011011"), c("000001010100"),
    c("000001010101"), c("000001010110"), c("000001010111"), c("000001100100"), c("000001100101"),
    c("000001010010"), c("000001010011"), c("000000100100"), c("000000110111"), c("000000111000"),
    c("000000100111"), c("000000101000"), c("000001011000"), c("000001011001"), c("000000101011"),
    c("000000101100"), c("000001011010"), c("000001100110"), c("000001100111")};

// Make-up codes, runs of 64 to 1728 in steps of 64 (index 0: 64).
constexpr Code kWhiteMakeUp[27] = {
    c("11011"),     c("10010"),     c("010111"),    c("0110111"),   c("00110110"),  c("00110111"),
    c("01100100"),  c("01100101"),  c("01101000"),  c("01100111"),  c("011001100"), c("011001101"),
    c("011010010"), c("011010011"), c("011010100"), c("011010101"), c("011010110"), c("011010111"),
    c("011011000"), c("011011001"), c("011011010"), c("011011011"), c("010011000"), c("010011001"),
    c("010011010"), c("011000"),    c("010011011")};

constexpr Code kBlackMakeUp[27] = {
    c("0000001111"),    c("000011001000"),  c("000011001001"),  c("000001011011"),
    c("000000110011"),  c("000000110100"),  c("000000110101"),  c("0000001101100"),
    c("0000001101101"), c("0000001001010"), c("0000001001011"), c("0000001001100"),
    c("0000001001101"), c("0000001110010"), c("0000001110011"), c("0000001110100"),
    c("0000001110101"), c("0000001110110"), c("0000001110111"), c("0000001010010"),
    c("0000001010011"), c("0000001010100"), c("0000001010101"), c("0000001011010"),
    c("0000001011011"), c("0000001100100"), c("0000001100101")};

// The make-up codes both colours share, 1792 to 2560 in steps of 64 (index 0: 1792).
constexpr Code kCommonMakeUp[13] = {
    c("00000001000"),  c("00000001100"),  c("00000001101"),  c("000000010010"), c("000000010011"),
    c("000000010100"), c("000000010101"), c("000000010110"), c("000000010111"), c("000000011100"),
    c("000000011101"), c("000000011110"), c("000000011111")};

constexpr int kLongestMakeUp = 2560;

void put(FaxBits& out, Code code) {
    out.put(code.bits, code.length);
}

void putMakeUp(FaxBits& out, int length, bool black) {
    const int step = length / 64 - 1;
    if (length >= 1792)
        put(out, kCommonMakeUp[step - 27]);
    else
        put(out, black ? kBlackMakeUp[step] : kWhiteMakeUp[step]);
}

}  // namespace

void FaxBits::put(std::uint32_t bits, int length) {
    for (int i = length - 1; i >= 0; --i) {
        pending_ = pending_ << 1 | ((bits >> i) & 1);
        if (++pendingBits_ == 8) {
            bytes_.push_back(static_cast<std::uint8_t>(pending_));
            pending_ = 0;
            pendingBits_ = 0;
        }
    }
}

std::vector<std::uint8_t> FaxBits::takeBytes() {
    return std::exchange(bytes_, {});
}

std::vector<std::uint8_t> FaxBits::takeAll() {
    if (pendingBits_ > 0) put(0, 8 - pendingBits_);
    return takeBytes();
}

void putRun(FaxBits& out, int length, bool black) {
    // Longer runs than the longest make-up code take it as often as they hold it.
    for (; length >= kLongestMakeUp; length -= kLongestMakeUp)
        putMakeUp(out, kLongestMakeUp, black);
    if (length >= 64) {
        putMakeUp(out, length / 64 * 64, black);
        length %= 64;
    }
    put(out, black ? kBlackTerminating[length] : kWhiteTerminating[length]);
}

}  // namespace platform
