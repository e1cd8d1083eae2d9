#include "twain/feeder_capabilities.h"

#include <exception>
#include <new>
#include <string>

#include "options/option_device.h"
#include "options/source_entries.h"
#include "options/string_option.h"
#include "twain/containers.h"
#include "twain/data_source.h"

namespace tarnwick {

namespace {

TW_UINT16 badValue(DataSource& source) {
    return source.setCondition(TWCC_BADVALUE, TWRC_FAILURE);
}

// A capability the device has only one value of: MSG_SET and MSG_RESET are refused. Every
// boolean's MSG_GET is an enumeration, here of its one value.
TW_UINT16 fact(DataSource& source, TW_UINT16 msg, TW_CAPABILITY* capability, TW_UINT16 itemType,
               TW_UINT32 value) {
    if (msg == MSG_SET || msg == MSG_RESET)
        return source.setCondition(TWCC_CAPBADOPERATION, TWRC_FAILURE);
    if (msg == MSG_GET && itemType == TWTY_BOOL)
        return makeEnumeration(source, *capability, TWTY_BOOL, 0, 0, {value});
    return makeOneValue(source, *capability, itemType, value);
}

// A boolean the application may set: MSG_GET lists the values the device allows.
TW_UINT16 readBoolean(DataSource& source, TW_UINT16 msg, TW_CAPABILITY& capability, bool current,
                      bool byDefault, bool falseAllowed) {
    if (msg == MSG_GETCURRENT) return makeOneValue(source, capability, TWTY_BOOL, current);
    if (msg == MSG_GETDEFAULT) return makeOneValue(source, capability, TWTY_BOOL, byDefault);
    if (!falseAllowed) return makeEnumeration(source, capability, TWTY_BOOL, 0, 0, {1});
    return makeEnumeration(source, capability, TWTY_BOOL, current ? 1 : 0, byDefault ? 1 : 0,
                           {0, 1});
}

// Selects a source entry as the window's list would; the answer reports a device that took
// another value.
TW_UINT16 select(StringOption& list, int index) {
    const std::string& choice = list.choices[static_cast<std::size_t>(index)];
    list.info = 0;
    list.setValueText(choice);
    const bool exact = !(list.info & SANE_INFO_INEXACT) && list.valueText() == choice;
    return exact ? TWRC_SUCCESS : TWRC_CHECKSTATUS;
}

// Read from the device: a sensor changes without telling.
bool paperLoaded(Option& sensor) {
    return sensor.device ? sensor.device->controlBool(SANE_ACTION_GET_VALUE, sensor, false)
                         : sensor.valueText() == "yes";
}

}  // namespace

bool servesFeederCapability(const Option* sourceOption, TW_UINT16 cap) {
    const auto* list = dynamic_cast<const StringOption*>(sourceOption);
    if (!list || list->choices.empty()) return false;
    const SourceEntries entries = sourceEntries(list->choices);
    switch (cap) {
        case CAP_DUPLEXENABLED:
            return entries.duplex >= 0;
        case CAP_FEEDERENABLED:
        case CAP_DUPLEX:
        case CAP_AUTOFEED:
        case CAP_FEEDERLOADED:
        case CAP_PAPERDETECTABLE:
            return entries.hasFeeder();
        default:
            return false;
    }
}

TW_UINT16 feederCapability(DataSource& source, Option* sourceOption, Option* paperSensor,
                           TW_UINT16 cap, TW_UINT16 msg, TW_CAPABILITY* capability) {
    if (!servesFeederCapability(sourceOption, cap))
        return source.setCondition(TWCC_CAPUNSUPPORTED, TWRC_FAILURE);
    auto& list = static_cast<StringOption&>(*sourceOption);
    try {
        const SourceEntries entries = sourceEntries(list.choices);
        const SourceKind kind = sourceKind(list.valueText());
        const bool feeding = kind == SourceKind::feeder || kind == SourceKind::duplex;
        const bool reading = msg == MSG_GET || msg == MSG_GETCURRENT || msg == MSG_GETDEFAULT;
        const bool settable =
            cap == CAP_FEEDERENABLED || cap == CAP_DUPLEXENABLED || cap == CAP_AUTOFEED;
        bool wanted = false;
        if (msg == MSG_SET && settable) {
            const SentValue sent = readSentValue(source, *capability, false);
            if (sent.kind != SentKind::oneValue) return badValue(source);
            wanted = (sent.item & 0xFFFF) != 0;
        }
        switch (cap) {
            case CAP_DUPLEX:
                return fact(source, msg, capability, TWTY_UINT16,
                            entries.duplex >= 0 ? TWDX_1PASSDUPLEX : TWDX_NONE);
            case CAP_PAPERDETECTABLE:
                return fact(source, msg, capability, TWTY_BOOL, paperSensor != nullptr);
            case CAP_FEEDERLOADED:
                return fact(source, msg, capability, TWTY_BOOL,
                            paperSensor ? paperLoaded(*paperSensor) : feeding);
            case CAP_AUTOFEED:
                // The feeder always takes the next page by itself.
                if (reading) return readBoolean(source, msg, *capability, true, true, false);
                return msg == MSG_SET && !wanted ? badValue(source) : TWRC_SUCCESS;
            case CAP_FEEDERENABLED: {
                const bool byDefault = entries.flatbed < 0;
                if (reading)
                    return readBoolean(source, msg, *capability, feeding, byDefault,
                                       entries.flatbed >= 0);
                if (msg == MSG_RESET) wanted = byDefault;
                if (wanted == feeding) return TWRC_SUCCESS;
                if (!wanted && entries.flatbed < 0) return badValue(source);
                return select(list, wanted ? (entries.feeder >= 0 ? entries.feeder : entries.duplex)
                                           : entries.flatbed);
            }
            default: {  // CAP_DUPLEXENABLED
                const bool duplex = kind == SourceKind::duplex;
                const int simplex = entries.feeder >= 0 ? entries.feeder : entries.flatbed;
                if (reading)
                    return readBoolean(source, msg, *capability, duplex, false, simplex >= 0);
                if (msg == MSG_RESET) wanted = false;
                if (wanted == duplex) return TWRC_SUCCESS;
                if (!wanted && simplex < 0) return badValue(source);
                return select(list, wanted ? entries.duplex : simplex);
            }
        }
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception&) {
        return source.setCondition(TWCC_CAPUNSUPPORTED, TWRC_FAILURE);
    }
}

TW_UINT16 transferCountCapability(DataSource& source, TW_UINT16 msg, TW_CAPABILITY& cap) {
    constexpr TW_INT32 kNoLimit = -1;
    constexpr TW_INT32 kMostImages = 0x7FFF;  // the count must fit TWTY_INT16
    Scanner& scanner = *source.scanner;
    TW_INT32 count = kNoLimit;
    switch (msg) {
        case MSG_GET:
        case MSG_GETCURRENT:
            count = scanner.transferLimit();
            break;
        case MSG_GETDEFAULT:
            break;
        case MSG_SET: {
            const SentValue sent = readSentValue(source, cap, false);
            count = static_cast<TW_INT32>(sent.item);
            if (sent.kind != SentKind::oneValue || count == 0 || count < kNoLimit ||
                count > kMostImages)
                return badValue(source);
            scanner.setTransferLimit(count);
            return TWRC_SUCCESS;
        }
        default:  // MSG_RESET
            scanner.setTransferLimit(kNoLimit);
            break;
    }
    return makeOneValue(source, cap, TWTY_INT16, static_cast<TW_UINT32>(count));
}

}  // namespace tarnwick
