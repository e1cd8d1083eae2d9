#include "twain/units.h"

#include <algorithm>
#include <vector>

#include "twain/containers.h"
#include "twain/data_source.h"

namespace tarnwick {

namespace {

constexpr double kCentimetresPerInch = 2.54;
const std::vector<TW_UINT32> kUnits = {TWUN_INCHES, TWUN_CENTIMETERS, TWUN_PIXELS};

double perInch(TW_UINT16 units, double dpi) {
    if (units == TWUN_CENTIMETERS) return kCentimetresPerInch;
    if (units == TWUN_PIXELS) return dpi > 0 ? dpi : 1;
    return 1;
}

}  // namespace

double inchesToUnits(double inches, TW_UINT16 units, double dpi) {
    return inches * perInch(units, dpi);
}

double unitsToInches(double value, TW_UINT16 units, double dpi) {
    return value / perInch(units, dpi);
}

TW_UINT16 unitsCapability(DataSource& source, TW_UINT16 msg, TW_CAPABILITY& cap) {
    switch (msg) {
        case MSG_GET: {
            const auto at = std::find(kUnits.begin(), kUnits.end(), source.units);
            return makeEnumeration(source, cap, TWTY_UINT16,
                                   static_cast<TW_UINT32>(at - kUnits.begin()), 0, kUnits);
        }
        case MSG_GETCURRENT:
            return makeOneValue(source, cap, TWTY_UINT16, source.units);
        case MSG_GETDEFAULT:
            return makeOneValue(source, cap, TWTY_UINT16, TWUN_INCHES);
        case MSG_SET: {
            const SentValue sent = readSentValue(source, cap, false);
            const auto requested = static_cast<TW_UINT16>(sent.item & 0xFFFF);
            if (sent.kind == SentKind::none ||
                std::find(kUnits.begin(), kUnits.end(), requested) == kUnits.end())
                return source.setCondition(TWCC_BADVALUE, TWRC_FAILURE);
            source.units = requested;
            return TWRC_SUCCESS;
        }
        default:  // MSG_RESET
            source.units = TWUN_INCHES;
            return makeOneValue(source, cap, TWTY_UINT16, TWUN_INCHES);
    }
}

}  // namespace tarnwick
