#include "twain/option_capabilities.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <vector>

#include "base/text.h"
#include "base/whole_number.h"

#include "options/number_option.h"
#include "options/string_option.h"
#include "twain/containers.h"
#include "twain/data_source.h"
#include "twain/fix32.h"
#include "twain/units.h"
#include "ui/combo_box.h"

namespace tarnwick {

namespace {

// A value text that is not a decimal integer; the request then answers TWCC_CAPUNSUPPORTED.
struct NotAnInteger : std::runtime_error {
    NotAnInteger() : std::runtime_error("not an integer") {}
};

// Blanks may lead, as the daemon's texts are read by strtol; nothing may follow.
int readInteger(std::string_view text) {
    text.remove_prefix(std::min(text.find_first_not_of(base::kSpaces), text.size()));
    const std::optional<std::int32_t> value =
        base::parseWhole<std::int32_t>(text, base::PlusSign::accepted);
    if (!value) throw NotAnInteger();
    return *value;
}

// A number option's own value is the device's; its control may show a neighbouring entry of
// its list.
int currentInteger(Option& option) {
    auto* number = dynamic_cast<NumberOption*>(&option);
    if (number && number->values.size() == 1) {
        const double value = number->values[0];
        if (value != std::trunc(value) || std::fabs(value) > INT32_MAX) throw NotAnInteger();
        return static_cast<int>(value);
    }
    return readInteger(option.valueText());
}

// Truncation toward zero into a 16-bit item.
TW_UINT32 truncatedItem(double value) {
    return static_cast<TW_UINT16>(static_cast<TW_INT32>(value));
}

TW_UINT32 fixItem(double value) {
    return fix32Bits(toFix32(value));
}

std::string decimal(TW_INT32 value) {
    char text[16];
    std::snprintf(text, sizeof text, "%i", static_cast<int>(value));
    return text;
}

TW_UINT16 unsupported(DataSource& source) {
    return source.setCondition(TWCC_CAPUNSUPPORTED, TWRC_FAILURE);
}

TW_UINT16 badValue(DataSource& source) {
    return source.setCondition(TWCC_BADVALUE, TWRC_FAILURE);
}

TW_UINT16 inactive(DataSource& source) {
    return source.setCondition(TWCC_CAPSEQERROR, TWRC_FAILURE);
}

// The answer of a write: the device may have adjusted the value.
TW_UINT16 afterWrite(const Option& option, bool replaced = false) {
    return replaced || (option.info & SANE_INFO_INEXACT) ? TWRC_CHECKSTATUS : TWRC_SUCCESS;
}

// A number the device adjusted, or one its list does not hold and so was not taken, is
// reported as well: the application reads back what is in force.
TW_UINT16 afterNumberWrite(Option& option, TW_INT32 requested) {
    if (afterWrite(option) == TWRC_CHECKSTATUS) return TWRC_CHECKSTATUS;
    return currentInteger(option) == requested ? TWRC_SUCCESS : TWRC_CHECKSTATUS;
}

void writeValue(Option& option, const std::string& text) {
    option.info = 0;
    option.setValueText(text);
}

// Runs one handler; value reading errors become TWCC_CAPUNSUPPORTED.
template <typename Body>
TW_UINT16 guarded(DataSource& source, Body body) {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception&) {
        return unsupported(source);
    }
}

// --- pixel type ----------------------------------------------------------------------------

struct ModeTypes {
    bool bw = false, gray = false, rgb = false;
    std::vector<TW_UINT32> list() const {
        std::vector<TW_UINT32> types;
        if (bw) types.push_back(TWPT_BW);
        if (gray) types.push_back(TWPT_GRAY);
        if (rgb) types.push_back(TWPT_RGB);
        return types;
    }
    TW_UINT16 preferred() const { return bw ? TWPT_BW : gray ? TWPT_GRAY : TWPT_RGB; }
};

ModeTypes availableTypes(const StringOption& mode) {
    ModeTypes types;
    for (const std::string& choice : mode.choices) {
        switch (classifyMode(choice)) {
            case TWPT_BW:
                types.bw = true;
                break;
            case TWPT_GRAY:
                types.gray = true;
                break;
            case TWPT_RGB:
                types.rgb = true;
                break;
        }
    }
    return types;
}

int currentType(StringOption& mode) {
    const int type = classifyMode(mode.valueText());
    return type < 0 ? TWPT_RGB : type;
}

TW_UINT16 selectType(DataSource& source, StringOption& mode, TW_UINT32 requested, bool replaced) {
    const auto chosen =
        std::find_if(mode.choices.begin(), mode.choices.end(), [&](const std::string& choice) {
            return requested <= TWPT_RGB && classifyMode(choice) == static_cast<int>(requested);
        });
    if (chosen == mode.choices.end()) return badValue(source);
    // The window's list shows the mode; without a window the option is written directly.
    auto* list = dynamic_cast<ui::ComboBox*>(mode.control);
    if (mode.control && !list) return badValue(source);
    const std::string choice = *chosen;
    writeValue(mode, choice);
    if (list && list->items().size() == mode.choices.size())
        list->setItemIndex(static_cast<int>(chosen - mode.choices.begin()));
    return afterWrite(mode, replaced);
}

// --- number options ------------------------------------------------------------------------

NumberOption* numberOption(Option* option) {
    return dynamic_cast<NumberOption*>(option);
}

double lowBound(const NumberOption& option) {
    double low = 0, high = 0;
    option.getBounds(low, high);
    return low;
}

double highBound(const NumberOption& option) {
    double low = 0, high = 0;
    option.getBounds(low, high);
    return high;
}

// The last list position whose entry, truncated, is the current value; 0 when none is.
TW_UINT32 lastIndexOf(const std::vector<double>& list, int current) {
    TW_UINT32 index = 0;
    for (std::size_t i = 0; i < list.size(); ++i)
        if (static_cast<TW_INT32>(list[i]) == current) index = static_cast<TW_UINT32>(i);
    return index;
}

// The default depth: 8 bits where the device offers them (a reset must not turn grey or colour
// into line art), else the lowest bound or the first list entry; false without a constraint.
bool defaultDepth(const NumberOption& depth, TW_INT32& value) {
    constexpr double kUsualDepth = 8;
    if (depth.constraintKind == numberRange) {
        const double low = lowBound(depth);
        const bool onStep = depth.quant <= 0 || std::fmod(kUsualDepth - low, depth.quant) == 0;
        value = static_cast<TW_INT32>(
            kUsualDepth >= low && kUsualDepth <= highBound(depth) && onStep ? kUsualDepth : low);
        return true;
    }
    if (depth.constraintKind == numberWordList && !depth.wordList.empty()) {
        const bool offered = std::find(depth.wordList.begin(), depth.wordList.end(), kUsualDepth) !=
                             depth.wordList.end();
        value = static_cast<TW_INT32>(offered ? kUsualDepth : depth.wordList.front());
        return true;
    }
    return false;
}

constexpr double kDefaultResolution = 72;

}  // namespace

