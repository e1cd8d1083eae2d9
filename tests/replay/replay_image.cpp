#include "replay_image.h"

#include <sane/saneopts.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <string>

namespace tarnwick::replay {
namespace {

std::string lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

const ReplayOption* activeOption(const ReplayDevice& device, const char* name) {
    const ReplayOption* option = device.find(name);
    return option != nullptr && option->active() ? option : nullptr;
}

double valueOr(const ReplayOption* option, double otherwise) {
    return option != nullptr ? option->number() : otherwise;
}

// The mode's kind from its name, as the backends name them: "24bit Color[Fast]", "True Gray",
// "16bit Gray", "Black & White", "Binary", "Halftone", "Monochrome", ... A device without a mode
// scans colour, or grey when its "gray" switch is on.
void readMode(const ReplayDevice& device, SANE_Parameters& parameters) {
    const ReplayOption* mode = activeOption(device, SANE_NAME_SCAN_MODE);
    std::string name = mode != nullptr ? lower(mode->text) : "";
    bool colour = contains(name, "color") || contains(name, "colour");
    bool grey = contains(name, "gray") || contains(name, "grey");
    if (mode == nullptr) {
        grey = valueOr(activeOption(device, "gray"), 0) != 0;
        colour = !grey;
    }
    // Halftones ("Gray[Error Diffusion]", "Dithered") are one bit, whatever grey they stand for.
    if (contains(name, "halftone") || contains(name, "dither") || contains(name, "diffusion"))
        colour = grey = false;
    parameters.format = colour ? SANE_FRAME_RGB : SANE_FRAME_GRAY;
    if (!colour && !grey) {
        parameters.depth = 1;
        return;
    }
    double depth = valueOr(activeOption(device, SANE_NAME_BIT_DEPTH), 8);
    if (contains(name, "16bit") || contains(name, "12bit") || contains(name, "14bit")) depth = 16;
    parameters.depth = depth > 8 ? 16 : depth < 8 ? 1 : 8;
}

// Dots on one axis of `length` in the geometry's unit.
double dots(double length, SANE_Unit unit, double dpi) {
    return unit == SANE_UNIT_PIXEL ? length : std::floor(length / 25.4 * dpi);
}

}  // namespace

bool imageParameters(const ReplayDevice& device, SANE_Parameters& parameters) {
    parameters = {};
    parameters.last_frame = SANE_TRUE;
    readMode(device, parameters);
    double resolution = valueOr(device.find(SANE_NAME_SCAN_RESOLUTION), 75);
    double xdpi = valueOr(activeOption(device, SANE_NAME_SCAN_X_RESOLUTION), resolution);
    double ydpi = valueOr(activeOption(device, SANE_NAME_SCAN_Y_RESOLUTION), xdpi);
    const ReplayOption* brx = device.find(SANE_NAME_SCAN_BR_X);
    SANE_Unit unit = brx != nullptr ? brx->unit : SANE_UNIT_MM;
    double width = valueOr(brx, 215.9) - valueOr(device.find(SANE_NAME_SCAN_TL_X), 0);
    double height = valueOr(device.find(SANE_NAME_SCAN_BR_Y), 297) -
                    valueOr(device.find(SANE_NAME_SCAN_TL_Y), 0);
    double pixels = dots(width, unit, xdpi);
    double lines = dots(height, unit, ydpi);
    double channels = parameters.format == SANE_FRAME_RGB ? 3 : 1;
    double bytes = std::ceil(pixels * channels * parameters.depth / 8);
    constexpr double kLimit = std::numeric_limits<SANE_Int>::max();
    if (pixels < 1 || lines < 1 || bytes > kLimit || lines > kLimit || bytes * lines > 4e9)
        return false;
    parameters.pixels_per_line = static_cast<SANE_Int>(pixels);
    parameters.lines = static_cast<SANE_Int>(lines);
    parameters.bytes_per_line = static_cast<SANE_Int>(bytes);
    return true;
}

std::uint8_t patternByte(const SANE_Parameters& parameters, std::uint64_t offset, long page) {
    auto width = static_cast<std::uint64_t>(parameters.bytes_per_line);
    std::uint64_t row = offset / width;
    std::uint64_t column = offset % width;
    if (parameters.depth == 1) return (row / 8) % 2 == 0 ? 0x0f : 0xf0;
    return static_cast<std::uint8_t>(column + row + static_cast<std::uint64_t>(page) * 32);
}

bool feederSelected(const ReplayDevice& device) {
    const ReplayOption* source = device.find(SANE_NAME_SCAN_SOURCE);
    if (source == nullptr || source->type != SANE_TYPE_STRING) return false;
    std::string name = lower(source->text);
    return contains(name, "adf") || contains(name, "feeder") || contains(name, "duplex");
}

}  // namespace tarnwick::replay
