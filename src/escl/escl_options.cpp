#include "escl/escl_options.h"

#include <algorithm>
#include <cmath>

namespace tarnwick {

namespace {

enum : Word {
    modeGroup = 1,
    modeIndex,
    depthIndex,
    resolutionIndex,
    sourceIndex,
    geometryGroup,
    tlxIndex,
    tlyIndex,
    brxIndex,
    bryIndex,
    enhancementGroup,
    brightnessIndex,
    contrastIndex,
    thresholdIndex,
    sharpenIndex,
};

constexpr const char* kFlatbed = "Flatbed";
constexpr const char* kFeeder = "ADF";
constexpr const char* kDuplex = "ADF Duplex";
constexpr const char* kLineart = "Lineart";
constexpr const char* kGray = "Gray";
constexpr const char* kColor = "Color";

double millimetres(int threeHundredths) {
    return threeHundredths * 25.4 / 300.0;
}
int threeHundredths(double mm) {
    return static_cast<int>(std::lround(mm * 300.0 / 25.4));
}

OptionDescriptor group(Word index, const char* title) {
    OptionDescriptor d;
    d.index = index;
    d.title = title;
    d.type = SANE_TYPE_GROUP;
    return d;
}

OptionDescriptor base(Word index, const char* name, const char* title, const char* desc, Word type,
                      Word unit) {
    OptionDescriptor d;
    d.index = index;
    d.name = name;
    d.title = title;
    d.desc = desc;
    d.type = type;
    d.unit = unit;
    d.size = type == SANE_TYPE_STRING ? 32 : 4;
    d.cap = SANE_CAP_SOFT_SELECT | SANE_CAP_SOFT_DETECT;
    return d;
}

OptionDescriptor choices(Word index, const char* name, const char* title, const char* desc,
                         std::vector<std::string> list) {
    OptionDescriptor d = base(index, name, title, desc, SANE_TYPE_STRING, SANE_UNIT_NONE);
    d.constraintType = SANE_CONSTRAINT_STRING_LIST;
    d.stringList = std::move(list);
    return d;
}

OptionDescriptor ranged(Word index, const char* name, const char* title, const char* desc,
                        Word type, Word unit, Word min, Word max, Word quant) {
    OptionDescriptor d = base(index, name, title, desc, type, unit);
    d.constraintType = SANE_CONSTRAINT_RANGE;
    d.range = {min, max, quant};
    return d;
}

struct Level {
    Word index;
    const char* name;
    const char* title;
    const char* desc;
    const char* element;  // the ScanSettings element
    std::optional<ValueRange> EsclCapabilities::*range;
};

constexpr Level kLevels[] = {
    {brightnessIndex, "brightness", "Brightness", "Controls the brightness of the acquired image.",
     "Brightness", &EsclCapabilities::brightness},
    {contrastIndex, "contrast", "Contrast", "Controls the contrast of the acquired image.",
     "Contrast", &EsclCapabilities::contrast},
    {thresholdIndex, "threshold", "Threshold", "Select minimum-brightness to get a white point",
     "Threshold", &EsclCapabilities::threshold},
    {sharpenIndex, "sharpness", "Sharpness", "Set sharpness of the image.", "Sharpen",
     &EsclCapabilities::sharpen},
};

}  // namespace

EsclOptions::EsclOptions(EsclCapabilities caps) : caps_(std::move(caps)) {
    texts_[sourceIndex] = caps_.platen ? kFlatbed : kFeeder;
    const std::vector<std::string> list = modes();
    texts_[modeIndex] =
        std::find(list.begin(), list.end(), kColor) != list.end() ? kColor : list.front();
    numbers_[depthIndex] = 8;
    numbers_[resolutionIndex] = 300;
    numbers_[tlxIndex] = 0;
    numbers_[tlyIndex] = 0;
    numbers_[brxIndex] = 1e9;
    numbers_[bryIndex] = 1e9;
    for (const Level& level : kLevels)
        if (const auto& range = caps_.*level.range) numbers_[level.index] = range->normal;
    keepWithinConstraints();
}

const InputCaps& EsclOptions::input() const {
    const std::string& source = texts_.at(sourceIndex);
    if (source == kDuplex && caps_.adfDuplex) return *caps_.adfDuplex;
    if (source != kFlatbed && caps_.adfSimplex) return *caps_.adfSimplex;
    return caps_.platen ? *caps_.platen : *caps_.adfSimplex;
}

std::vector<std::string> EsclOptions::modes() const {
    const InputCaps& in = input();
    std::vector<std::string> list;
    if (in.has(ColorMode::blackAndWhite1)) list.emplace_back(kLineart);
    if (in.has(ColorMode::grayscale8) || in.has(ColorMode::grayscale16)) list.emplace_back(kGray);
    if (in.has(ColorMode::rgb24) || in.has(ColorMode::rgb48)) list.emplace_back(kColor);
    return list;
}

std::vector<Word> EsclOptions::depths() const {
    const InputCaps& in = input();
    const std::string& mode = texts_.at(modeIndex);
    if (mode == kLineart) return {1};
    const bool gray = mode == kGray;
    std::vector<Word> list;
    if (in.has(gray ? ColorMode::grayscale8 : ColorMode::rgb24)) list.push_back(8);
    if (in.has(gray ? ColorMode::grayscale16 : ColorMode::rgb48)) list.push_back(16);
    return list;
}

ColorMode EsclOptions::colorMode() const {
    const std::string& mode = texts_.at(modeIndex);
    const bool sixteen = number(depthIndex) == 16;
    if (mode == kLineart) return ColorMode::blackAndWhite1;
    if (mode == kGray) return sixteen ? ColorMode::grayscale16 : ColorMode::grayscale8;
    return sixteen ? ColorMode::rgb48 : ColorMode::rgb24;
}

std::vector<OptionDescriptor> EsclOptions::descriptors() const {
    const InputCaps& in = input();
    std::vector<OptionDescriptor> list;
    list.push_back(group(modeGroup, "Scan Mode"));
    list.push_back(choices(modeIndex, "mode", "Scan mode",
                           "Selects the scan mode (e.g., lineart, monochrome, or color).",
                           modes()));
    OptionDescriptor depth = base(depthIndex, "depth", "Bit depth",
                                  "Number of bits per sample, typical values are 1 for "
                                  "\"line-art\" and 8 for multibit scans.",
                                  SANE_TYPE_INT, SANE_UNIT_BIT);
    depth.constraintType = SANE_CONSTRAINT_WORD_LIST;
    depth.wordList = depths();
    list.push_back(depth);
    OptionDescriptor resolution =
        base(resolutionIndex, "resolution", "Scan resolution",
             "Sets the resolution of the scanned image.", SANE_TYPE_INT, SANE_UNIT_DPI);
    if (!in.resolutions.empty()) {
        resolution.constraintType = SANE_CONSTRAINT_WORD_LIST;
        resolution.wordList.assign(in.resolutions.begin(), in.resolutions.end());
    } else {
        resolution.constraintType = SANE_CONSTRAINT_RANGE;
        resolution.range = {in.resolutionRange->min, in.resolutionRange->max,
                            in.resolutionRange->step};
    }
    list.push_back(resolution);
    std::vector<std::string> sources;
    if (caps_.platen) sources.emplace_back(kFlatbed);
    if (caps_.adfSimplex) sources.emplace_back(kFeeder);
    if (caps_.adfDuplex) sources.emplace_back(kDuplex);
    list.push_back(choices(sourceIndex, "source", "Scan source",
                           "Selects the scan source (such as a document-feeder).", sources));
    list.push_back(group(geometryGroup, "Geometry"));
    const Word width = toFixedWord(millimetres(in.maxWidth));
    const Word height = toFixedWord(millimetres(in.maxHeight));
    const struct {
        Word index;
        const char* name;
        const char* title;
        const char* desc;
        Word max;
    } edges[] = {
        {tlxIndex, "tl-x", "Top-left x", "Top-left x position of scan area.", width},
        {tlyIndex, "tl-y", "Top-left y", "Top-left y position of scan area.", height},
        {brxIndex, "br-x", "Bottom-right x", "Bottom-right x position of scan area.", width},
        {bryIndex, "br-y", "Bottom-right y", "Bottom-right y position of scan area.", height},
    };
    for (const auto& edge : edges)
        list.push_back(ranged(edge.index, edge.name, edge.title, edge.desc, SANE_TYPE_FIXED,
                              SANE_UNIT_MM, 0, edge.max, 0));
    bool grouped = false;
    for (const Level& level : kLevels) {
        const auto& range = caps_.*level.range;
        if (!range) continue;
        if (!grouped) list.push_back(group(enhancementGroup, "Enhancement"));
        grouped = true;
        list.push_back(ranged(level.index, level.name, level.title, level.desc, SANE_TYPE_INT,
                              SANE_UNIT_NONE, range->min, range->max, range->step));
    }
    return list;
}

const OptionDescriptor* EsclOptions::descriptor(Word index,
                                                std::vector<OptionDescriptor>& all) const {
    all = descriptors();
    for (const OptionDescriptor& d : all)
        if (d.index == index) return &d;
    return nullptr;
}

double EsclOptions::number(Word index) const {
    const auto it = numbers_.find(index);
    return it == numbers_.end() ? 0 : it->second;
}

std::string EsclOptions::text(Word index) const {
    const auto it = texts_.find(index);
    return it == texts_.end() ? std::string{} : it->second;
}

namespace {

// The value the constraint allows nearest to `value`.
double constrained(const OptionDescriptor& d, double value) {
    const bool fixed = d.type == SANE_TYPE_FIXED;
    auto real = [fixed](Word w) { return fixed ? fromFixedWord(w) : double(w); };
    if (std::isnan(value)) value = 0;
    if (d.constraintType == SANE_CONSTRAINT_WORD_LIST && !d.wordList.empty()) {
        double best = real(d.wordList.front());
        for (Word w : d.wordList)
            if (std::fabs(real(w) - value) < std::fabs(best - value)) best = real(w);
        return best;
    }
    if (d.constraintType == SANE_CONSTRAINT_RANGE) {
        const double low = real(d.range.min), high = real(d.range.max);
        value = std::clamp(value, low, high);
        const double quant = real(d.range.quant);
        if (quant > 0) value = low + std::round((value - low) / quant) * quant;
        return std::min(value, high);
    }
    return fixed ? value : std::round(value);
}

}  // namespace

void EsclOptions::keepWithinConstraints() {
    const std::vector<std::string> list = modes();
    if (std::find(list.begin(), list.end(), texts_[modeIndex]) == list.end())
        texts_[modeIndex] = list.front();
    for (const OptionDescriptor& d : descriptors())
        if (d.type == SANE_TYPE_INT || d.type == SANE_TYPE_FIXED)
            numbers_[d.index] = constrained(d, number(d.index));
}

Word EsclOptions::setNumber(Word index, double value) {
    std::vector<OptionDescriptor> all;
    const OptionDescriptor* d = descriptor(index, all);
    if (!d) return 0;
    const double taken = constrained(*d, value);
    numbers_[index] = taken;
    Word info = SANE_INFO_RELOAD_PARAMS;
    if (d->type == SANE_TYPE_FIXED ? std::fabs(taken - value) > 1e-4 : taken != value)
        info |= SANE_INFO_INEXACT;
    return info;
}

bool EsclOptions::setText(Word index, const std::string& value, Word& info) {
    std::vector<OptionDescriptor> all;
    const OptionDescriptor* d = descriptor(index, all);
    if (!d || std::find(d->stringList.begin(), d->stringList.end(), value) == d->stringList.end())
        return false;
    const bool changed = texts_[index] != value;
    texts_[index] = value;
    info = SANE_INFO_RELOAD_PARAMS;
    if (changed) {
        // Another source has its own modes and area; another mode its own depths.
        keepWithinConstraints();
        info |= SANE_INFO_RELOAD_OPTIONS;
    }
    return true;
}

Parameters EsclOptions::parameters() const {
    const EsclScanRequest asked = request();
    Parameters p;
    const ColorMode mode = asked.colorMode;
    const bool color = mode == ColorMode::rgb24 || mode == ColorMode::rgb48;
    p.format = color ? SANE_FRAME_RGB : SANE_FRAME_GRAY;
    p.lastFrame = 1;
    p.depth = mode == ColorMode::blackAndWhite1                            ? 1
              : mode == ColorMode::grayscale16 || mode == ColorMode::rgb48 ? 16
                                                                           : 8;
    p.pixelsPerLine = static_cast<Word>(std::llround(asked.width * asked.resolution / 300.0));
    p.lines = static_cast<Word>(std::llround(asked.height * asked.resolution / 300.0));
    const long long bits = static_cast<long long>(p.pixelsPerLine) * (color ? 3 : 1) * p.depth;
    p.bytesPerLine = static_cast<Word>((bits + 7) / 8);
    return p;
}

EsclScanRequest EsclOptions::request() const {
    EsclScanRequest r;
    const std::string& source = texts_.at(sourceIndex);
    r.feeder = source != kFlatbed;
    r.duplex = source == kDuplex;
    r.colorMode = colorMode();
    r.resolution = static_cast<int>(number(resolutionIndex));
    const InputCaps& in = input();
    const int left = std::clamp(threeHundredths(number(tlxIndex)), 0, in.maxWidth);
    const int top = std::clamp(threeHundredths(number(tlyIndex)), 0, in.maxHeight);
    const int right = std::clamp(threeHundredths(number(brxIndex)), 0, in.maxWidth);
    const int bottom = std::clamp(threeHundredths(number(bryIndex)), 0, in.maxHeight);
    r.x = std::min(left, right);
    r.y = std::min(top, bottom);
    r.width = std::max(std::abs(right - left), std::max(in.minWidth, 1));
    r.height = std::max(std::abs(bottom - top), std::max(in.minHeight, 1));
    // Lossless where the scanner has it.
    r.format = in.hasFormat("image/png") ? "image/png" : "image/jpeg";
    for (const Level& level : kLevels)
        if (caps_.*level.range) r.levels[level.element] = static_cast<int>(number(level.index));
    return r;
}

}  // namespace tarnwick
