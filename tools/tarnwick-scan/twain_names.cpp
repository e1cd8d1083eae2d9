#include "twain_names.h"

namespace harness {

namespace {

std::string named(const char* const* names, std::size_t count, unsigned code, const char* prefix) {
    if (code < count && names[code]) return names[code];
    return std::string(prefix) + std::to_string(code);
}

}  // namespace

std::string returnCodeName(TW_UINT16 rc) {
    static const char* const names[] = {"TWRC_SUCCESS",  "TWRC_FAILURE",  "TWRC_CHECKSTATUS",
                                        "TWRC_CANCEL",   "TWRC_DSEVENT",  "TWRC_NOTDSEVENT",
                                        "TWRC_XFERDONE", "TWRC_ENDOFLIST"};
    return named(names, std::size(names), rc, "TWRC ");
}

std::string conditionCodeName(TW_UINT16 cc) {
    static const char* const names[] = {"TWCC_SUCCESS",
                                        "TWCC_BUMMER",
                                        "TWCC_LOWMEMORY",
                                        "TWCC_NODS",
                                        "TWCC_MAXCONNECTIONS",
                                        "TWCC_OPERATIONERROR",
                                        "TWCC_BADCAP",
                                        nullptr,
                                        nullptr,
                                        "TWCC_BADPROTOCOL",
                                        "TWCC_BADVALUE",
                                        "TWCC_SEQERROR",
                                        "TWCC_BADDEST",
                                        "TWCC_CAPUNSUPPORTED",
                                        "TWCC_CAPBADOPERATION",
                                        "TWCC_CAPSEQERROR"};
    return named(names, std::size(names), cc, "TWCC ");
}

std::string pixelTypeName(int pixelType) {
    static const char* const names[] = {"bw", "gray", "rgb", "palette"};
    return named(names, std::size(names), static_cast<unsigned>(pixelType), "");
}

}  // namespace harness
