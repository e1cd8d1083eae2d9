// What a ScannerCapabilities document says, as far as the source serves it: per input (platen,
// feeder simplex and duplex) the colour modes, resolutions, formats and the largest area, and
// the adjustments with their ranges.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "escl/xml_reader.h"

namespace tarnwick {

enum class ColorMode { blackAndWhite1, grayscale8, grayscale16, rgb24, rgb48 };
const char* colorModeName(ColorMode mode);

struct ValueRange {
    int min = 0, max = 0, normal = 0, step = 1;
};

struct InputCaps {
    // In 1/300 inch.
    int minWidth = 0, maxWidth = 0, minHeight = 0, maxHeight = 0;
    std::vector<ColorMode> colorModes;  // in the device's order, no repeats
    std::vector<int> resolutions;       // discrete, equal in x and y, ascending
    std::optional<ValueRange> resolutionRange;
    std::vector<std::string> formats;  // MIME types

    bool has(ColorMode mode) const;
    bool hasFormat(const std::string& mime) const;
};

struct EsclCapabilities {
    std::string makeAndModel;
    std::optional<InputCaps> platen, adfSimplex, adfDuplex;
    std::optional<ValueRange> brightness, contrast, threshold, sharpen;
};

inline constexpr std::size_t kMaxResolutions = 64;

// Nothing when the document is not ScannerCapabilities or lists no input with an area, a colour
// mode, a resolution and a format.
std::optional<EsclCapabilities> parseCapabilities(const XmlElement& root);

}  // namespace tarnwick
