// DAT_CAPABILITY: the capabilities of this source, their gate and the constant answers.
#include <algorithm>
#include <iterator>

#include "options/source_entries.h"
#include "options/string_option.h"
#include "twain/compression_capabilities.h"
#include "twain/containers.h"
#include "twain/data_source.h"
#include "twain/feeder_capabilities.h"
#include "twain/option_capabilities.h"
#include "twain/page_sizes.h"
#include "twain/triplet_handlers.h"
#include "twain/triplet_table.h"
#include "twain/units.h"

namespace tarnwick {

namespace {

constexpr TW_UINT32 kQueryAll =
    TWQC_GET | TWQC_SET | TWQC_GETDEFAULT | TWQC_GETCURRENT | TWQC_RESET;
constexpr TW_UINT32 kQueryGetOnly = TWQC_GET | TWQC_GETDEFAULT | TWQC_GETCURRENT;

using CapabilityHandler = TW_UINT16 (*)(DataSource& source, TW_UINT16 msg, TW_CAPABILITY& cap);

struct CapabilityRow {
    TW_UINT16 cap;
    TW_UINT32 querySupport;
    CapabilityHandler handler;
    // Whether the open device serves it (null: always).
    bool (*served)(DataSource& source) = nullptr;
};

bool isServed(const CapabilityRow& row, DataSource& source) {
    return !row.served || row.served(source);
}

TW_UINT16 refused(DataSource& source) {
    return source.setCondition(TWCC_CAPBADOPERATION, TWRC_FAILURE);
}

TW_UINT16 badValue(DataSource& source) {
    return source.setCondition(TWCC_BADVALUE, TWRC_FAILURE);
}

bool isRead(TW_UINT16 msg) {
    return msg == MSG_GET || msg == MSG_GETCURRENT || msg == MSG_GETDEFAULT;
}

// A constant the application may read, and set or reset only to itself. `matches` compares
// the sent Item with the constant.
template <TW_UINT16 ItemType, TW_UINT32 Value, bool (*Matches)(TW_UINT32)>
TW_UINT16 settableConstant(DataSource& source, TW_UINT16 msg, TW_CAPABILITY& cap) {
    if (msg == MSG_SET) {
        const SentValue sent = readSentValue(source, cap, false);
        if (sent.kind != SentKind::oneValue || !Matches(sent.item)) return badValue(source);
        return TWRC_SUCCESS;
    }
    return makeOneValue(source, cap, ItemType, Value);
}

// A constant that can only be read.
template <TW_UINT16 ItemType, TW_UINT32 Value>
TW_UINT16 readOnlyConstant(DataSource& source, TW_UINT16 msg, TW_CAPABILITY& cap) {
    if (!isRead(msg)) return refused(source);
    return makeOneValue(source, cap, ItemType, Value);
}

// A boolean fact of the source: MSG_GET lists its one possible value.
template <TW_UINT32 Value>
TW_UINT16 booleanFact(DataSource& source, TW_UINT16 msg, TW_CAPABILITY& cap) {
    if (!isRead(msg)) return refused(source);
    if (msg == MSG_GET) return makeEnumeration(source, cap, TWTY_BOOL, 0, 0, {Value});
    return makeOneValue(source, cap, TWTY_BOOL, Value);
}

bool lowWordIsMsbFirst(TW_UINT32 item) {
    return (item & 0xFFFF) == TWBO_MSBFIRST;
}

const TW_UINT32 kMechanisms[] = {TWSX_NATIVE, TWSX_FILE, TWSX_MEMORY, TWSX_MEMFILE};

std::size_t mechanismIndex(const DataSource& source) {
    return static_cast<std::size_t>(
        std::find(std::begin(kMechanisms), std::end(kMechanisms), source.transferMechanism) -
        std::begin(kMechanisms));
}

TW_UINT16 transferMechanism(DataSource& source, TW_UINT16 msg, TW_CAPABILITY& cap) {
    switch (msg) {
        case MSG_GET:
            return makeEnumeration(source, cap, TWTY_UINT16, mechanismIndex(source), 0,
                                   {kMechanisms, kMechanisms + std::size(kMechanisms)});
        case MSG_GETCURRENT:
            return makeOneValue(source, cap, TWTY_UINT16, source.transferMechanism);
        case MSG_GETDEFAULT:
            return makeOneValue(source, cap, TWTY_UINT16, TWSX_NATIVE);
        case MSG_SET: {
            const SentValue sent = readSentValue(source, cap, false);
            if (sent.kind != SentKind::oneValue) return badValue(source);
            source.transferMechanism = static_cast<TW_UINT16>(sent.item & 0xFFFF);
            const bool known = mechanismIndex(source) < std::size(kMechanisms);
            if (!known) source.transferMechanism = TWSX_NATIVE;
            keepCompressionValid(source);
            return known ? TWRC_SUCCESS : TWRC_CHECKSTATUS;
        }
        default:  // MSG_RESET
            source.transferMechanism = TWSX_NATIVE;
            keepCompressionValid(source);
            return makeOneValue(source, cap, TWTY_UINT16, TWSX_NATIVE);
    }
}

TW_UINT16 indicators(DataSource& source, TW_UINT16 msg, TW_CAPABILITY& cap) {
    switch (msg) {
        case MSG_GET:
            return makeEnumeration(source, cap, TWTY_BOOL, source.indicators ? 1 : 0, 1, {0, 1});
        case MSG_GETCURRENT:
            return makeOneValue(source, cap, TWTY_BOOL, source.indicators ? 1 : 0);
        case MSG_SET: {
            const SentValue sent = readSentValue(source, cap, false);
            if (sent.kind != SentKind::oneValue) return badValue(source);
            source.indicators = sent.item != 0;
            return TWRC_SUCCESS;
        }
        case MSG_RESET:
            source.indicators = true;
            return makeOneValue(source, cap, TWTY_BOOL, 1);
        default:  // MSG_GETDEFAULT
            return makeOneValue(source, cap, TWTY_BOOL, 1);
    }
}

TW_UINT16 supportedCapabilities(DataSource& source, TW_UINT16 msg, TW_CAPABILITY& cap);

TW_UINT16 supportedDataTypes(DataSource& source, TW_UINT16 msg, TW_CAPABILITY& cap) {
    if (!isRead(msg)) return refused(source);
    return makeArray(source, cap, TWTY_UINT32, supportedDataPairs());
}

// The option-based capabilities read and write the open scanner's options through their roles.
// MSG_RESET passes the handler no record; the value it reset to is then read back for the
// application.
using RolesCapability = TW_UINT16 (*)(DataSource& source, const OptionRoles& roles, TW_UINT16 msg,
                                      TW_CAPABILITY* capability);

// A request to the options; on MSG_RESET, the reset followed by a read of the value reset to.
template <typename Call>
TW_UINT16 resetThenRead(TW_UINT16 msg, TW_CAPABILITY& cap, Call call) {
    if (msg != MSG_RESET) return call(msg, &cap);
    const TW_UINT16 rc = call(MSG_RESET, nullptr);
    if (rc != TWRC_SUCCESS && rc != TWRC_CHECKSTATUS) return rc;
    const TW_UINT16 read = call(MSG_GETCURRENT, &cap);
    return read == TWRC_SUCCESS ? rc : read;
}

const OptionRoles& rolesOf(const DataSource& source) {
    return source.scanner->optionRoles();
}

template <RolesCapability Handler>
TW_UINT16 fromRoles(DataSource& source, TW_UINT16 msg, TW_CAPABILITY& cap) {
    return resetThenRead(msg, cap, [&](TW_UINT16 m, TW_CAPABILITY* c) {
        return Handler(source, rolesOf(source), m, c);
    });
}

// ICAP_PIXELTYPE and ICAP_BITDEPTH need the device's "mode" list, or no mode at all (colour).
bool pixelFormatServed(DataSource& source) {
    const Option* mode = source.scanner ? rolesOf(source).mode : nullptr;
    return source.scanner && (!mode || dynamic_cast<const StringOption*>(mode) != nullptr);
}

// The option of ICAP_BRIGHTNESS, ICAP_CONTRAST, ICAP_THRESHOLD or ICAP_GAMMA.
Option* levelOption(const OptionRoles& roles, TW_UINT16 cap) {
    switch (cap) {
        case ICAP_BRIGHTNESS:
            return roles.brightness;
        case ICAP_CONTRAST:
            return roles.contrast;
        case ICAP_THRESHOLD:
            return roles.threshold;
        case ICAP_GAMMA:
            return roles.gamma;
        default:
            return nullptr;
    }
}

// The levels and the feeder are served, and listed, only when the device has their options;
// an inactive level does not work until the device makes it active.
template <TW_UINT16 Cap>
bool levelServed(DataSource& source) {
    const Option* option = source.scanner ? levelOption(rolesOf(source), Cap) : nullptr;
    return option && option->isActive() && servesLevel(option);
}
template <TW_UINT16 Cap>
bool feederServed(DataSource& source) {
    return source.scanner && servesFeederCapability(rolesOf(source).feeder, Cap);
}

TW_UINT16 level(DataSource& source, TW_UINT16 msg, TW_CAPABILITY& cap) {
    Option* option = levelOption(rolesOf(source), cap.Cap);
    return resetThenRead(msg, cap, [&](TW_UINT16 m, TW_CAPABILITY* c) {
        return levelCapability(source, cap.Cap, option, m, c);
    });
}

TW_UINT16 feeder(DataSource& source, TW_UINT16 msg, TW_CAPABILITY& cap) {
    const OptionRoles& roles = rolesOf(source);
    return resetThenRead(msg, cap, [&](TW_UINT16 m, TW_CAPABILITY* c) {
        const TW_UINT16 rc =
            feederCapability(source, roles.feeder, roles.paperSensor, cap.Cap, m, c);
        // The feeder the application chose is used for whole batches.
        if ((m == MSG_SET || m == MSG_RESET) && rc != TWRC_FAILURE) {
            const SourceKind kind = sourceKind(roles.feeder->valueText());
            source.scanner->setFeederChosen(kind == SourceKind::feeder ||
                                            kind == SourceKind::duplex);
        }
        return rc;
    });
}

TW_UINT16 nativeResolution(DataSource& source, TW_UINT16 msg, TW_CAPABILITY& cap) {
    if (!isRead(msg)) return refused(source);
    return nativeResolutionCapability(source, rolesOf(source), msg, &cap);
}
TW_UINT16 physicalSize(DataSource& source, TW_UINT16 msg, TW_CAPABILITY& cap) {
    if (!isRead(msg)) return refused(source);
    return physicalSizeCapability(source, rolesOf(source), msg, &cap);
}

const CapabilityRow kCapabilities[] = {
    {CAP_XFERCOUNT, kQueryAll, transferCountCapability},
    {ICAP_COMPRESSION, kQueryAll, compressionCapability},
    {ICAP_PIXELTYPE, kQueryAll, fromRoles<pixelTypeCapability>, pixelFormatServed},
    {ICAP_UNITS, kQueryAll, unitsCapability},
    {ICAP_XFERMECH, kQueryAll, transferMechanism},
    {CAP_SUPPORTEDCAPS, kQueryGetOnly, supportedCapabilities},
    {CAP_INDICATORS, kQueryAll, indicators},
    {CAP_UICONTROLLABLE, kQueryGetOnly, booleanFact<1>},
    {CAP_DEVICEONLINE, kQueryGetOnly, booleanFact<1>},
    {CAP_ENABLEDSUIONLY, kQueryGetOnly, booleanFact<1>},
    {ICAP_BRIGHTNESS, kQueryAll, level, levelServed<ICAP_BRIGHTNESS>},
    {ICAP_CONTRAST, kQueryAll, level, levelServed<ICAP_CONTRAST>},
    {ICAP_PHYSICALWIDTH, kQueryGetOnly, physicalSize},
    {ICAP_PHYSICALHEIGHT, kQueryGetOnly, physicalSize},
    {ICAP_XNATIVERESOLUTION, kQueryGetOnly, nativeResolution},
    {ICAP_YNATIVERESOLUTION, kQueryGetOnly, nativeResolution},
    {ICAP_XRESOLUTION, kQueryAll, fromRoles<resolutionCapability>},
    {ICAP_YRESOLUTION, kQueryAll, fromRoles<yResolutionCapability>},
    {ICAP_BITORDER, kQueryAll, settableConstant<TWTY_UINT16, TWBO_MSBFIRST, lowWordIsMsbFirst>},
    {ICAP_PIXELFLAVOR, kQueryGetOnly, readOnlyConstant<TWTY_UINT16, TWPF_CHOCOLATE>},
    {ICAP_PLANARCHUNKY, kQueryGetOnly, readOnlyConstant<TWTY_UINT16, TWPC_CHUNKY>},
    {ICAP_BITDEPTH, kQueryAll, fromRoles<bitDepthCapability>, pixelFormatServed},
    {CAP_SUPPORTEDDATS, kQueryGetOnly, supportedDataTypes},
    {ICAP_THRESHOLD, kQueryAll, level, levelServed<ICAP_THRESHOLD>},
    {ICAP_GAMMA, kQueryAll, level, levelServed<ICAP_GAMMA>},
    {CAP_FEEDERENABLED, kQueryAll, feeder, feederServed<CAP_FEEDERENABLED>},
    {CAP_DUPLEX, kQueryGetOnly, feeder, feederServed<CAP_DUPLEX>},
    {CAP_DUPLEXENABLED, kQueryAll, feeder, feederServed<CAP_DUPLEXENABLED>},
    {CAP_AUTOFEED, kQueryAll, feeder, feederServed<CAP_AUTOFEED>},
    {CAP_FEEDERLOADED, kQueryGetOnly, feeder, feederServed<CAP_FEEDERLOADED>},
    {CAP_PAPERDETECTABLE, kQueryGetOnly, feeder, feederServed<CAP_PAPERDETECTABLE>},
    {ICAP_SUPPORTEDSIZES, kQueryAll, supportedSizesCapability, servesPageSizes},
    {ICAP_IMAGEFILEFORMAT, kQueryAll, imageFileFormatCapability},
    {ICAP_JPEGQUALITY, kQueryAll, jpegQualityCapability},
};
static_assert(std::size(kCapabilities) == 34);

TW_UINT16 supportedCapabilities(DataSource& source, TW_UINT16 msg, TW_CAPABILITY& cap) {
    if (!isRead(msg)) return refused(source);
    std::vector<TW_UINT32> caps;
    for (const CapabilityRow& row : kCapabilities)
        if (isServed(row, source)) caps.push_back(row.cap);
    return makeArray(source, cap, TWTY_UINT16, caps);
}

// Every capability that can be reset, to its default; the answers are not kept.
TW_UINT16 resetAll(DataSource& source) {
    for (const CapabilityRow& row : kCapabilities) {
        if (!(row.querySupport & TWQC_RESET) || !isServed(row, source)) continue;
        TW_CAPABILITY cap{row.cap, 0, nullptr};
        row.handler(source, MSG_RESET, cap);
        source.dsm().release(cap.hContainer);
    }
    source.conditionCode = TWCC_SUCCESS;
    return TWRC_SUCCESS;
}

}  // namespace

TW_UINT16 handleCapability(DataSource& source, TW_UINT16 MSG, TW_MEMREF pData) {
    if (MSG == MSG_RESETALL) return resetAll(source);
    auto& cap = *static_cast<TW_CAPABILITY*>(pData);
    for (const CapabilityRow& row : kCapabilities) {
        if (row.cap != cap.Cap || !isServed(row, source)) continue;
        if (MSG == MSG_QUERYSUPPORT) return makeOneValue(source, cap, TWTY_INT32, row.querySupport);
        return row.handler(source, MSG, cap);
    }
    return source.setCondition(TWCC_CAPUNSUPPORTED, TWRC_FAILURE);
}

}  // namespace tarnwick