int classifyMode(const std::string& mode) {
    std::string lower(mode);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const auto has = [&](const char* word) { return lower.find(word) != std::string::npos; };
    if (has("line") || has("binary")) return TWPT_BW;
    if (has("gray") || has("grey")) return TWPT_GRAY;
    if (has("colo") || has("rgb")) return TWPT_RGB;
    return -1;
}

TW_UINT16 pixelTypeCapability(DataSource& source, const OptionRoles& roles, TW_UINT16 msg,
                              TW_CAPABILITY* capability) {
    auto* mode = dynamic_cast<StringOption*>(roles.mode);
    if (!mode) return unsupported(source);
    return guarded(source, [&]() -> TW_UINT16 {
        const ModeTypes types = availableTypes(*mode);
        switch (msg) {
            case MSG_GETCURRENT:
                return makeOneValue(source, *capability, TWTY_UINT16,
                                    static_cast<TW_UINT32>(currentType(*mode)));
            case MSG_GET: {
                const std::vector<TW_UINT32> list = types.list();
                const auto at =
                    std::find(list.begin(), list.end(), static_cast<TW_UINT32>(currentType(*mode)));
                const auto current =
                    at == list.end() ? 0 : static_cast<TW_UINT32>(at - list.begin());
                return makeEnumeration(source, *capability, TWTY_UINT16, current, 0, list);
            }
            case MSG_GETDEFAULT:
                return makeOneValue(source, *capability, TWTY_UINT16, types.preferred());
            case MSG_SET: {
                const SentValue sent = readSentValue(source, *capability, true);
                if (sent.kind == SentKind::none) return badValue(source);
                TW_UINT32 requested = sent.item & 0xFFFF;
                const bool replaced = requested == TWPT_BW && !types.bw;
                if (replaced) requested = TWPT_GRAY;
                return selectType(source, *mode, requested, replaced);
            }
            case MSG_RESET:
                if (!types.bw && !types.gray && !types.rgb) return badValue(source);
                return selectType(source, *mode, types.preferred(), false);
        }
        return source.setCondition(TWCC_BADPROTOCOL, TWRC_FAILURE);
    });
}

