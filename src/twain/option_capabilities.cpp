#include "twain/option_capabilities.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "twain/containers.h"
#include "twain/fix32.h"
#include "twain/option_values.h"
#include "twain/units.h"
#include "ui/combo_box.h"

namespace tarnwick {

namespace {

// The last list position whose entry, truncated, is the current value; 0 when none is.
TW_UINT32 lastIndexOf(const std::vector<double>& list, int current) {
    TW_UINT32 index = 0;
    for (std::size_t i = 0; i < list.size(); ++i)
        if (static_cast<TW_INT32>(list[i]) == current) index = static_cast<TW_UINT32>(i);
    return index;
}

constexpr double kDefaultResolution = 72;

}  // namespace

namespace {

// One axis's resolution on `option`; `shared` when the other axis has the same option, so that
// a change is a change of both.
TW_UINT16 axisResolution(DataSource& source, Option* option, bool shared, TW_UINT16 msg,
                         TW_CAPABILITY* capability) {
    NumberOption* resolution = numberOption(option);
    if (!resolution) return unsupported(source);
    if (!resolution->isActive()) return inactive(source);
    return guarded(source, [&]() -> TW_UINT16 {
        TW_INT32 value = static_cast<TW_INT32>(kDefaultResolution);
        double requested = kDefaultResolution;
        bool otherChanges = false;
        switch (msg) {
            case MSG_GETCURRENT:
                return makeOneValue(source, *capability, TWTY_FIX32,
                                    fixItem(currentInteger(*resolution)));
            case MSG_GET: {
                const int current = currentInteger(*resolution);
                if (resolution->constraintKind == numberRange) {
                    return makeRange(
                        source, *capability, TWTY_FIX32, fixItem(lowBound(*resolution)),
                        fixItem(highBound(*resolution)), fixItem(std::max(resolution->quant, 1.0)),
                        fixItem(kDefaultResolution), fixItem(current));
                }
                if (resolution->constraintKind == numberWordList) {
                    std::vector<TW_UINT32> items;
                    TW_UINT32 nearest = 0;
                    long long bestDistance = -1;
                    const auto target = static_cast<TW_INT32>(fixItem(kDefaultResolution));
                    for (double entry : resolution->wordList) {
                        items.push_back(fixItem(entry));
                        const long long distance = std::llabs(
                            static_cast<long long>(static_cast<TW_INT32>(items.back())) - target);
                        if (bestDistance < 0 || distance < bestDistance) {
                            bestDistance = distance;
                            nearest = static_cast<TW_UINT32>(items.size() - 1);
                        }
                    }
                    return makeEnumeration(source, *capability, TWTY_FIX32,
                                           lastIndexOf(resolution->wordList, current), nearest,
                                           items);
                }
                return makeOneValue(source, *capability, TWTY_FIX32, fixItem(current));
            }
            case MSG_GETDEFAULT:
                return makeOneValue(source, *capability, TWTY_FIX32, fixItem(kDefaultResolution));
            case MSG_SET: {
                // One resolution only; a list of them is not a value to set.
                const SentValue sent = readSentValue(source, *capability, false);
                if (sent.kind != SentKind::oneValue) return badValue(source);
                value = static_cast<TW_INT16>(sent.item & 0xFFFF);
                requested = fromFix32(TW_FIX32{static_cast<TW_INT16>(sent.item & 0xFFFF),
                                               static_cast<TW_UINT16>(sent.item >> 16)});
                // The other direction has the same resolution: it changes too. The value in
                // force need not be whole (a daemon may start at a fraction); it is compared as
                // it stands.
                resolution->refreshIfStale();
                otherChanges = shared && (resolution->values.size() != 1 ||
                                          resolution->values.front() != static_cast<double>(value));
                break;
            }
            case MSG_RESET:
                break;
            default:
                return source.setCondition(TWCC_BADPROTOCOL, TWRC_FAILURE);
        }
        writeValue(*resolution, decimal(value));
        // A fraction the device does not take is reported, as is the other direction's change.
        const TW_UINT16 rc = afterNumberWrite(*resolution, requested);
        return otherChanges ? TWRC_CHECKSTATUS : rc;
    });
}

}  // namespace

TW_UINT16 resolutionCapability(DataSource& source, const OptionRoles& roles, TW_UINT16 msg,
                               TW_CAPABILITY* capability) {
    return axisResolution(source, roles.resolution, !roles.yResolution, msg, capability);
}

TW_UINT16 yResolutionCapability(DataSource& source, const OptionRoles& roles, TW_UINT16 msg,
                                TW_CAPABILITY* capability) {
    Option* option = roles.yResolution ? roles.yResolution : roles.resolution;
    return axisResolution(source, option, !roles.yResolution, msg, capability);
}

TW_UINT16 nativeResolutionCapability(DataSource& source, const OptionRoles& roles, TW_UINT16,
                                     TW_CAPABILITY* capability) {
    NumberOption* resolution = numberOption(roles.resolution);
    if (!resolution) return unsupported(source);
    if (!resolution->isActive()) return inactive(source);
    return guarded(source, [&]() -> TW_UINT16 {
        double native = 0;
        if (resolution->constraintKind == numberRange)
            native = highBound(*resolution);
        else if (resolution->constraintKind == numberWordList && !resolution->wordList.empty())
            // Lists run either way ("4800|2400|...|75" as well as "75|150|...").
            native = *std::max_element(resolution->wordList.begin(), resolution->wordList.end());
        else
            native = currentInteger(*resolution);
        return makeOneValue(source, *capability, TWTY_FIX32, fixItem(native));
    });
}

TW_UINT16 physicalSizeCapability(DataSource& source, const OptionRoles& roles, TW_UINT16,
                                 TW_CAPABILITY* capability) {
    const bool width = capability->Cap == ICAP_PHYSICALWIDTH;
    NumberOption* tl = numberOption(width ? roles.tlx : roles.tly);
    NumberOption* br = numberOption(width ? roles.brx : roles.bry);
    if (!tl || !br) return unsupported(source);
    if (!tl->isActive() || !br->isActive()) return inactive(source);
    const double perInch = br->unit == SANE_UNIT_MM ? 25.4 : 72.0;
    const double size = (highBound(*br) - lowBound(*tl)) / perInch;
    return guarded(source, [&]() -> TW_UINT16 {
        const double dpi =
            source.units == TWUN_PIXELS && roles.resolution ? currentInteger(*roles.resolution) : 0;
        return makeOneValue(source, *capability, TWTY_FIX32,
                            fixItem(inchesToUnits(size, source.units, dpi)));
    });
}

}  // namespace tarnwick
