// The capabilities that are one number option of the device on TWAIN's own scale: brightness
// and contrast (-1000..1000, 0 the option's middle), threshold (0..255) and gamma (the option's
// own value).
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "twain/containers.h"
#include "twain/fix32.h"
#include "twain/option_capabilities.h"
#include "twain/option_values.h"

namespace tarnwick {

namespace {

// TWAIN's range for the option's range, and TWAIN's default.
struct LevelScale {
    double low, high, preset;
};

constexpr double kGammaDefault = 2.2;

LevelScale scaleOf(TW_UINT16 cap, const NumberOption& option) {
    switch (cap) {
        case ICAP_THRESHOLD:
            return {0, 255, 128};
        case ICAP_GAMMA: {
            const double low = lowBound(option), high = highBound(option);
            return {low, high, std::clamp(kGammaDefault, low, high)};
        }
        default:
            return {-1000, 1000, 0};
    }
}

// The option's value for a level, kept in its range and on its steps.
double optionValueOf(const NumberOption& option, const LevelScale& scale, double level) {
    const double low = lowBound(option), high = highBound(option);
    double value = low + (level - scale.low) / (scale.high - scale.low) * (high - low);
    if (option.quant > 0) value = low + std::round((value - low) / option.quant) * option.quant;
    if (!option.isFixed) value = std::round(value);
    return std::clamp(value, low, high);
}

double levelOf(const NumberOption& option, const LevelScale& scale, double value) {
    const double low = lowBound(option), high = highBound(option);
    if (high <= low) return scale.preset;
    return scale.low + (value - low) / (high - low) * (scale.high - scale.low);
}

}  // namespace

bool servesLevel(const Option* option) {
    const auto* number = dynamic_cast<const NumberOption*>(option);
    return number && number->constraintKind == numberRange && number->values.size() == 1;
}

TW_UINT16 levelCapability(DataSource& source, TW_UINT16 cap, Option* option, TW_UINT16 msg,
                          TW_CAPABILITY* capability) {
    if (!servesLevel(option)) return unsupported(source);
    auto& number = static_cast<NumberOption&>(*option);
    if (msg != MSG_SET && msg != MSG_RESET && !number.isActive()) return inactive(source);
    return guarded(source, [&]() -> TW_UINT16 {
        const LevelScale scale = scaleOf(cap, number);
        if (scale.high <= scale.low) return unsupported(source);
        number.refreshIfStale();
        const double current = levelOf(number, scale, number.values[0]);
        double level = scale.preset;
        switch (msg) {
            case MSG_GETCURRENT:
                return makeOneValue(source, *capability, TWTY_FIX32, fixItem(current));
            case MSG_GETDEFAULT:
                return makeOneValue(source, *capability, TWTY_FIX32, fixItem(scale.preset));
            case MSG_GET: {
                const double span = highBound(number) - lowBound(number);
                const double step = span > 0 && number.quant > 0
                                        ? number.quant / span * (scale.high - scale.low)
                                        : 1;
                return makeRange(source, *capability, TWTY_FIX32, fixItem(scale.low),
                                 fixItem(scale.high), fixItem(step), fixItem(scale.preset),
                                 fixItem(current));
            }
            case MSG_SET: {
                const SentValue sent = readSentValue(source, *capability, false);
                if (sent.kind != SentKind::oneValue) return badValue(source);
                const TW_FIX32 sentLevel{static_cast<TW_INT16>(sent.item & 0xFFFF),
                                         static_cast<TW_UINT16>(sent.item >> 16)};
                level = fromFix32(sentLevel);
                if (level < scale.low || level > scale.high) return badValue(source);
                break;
            }
            case MSG_RESET:
                break;
            default:
                return source.setCondition(TWCC_BADPROTOCOL, TWRC_FAILURE);
        }
        const double value = optionValueOf(number, scale, level);
        char text[32];
        std::snprintf(text, sizeof text, number.isFixed ? "%.4f" : "%.0f", value);
        writeValue(number, text);
        // Within a quarter of a thousandth of the scale the value is the one asked for.
        const double tolerance = (scale.high - scale.low) / 4000;
        const bool exact = std::fabs(levelOf(number, scale, number.values[0]) - level) <= tolerance;
        return exact ? afterWrite(number) : TWRC_CHECKSTATUS;
    });
}

}  // namespace tarnwick
