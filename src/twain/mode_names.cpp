#include "twain/mode_names.h"

#include <cctype>

#include "base/text.h"
#include "twain/records.h"

namespace tarnwick {

namespace {

// The bits per sample a "<n>bit" in the name gives, 0 without one: colour counts all three.
int namedDepth(const std::string& lower, int type) {
    const std::size_t bit = lower.find("bit");
    if (bit == std::string::npos || bit == 0) return 0;
    std::size_t start = bit;
    while (start > 0 && std::isdigit(static_cast<unsigned char>(lower[start - 1]))) --start;
    if (start == bit || bit - start > 2) return 0;
    const int bits = std::stoi(lower.substr(start, bit - start));
    return type == TWPT_RGB && bits >= 24 ? bits / 3 : bits;
}

}  // namespace

ModeKind modeKind(const std::string& mode) {
    const std::string lower = base::lowered(mode);
    const auto has = [&](const char* word) { return lower.find(word) != std::string::npos; };
    ModeKind kind;
    // Halftones are black and white, whatever grey they stand for; tested first.
    const bool halftone = has("halftone") || has("dither") || has("diffusion");
    if (halftone || has("line") || has("binary") || has("black") || has("monochrome"))
        kind.type = TWPT_BW;
    else if (has("gray") || has("grey"))
        kind.type = TWPT_GRAY;
    else if (has("colo") || has("rgb"))
        kind.type = TWPT_RGB;
    kind.plain = !halftone && !has("[");
    if (kind.type == TWPT_BW)
        kind.depth = 1;
    else if (namedDepth(lower, kind.type) > 8)
        kind.depth = 16;
    return kind;
}

int classifyMode(const std::string& mode) {
    return modeKind(mode).type;
}

int chooseMode(const std::vector<std::string>& choices, int type, int depth) {
    if (depth == 0) depth = type == TWPT_BW ? 1 : 8;
    int chosen = -1;
    for (std::size_t i = 0; i < choices.size(); ++i) {
        const ModeKind kind = modeKind(choices[i]);
        if (kind.type != type || kind.depth != depth) continue;
        if (kind.plain) return static_cast<int>(i);
        if (chosen < 0) chosen = static_cast<int>(i);
    }
    return chosen;
}

}  // namespace tarnwick