TW_UINT16 bitDepthCapability(DataSource& source, const OptionRoles& roles, TW_UINT16 msg,
                             TW_CAPABILITY* capability) {
    NumberOption* depth = numberOption(roles.depth);
    if (!depth) return unsupported(source);
    const bool reads = msg == MSG_GET || msg == MSG_GETCURRENT || msg == MSG_GETDEFAULT;
    if (reads && !depth->isActive()) return inactive(source);
    return guarded(source, [&]() -> TW_UINT16 {
        TW_INT32 value = 0;
        switch (msg) {
            case MSG_GETCURRENT:
                return makeOneValue(source, *capability, TWTY_UINT16,
                                    truncatedItem(currentInteger(*depth)));
            case MSG_GET: {
                const int current = currentInteger(*depth);
                defaultDepth(*depth, value);
                if (depth->constraintKind == numberRange) {
                    return makeRange(source, *capability, TWTY_UINT16,
                                     truncatedItem(lowBound(*depth)),
                                     truncatedItem(highBound(*depth)),
                                     truncatedItem(std::max(depth->quant, 1.0)),
                                     truncatedItem(value), truncatedItem(current));
                }
                if (depth->constraintKind == numberWordList) {
                    std::vector<TW_UINT32> items;
                    for (double entry : depth->wordList) items.push_back(truncatedItem(entry));
                    return makeEnumeration(source, *capability, TWTY_UINT16,
                                           lastIndexOf(depth->wordList, current),
                                           lastIndexOf(depth->wordList, value), items);
                }
                return makeOneValue(source, *capability, TWTY_UINT16, truncatedItem(current));
            }
            case MSG_GETDEFAULT:
                if (!defaultDepth(*depth, value)) return badValue(source);
                return makeOneValue(source, *capability, TWTY_UINT16, truncatedItem(value));
            case MSG_SET: {
                const SentValue sent = readSentValue(source, *capability, true);
                if (sent.kind == SentKind::none) return badValue(source);
                value = static_cast<TW_INT32>(sent.item);
                break;
            }
            case MSG_RESET:
                if (!defaultDepth(*depth, value)) return badValue(source);
                break;
            default:
                return source.setCondition(TWCC_BADPROTOCOL, TWRC_FAILURE);
        }
        writeValue(*depth, decimal(value));
        return afterNumberWrite(*depth, value);
    });
}

