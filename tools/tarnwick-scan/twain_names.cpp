#include "twain_names.h"

#include <cctype>

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
                                        "TWCC_CAPSEQERROR",
                                        "TWCC_DENIED",
                                        "TWCC_FILEEXISTS",
                                        "TWCC_FILENOTFOUND",
                                        "TWCC_NOTEMPTY",
                                        "TWCC_PAPERJAM",
                                        "TWCC_PAPERDOUBLEFEED",
                                        "TWCC_FILEWRITEERROR",
                                        "TWCC_CHECKDEVICEONLINE",
                                        "TWCC_INTERLOCK",
                                        "TWCC_DAMAGEDCORNER",
                                        "TWCC_FOCUSERROR",
                                        "TWCC_DOCTOOLIGHT",
                                        "TWCC_DOCTOODARK",
                                        "TWCC_NOMEDIA"};
    return named(names, std::size(names), cc, "TWCC ");
}

std::optional<TW_UINT16> pageSizeCode(const std::string& name) {
    // Indexed by the TWSS_ code; 8 is unused.
    static const char* const names[] = {
        "NONE",  "A4",     "JISB5",    "USLETTER",    "USLEGAL",     "A5",     "ISOB4",
        "ISOB6", nullptr,  "USLEDGER", "USEXECUTIVE", "A3",          "ISOB3",  "A6",
        "C4",    "C5",     "C6",       "4A0",         "2A0",         "A0",     "A1",
        "A2",    "A7",     "A8",       "A9",          "A10",         "ISOB0",  "ISOB1",
        "ISOB2", "ISOB5",  "ISOB7",    "ISOB8",       "ISOB9",       "ISOB10", "JISB0",
        "JISB1", "JISB2",  "JISB3",    "JISB4",       "JISB6",       "JISB7",  "JISB8",
        "JISB9", "JISB10", "C0",       "C1",          "C2",          "C3",     "C7",
        "C8",    "C9",     "C10",      "USSTATEMENT", "BUSINESSCARD"};
    std::string upper = name;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (std::size_t code = 0; code < std::size(names); ++code)
        if (names[code] && upper == names[code]) return static_cast<TW_UINT16>(code);
    return std::nullopt;
}

std::string pixelTypeName(int pixelType) {
    static const char* const names[] = {"bw", "gray", "rgb", "palette"};
    return named(names, std::size(names), static_cast<unsigned>(pixelType), "");
}

}  // namespace harness
