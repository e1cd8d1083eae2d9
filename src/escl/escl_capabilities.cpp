#include "escl/escl_capabilities.h"

#include <algorithm>
#include <charconv>

namespace tarnwick {

namespace {

// A whole number of the document within [low, high]; nothing for anything else.
std::optional<int> numberIn(const std::string& text, int low, int high) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc{} || ptr != end || value < low || value > high) return std::nullopt;
    return value;
}

constexpr int kMaxLength = 300 * 1000;  // 1/300 inch: over 80 m
constexpr int kMaxResolution = 100000;
constexpr int kMaxLevel = 1000000;

std::optional<ColorMode> colorModeOf(const std::string& text) {
    for (ColorMode mode : {ColorMode::blackAndWhite1, ColorMode::grayscale8, ColorMode::grayscale16,
                           ColorMode::rgb24, ColorMode::rgb48})
        if (text == colorModeName(mode)) return mode;
    return std::nullopt;
}

std::optional<ValueRange> rangeOf(const XmlElement* element, int low, int high) {
    if (!element) return std::nullopt;
    const auto min = numberIn(element->childText("Min"), low, high);
    const auto max = numberIn(element->childText("Max"), low, high);
    if (!min || !max || *min > *max) return std::nullopt;
    ValueRange range{*min, *max, *min, 1};
    if (const auto normal = numberIn(element->childText("Normal"), *min, *max))
        range.normal = *normal;
    if (const auto step = numberIn(element->childText("Step"), 1, high)) range.step = *step;
    return range;
}

void addResolutions(InputCaps& caps, const XmlElement& supported) {
    if (const XmlElement* list = supported.child("DiscreteResolutions"))
        for (const XmlElement* entry : list->childrenNamed("DiscreteResolution")) {
            const auto x = numberIn(entry->childText("XResolution"), 1, kMaxResolution);
            const auto y = numberIn(entry->childText("YResolution"), 1, kMaxResolution);
            // The source scans with one resolution for both directions.
            if (!x || !y || *x != *y || caps.resolutions.size() == kMaxResolutions) continue;
            if (std::find(caps.resolutions.begin(), caps.resolutions.end(), *x) ==
                caps.resolutions.end())
                caps.resolutions.push_back(*x);
        }
    // Inside ResolutionRange, or (as AirSane writes it) beside an empty one.
    const XmlElement* range = supported.child("ResolutionRange");
    const XmlElement* x = range ? range->child("XResolutionRange") : nullptr;
    if (!x) x = supported.child("XResolutionRange");
    if (const auto r = rangeOf(x, 1, kMaxResolution); r && !caps.resolutionRange)
        caps.resolutionRange = r;
}

void addProfile(InputCaps& caps, const XmlElement& profile) {
    if (const XmlElement* modes = profile.child("ColorModes"))
        for (const XmlElement* entry : modes->childrenNamed("ColorMode"))
            if (const auto mode = colorModeOf(entry->text); mode && !caps.has(*mode))
                caps.colorModes.push_back(*mode);
    if (const XmlElement* supported = profile.child("SupportedResolutions"))
        addResolutions(caps, *supported);
    if (const XmlElement* formats = profile.child("DocumentFormats"))
        for (const XmlElement& entry : formats->children)
            if ((entry.name == "DocumentFormat" || entry.name == "DocumentFormatExt") &&
                !entry.text.empty() && entry.text.size() < 64 && !caps.hasFormat(entry.text) &&
                caps.formats.size() < 16)
                caps.formats.push_back(entry.text);
}

std::optional<InputCaps> inputCapsOf(const XmlElement* element) {
    if (!element) return std::nullopt;
    InputCaps caps;
    const auto minW = numberIn(element->childText("MinWidth"), 0, kMaxLength);
    const auto maxW = numberIn(element->childText("MaxWidth"), 1, kMaxLength);
    const auto minH = numberIn(element->childText("MinHeight"), 0, kMaxLength);
    const auto maxH = numberIn(element->childText("MaxHeight"), 1, kMaxLength);
    if (!maxW || !maxH) return std::nullopt;
    caps.maxWidth = *maxW;
    caps.maxHeight = *maxH;
    caps.minWidth = std::min(minW.value_or(0), caps.maxWidth);
    caps.minHeight = std::min(minH.value_or(0), caps.maxHeight);
    if (const XmlElement* profiles = element->child("SettingProfiles"))
        for (const XmlElement* profile : profiles->childrenNamed("SettingProfile"))
            addProfile(caps, *profile);
    std::sort(caps.resolutions.begin(), caps.resolutions.end());
    if (caps.colorModes.empty() || caps.formats.empty() ||
        (caps.resolutions.empty() && !caps.resolutionRange))
        return std::nullopt;
    return caps;
}

}  // namespace

const char* colorModeName(ColorMode mode) {
    switch (mode) {
        case ColorMode::blackAndWhite1:
            return "BlackAndWhite1";
        case ColorMode::grayscale8:
            return "Grayscale8";
        case ColorMode::grayscale16:
            return "Grayscale16";
        case ColorMode::rgb24:
            return "RGB24";
        case ColorMode::rgb48:
            return "RGB48";
    }
    return "RGB24";
}

bool InputCaps::has(ColorMode mode) const {
    return std::find(colorModes.begin(), colorModes.end(), mode) != colorModes.end();
}

bool InputCaps::hasFormat(const std::string& mime) const {
    return std::find(formats.begin(), formats.end(), mime) != formats.end();
}

std::optional<EsclCapabilities> parseCapabilities(const XmlElement& root) {
    if (root.name != "ScannerCapabilities") return std::nullopt;
    EsclCapabilities caps;
    caps.makeAndModel = root.childText("MakeAndModel").substr(0, 256);
    if (const XmlElement* platen = root.child("Platen"))
        caps.platen = inputCapsOf(platen->child("PlatenInputCaps"));
    if (const XmlElement* adf = root.child("Adf")) {
        caps.adfSimplex = inputCapsOf(adf->child("AdfSimplexInputCaps"));
        caps.adfDuplex = inputCapsOf(adf->child("AdfDuplexInputCaps"));
    }
    if (!caps.platen && !caps.adfSimplex) return std::nullopt;
    caps.brightness = rangeOf(root.child("BrightnessSupport"), -kMaxLevel, kMaxLevel);
    caps.contrast = rangeOf(root.child("ContrastSupport"), -kMaxLevel, kMaxLevel);
    caps.threshold = rangeOf(root.child("ThresholdSupport"), -kMaxLevel, kMaxLevel);
    caps.sharpen = rangeOf(root.child("SharpenSupport"), -kMaxLevel, kMaxLevel);
    return caps;
}

}  // namespace tarnwick