TW_UINT16 resolutionCapability(DataSource& source, const OptionRoles& roles, TW_UINT16 msg,
                               TW_CAPABILITY* capability) {
    NumberOption* resolution = numberOption(roles.resolution);
    if (!resolution) return unsupported(source);
    if (!resolution->isActive()) return inactive(source);
    return guarded(source, [&]() -> TW_UINT16 {
        TW_INT32 value = static_cast<TW_INT32>(kDefaultResolution);
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
                break;
            }
            case MSG_RESET:
                break;
            default:
                return source.setCondition(TWCC_BADPROTOCOL, TWRC_FAILURE);
        }
        writeValue(*resolution, decimal(value));
        // The compact list only shows a typed value until it loses the focus, which never
        // happens without the window: the application's value is sent now.
        if (resolution->compact && resolution->constraintKind != numberWordList &&
            resolution->device && !resolution->values.empty()) {
            resolution->values.front() = value;
            resolution->device->controlNumbers(SANE_ACTION_SET_VALUE, *resolution);
        }
        return afterNumberWrite(*resolution, value);
    });
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
            native = resolution->wordList.front();
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

namespace tarnwick {

namespace {

constexpr double kLevelSpan = 1000;

// The option's value for a level, kept in its range and on its steps.
double optionValueOf(const NumberOption& option, double level) {
    const double low = lowBound(option), high = highBound(option);
    double value = low + (level + kLevelSpan) / (2 * kLevelSpan) * (high - low);
    if (option.quant > 0) value = low + std::round((value - low) / option.quant) * option.quant;
    if (!option.isFixed) value = std::round(value);
    return std::clamp(value, low, high);
}

double levelOf(const NumberOption& option, double value) {
    const double low = lowBound(option), high = highBound(option);
    if (high <= low) return 0;
    return (value - low) / (high - low) * 2 * kLevelSpan - kLevelSpan;
}

}  // namespace

bool servesLevel(const Option* option) {
    const auto* number = dynamic_cast<const NumberOption*>(option);
    return number && number->constraintKind == numberRange && number->values.size() == 1;
}

TW_UINT16 levelCapability(DataSource& source, Option* option, TW_UINT16 msg,
                          TW_CAPABILITY* capability) {
    if (!servesLevel(option)) return unsupported(source);
    auto& number = static_cast<NumberOption&>(*option);
    if (msg != MSG_SET && msg != MSG_RESET && !number.isActive()) return inactive(source);
    return guarded(source, [&]() -> TW_UINT16 {
        const double current = levelOf(number, number.values[0]);
        double level = 0;
        switch (msg) {
            case MSG_GETCURRENT:
                return makeOneValue(source, *capability, TWTY_FIX32, fixItem(current));
            case MSG_GETDEFAULT:
                return makeOneValue(source, *capability, TWTY_FIX32, fixItem(0));
            case MSG_GET: {
                const double span = highBound(number) - lowBound(number);
                const double step =
                    span > 0 && number.quant > 0 ? number.quant / span * 2 * kLevelSpan : 1;
                return makeRange(source, *capability, TWTY_FIX32, fixItem(-kLevelSpan),
                                 fixItem(kLevelSpan), fixItem(step), fixItem(0), fixItem(current));
            }
            case MSG_SET: {
                const SentValue sent = readSentValue(source, *capability, false);
                if (sent.kind != SentKind::oneValue) return badValue(source);
                const TW_FIX32 sentLevel{static_cast<TW_INT16>(sent.item & 0xFFFF),
                                         static_cast<TW_UINT16>(sent.item >> 16)};
                level = fromFix32(sentLevel);
                if (level < -kLevelSpan || level > kLevelSpan) return badValue(source);
                break;
            }
            case MSG_RESET:
                break;
            default:
                return source.setCondition(TWCC_BADPROTOCOL, TWRC_FAILURE);
        }
        const double value = optionValueOf(number, level);
        char text[32];
        std::snprintf(text, sizeof text, number.isFixed ? "%.4f" : "%.0f", value);
        writeValue(number, text);
        const bool exact = std::fabs(levelOf(number, number.values[0]) - level) < 0.5;
        return exact ? afterWrite(number) : TWRC_CHECKSTATUS;
    });
}

}  // namespace tarnwick
