// DAT_CAPABILITY: the 22 capabilities of this source, their gate and the constant answers.
#include <iterator>

#include "twain/containers.h"
#include "twain/data_source.h"
#include "twain/triplet_handlers.h"

namespace tarnwick {

namespace {

constexpr TW_UINT32 kQueryAll =
    TWQC_GET | TWQC_SET | TWQC_GETDEFAULT | TWQC_GETCURRENT | TWQC_RESET;
constexpr TW_UINT32 kQueryGetOnly = TWQC_GET | TWQC_GETDEFAULT | TWQC_GETCURRENT;
constexpr TW_UINT32 kQueryListOnly = TWQC_GET;

using CapabilityHandler = TW_UINT16 (*)(DataSource& source, TW_UINT16 msg, TW_CAPABILITY& cap);

struct CapabilityRow {
    TW_UINT16 cap;
    TW_UINT32 querySupport;
    CapabilityHandler handler;
};

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
        const SentValue sent = readSentValue(cap, false);
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

// A fact of the source that only MSG_GET reports.
template <TW_UINT16 ItemType, TW_UINT32 Value>
TW_UINT16 listedFact(DataSource& source, TW_UINT16 msg, TW_CAPABILITY& cap) {
    if (msg != MSG_GET) return refused(source);
    return makeOneValue(source, cap, ItemType, Value);
}

bool wholeItemIsMinusOne(TW_UINT32 item) {
    return item == 0xFFFFFFFF;
}
bool lowWordIsInches(TW_UINT32 item) {
    return (item & 0xFFFF) == TWUN_INCHES;
}
bool lowWordIsMsbFirst(TW_UINT32 item) {
    return (item & 0xFFFF) == TWBO_MSBFIRST;
}

TW_UINT16 transferMechanism(DataSource& source, TW_UINT16 msg, TW_CAPABILITY& cap) {
    switch (msg) {
        case MSG_GET:
            return makeEnumeration(source, cap, TWTY_UINT16, source.transferMechanism ? 1 : 0, 0,
                                   {TWSX_NATIVE, TWSX_MEMORY});
        case MSG_GETCURRENT:
            return makeOneValue(source, cap, TWTY_UINT16, source.transferMechanism);
        case MSG_GETDEFAULT:
            return makeOneValue(source, cap, TWTY_UINT16, TWSX_NATIVE);
        case MSG_SET: {
            const SentValue sent = readSentValue(cap, false);
            if (sent.kind != SentKind::oneValue) return badValue(source);
            source.transferMechanism = static_cast<TW_UINT16>(sent.item & 0xFFFF);
            if (source.transferMechanism == TWSX_NATIVE || source.transferMechanism == TWSX_MEMORY)
                return TWRC_SUCCESS;
            source.transferMechanism = TWSX_NATIVE;
            return TWRC_CHECKSTATUS;
        }
        default:  // MSG_RESET
            source.transferMechanism = TWSX_NATIVE;
            return makeOneValue(source, cap, TWTY_UINT16, TWSX_NATIVE);
    }
}

TW_UINT16 indicators(DataSource& source, TW_UINT16 msg, TW_CAPABILITY& cap) {
    switch (msg) {
        case MSG_GET:
        case MSG_GETCURRENT:
            return makeOneValue(source, cap, TWTY_BOOL, source.indicators ? 1 : 0);
        case MSG_SET: {
            const SentValue sent = readSentValue(cap, false);
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

TW_UINT16 unsupported(DataSource& source, TW_UINT16, TW_CAPABILITY&) {
    return source.setCondition(TWCC_CAPUNSUPPORTED, TWRC_FAILURE);
}

TW_UINT16 supportedCapabilities(DataSource& source, TW_UINT16 msg, TW_CAPABILITY& cap);

// The option-based capabilities belong to the open scanner; MSG_RESET passes no record.
TW_UINT16 pixelType(DataSource& source, TW_UINT16 msg, TW_CAPABILITY& cap) {
    return source.scanner->pixelType(msg, msg == MSG_RESET ? nullptr : &cap);
}
TW_UINT16 bitDepth(DataSource& source, TW_UINT16 msg, TW_CAPABILITY& cap) {
    return source.scanner->bitDepth(msg, msg == MSG_RESET ? nullptr : &cap);
}
TW_UINT16 resolution(DataSource& source, TW_UINT16 msg, TW_CAPABILITY& cap) {
    return source.scanner->resolution(msg, msg == MSG_RESET ? nullptr : &cap);
}
TW_UINT16 nativeResolution(DataSource& source, TW_UINT16 msg, TW_CAPABILITY& cap) {
    if (!isRead(msg)) return refused(source);
    return source.scanner->nativeResolution(msg, &cap);
}
TW_UINT16 physicalSize(DataSource& source, TW_UINT16 msg, TW_CAPABILITY& cap) {
    if (!isRead(msg)) return refused(source);
    return source.scanner->physicalSize(msg, &cap);
}

const CapabilityRow kCapabilities[] = {
    {CAP_XFERCOUNT, kQueryAll, settableConstant<TWTY_INT16, 0xFFFFFFFF, wholeItemIsMinusOne>},
    {ICAP_COMPRESSION, kQueryGetOnly, readOnlyConstant<TWTY_UINT16, TWCP_NONE>},
    {ICAP_PIXELTYPE, kQueryAll, pixelType},
    {ICAP_UNITS, kQueryAll, settableConstant<TWTY_UINT16, TWUN_INCHES, lowWordIsInches>},
    {ICAP_XFERMECH, kQueryAll, transferMechanism},
    {CAP_SUPPORTEDCAPS, kQueryListOnly, supportedCapabilities},
    {CAP_INDICATORS, kQueryAll, indicators},
    {CAP_UICONTROLLABLE, kQueryListOnly, listedFact<TWTY_BOOL, 1>},
    {CAP_DEVICEONLINE, kQueryListOnly, listedFact<TWTY_BOOL, 1>},
    {CAP_ENABLEDSUIONLY, kQueryListOnly, listedFact<TWTY_BOOL, 1>},
    {ICAP_BRIGHTNESS, kQueryAll, unsupported},
    {ICAP_CONTRAST, kQueryAll, unsupported},
    {ICAP_PHYSICALWIDTH, kQueryGetOnly, physicalSize},
    {ICAP_PHYSICALHEIGHT, kQueryGetOnly, physicalSize},
    {ICAP_XNATIVERESOLUTION, kQueryGetOnly, nativeResolution},
    {ICAP_YNATIVERESOLUTION, kQueryGetOnly, nativeResolution},
    {ICAP_XRESOLUTION, kQueryAll, resolution},
    {ICAP_YRESOLUTION, kQueryAll, resolution},
    {ICAP_BITORDER, kQueryAll, settableConstant<TWTY_UINT16, TWBO_MSBFIRST, lowWordIsMsbFirst>},
    {ICAP_PIXELFLAVOR, kQueryGetOnly, readOnlyConstant<TWTY_UINT16, TWPF_CHOCOLATE>},
    {ICAP_PLANARCHUNKY, kQueryGetOnly, readOnlyConstant<TWTY_UINT16, TWPC_CHUNKY>},
    {ICAP_BITDEPTH, kQueryAll, bitDepth},
};
static_assert(std::size(kCapabilities) == 22);

TW_UINT16 supportedCapabilities(DataSource& source, TW_UINT16 msg, TW_CAPABILITY& cap) {
    if (msg != MSG_GET) return refused(source);
    std::vector<TW_UINT32> caps;
    for (const CapabilityRow& row : kCapabilities) caps.push_back(row.cap);
    return makeArray(source, cap, TWTY_UINT16, caps);
}

}  // namespace

TW_UINT16 handleCapability(DataSource& source, TW_UINT16 MSG, TW_MEMREF pData) {
    auto& cap = *static_cast<TW_CAPABILITY*>(pData);
    for (const CapabilityRow& row : kCapabilities) {
        if (row.cap != cap.Cap) continue;
        if (MSG == MSG_QUERYSUPPORT) return makeOneValue(source, cap, TWTY_INT32, row.querySupport);
        return row.handler(source, MSG, cap);
    }
    return source.setCondition(TWCC_CAPUNSUPPORTED, TWRC_FAILURE);
}

}  // namespace tarnwick
