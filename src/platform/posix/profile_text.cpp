#include "platform/posix/profile_text.h"

#include <cstdint>

namespace platform {

namespace {

// Windows-1252 bytes 0x80 to 0x9F; 0 where the code page has no character.
constexpr char32_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The next character of UTF-8 text; false at a byte that starts no valid sequence (i then
// stands one byte further on).
bool nextUtf8(std::string_view text, std::size_t& i, char32_t& c) {
    const auto byte = [&](std::size_t at) { return static_cast<std::uint8_t>(text[at]); };
    const std::uint8_t lead = byte(i++);
    if (lead < 0x80) {
        c = lead;
        return true;
    }
    int more = lead >= 0xF0 && lead <= 0xF4 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 ? 1 : -1;
    if (lead >= 0xF8 || more < 0 || i + static_cast<std::size_t>(more) > text.size()) return false;
    c = lead & (0x3F >> more);
    for (int k = 0; k < more; ++k) {
        if ((byte(i + static_cast<std::size_t>(k)) & 0xC0) != 0x80) return false;
        c = (c << 6) | (byte(i + static_cast<std::size_t>(k)) & 0x3F);
    }
    static constexpr char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
    if (c < kLeast[more] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
    i += static_cast<std::size_t>(more);
    return true;
}

bool validUtf8(std::string_view text) {
    char32_t c = 0;
    for (std::size_t i = 0; i < text.size();)
        if (!nextUtf8(text, i, c)) return false;
    return true;
}

std::string fromUtf16(std::string_view raw, bool bigEndian) {
    std::string out;
    const auto unit = [&](std::size_t at) -> char32_t {
        const auto a = static_cast<std::uint8_t>(raw[at]),
                   b = static_cast<std::uint8_t>(raw[at + 1]);
        return bigEndian ? (a << 8) | b : (b << 8) | a;
    };
    for (std::size_t i = 2; i + 1 < raw.size(); i += 2) {
        char32_t c = unit(i);
        if (c >= 0xD800 && c <= 0xDBFF && i + 3 < raw.size() && unit(i + 2) >= 0xDC00 &&
            unit(i + 2) <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
            i += 2;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        appendUtf8(out, c);
    }
    return out;
}

std::string toUtf16(std::string_view utf8, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    const auto put = [&](char32_t unit) {
        const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        out += bigEndian ? high : low;
        out += bigEndian ? low : high;
    };
    char32_t c = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        if (!nextUtf8(utf8, i, c)) c = 0xFFFD;
        if (c >= 0x10000) {
            put(0xD800 + ((c - 0x10000) >> 10));
            put(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            put(c);
        }
    }
    return out;
}

std::string fromWindows1252(std::string_view raw) {
    std::string out;
    for (char ch : raw) {
        const auto b = static_cast<std::uint8_t>(ch);
        const char32_t c = b >= 0x80 && b < 0xA0 ? kHighControls[b - 0x80] : b;
        appendUtf8(out, c != 0 ? c : 0xFFFD);
    }
    return out;
}

std::string toWindows1252(std::string_view utf8) {
    std::string out;
    char32_t c = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        if (!nextUtf8(utf8, i, c)) c = '?';
        char b = '?';
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) b = static_cast<char>(c);
        for (int k = 0; k < 32; ++k)
            if (kHighControls[k] == c && c != 0) b = static_cast<char>(0x80 + k);
        out += b;
    }
    return out;
}

}  // namespace

ProfileText decodeProfileText(std::string_view raw) {
    if (raw.size() >= 2 && raw[0] == '\xFF' && raw[1] == '\xFE')
        return {fromUtf16(raw, false), ProfileEncoding::utf16le};
    if (raw.size() >= 2 && raw[0] == '\xFE' && raw[1] == '\xFF')
        return {fromUtf16(raw, true), ProfileEncoding::utf16be};
    if (validUtf8(raw)) return {std::string(raw), ProfileEncoding::utf8};
    return {fromWindows1252(raw), ProfileEncoding::windows1252};
}

std::string encodeProfileText(std::string_view utf8, ProfileEncoding encoding) {
    switch (encoding) {
        case ProfileEncoding::utf16le:
            return toUtf16(utf8, false);
        case ProfileEncoding::utf16be:
            return toUtf16(utf8, true);
        case ProfileEncoding::windows1252:
            return toWindows1252(utf8);
        case ProfileEncoding::utf8:
            break;
    }
    return std::string(utf8);
}

}  // namespace platform
