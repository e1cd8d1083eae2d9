// tarnwick-scan identity PATH: the identity the source answers to DAT_IDENTITY / MSG_GET.
#include <cstdio>
#include <cstring>
#include <string>

#include "commands.h"
#include "source_module.h"

namespace harness {

namespace {

// A record field the source filled; bounded even when the source left out the NUL.
std::string text(const TW_STR32& field) {
    const void* end = std::memchr(field, '\0', sizeof field);
    return std::string(field, end ? static_cast<const char*>(end) - field : sizeof field);
}

}  // namespace

int runIdentity(const std::vector<std::string>& args) {
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: tarnwick-scan identity PATH\n");
        return 2;
    }
    SourceModule source(args[0]);
    if (!source.loaded()) {
        std::fprintf(stderr, "tarnwick-scan: %s\n", source.error().c_str());
        return 1;
    }
    TW_IDENTITY identity{};
    TW_UINT16 rc = source.call(DG_CONTROL, DAT_IDENTITY, MSG_GET, &identity);
    if (rc != TWRC_SUCCESS) {
        std::fprintf(stderr, "tarnwick-scan: DAT_IDENTITY / MSG_GET failed with return code %u\n",
                     static_cast<unsigned>(rc));
        return 1;
    }
    std::printf("%s (%u.%02u), protocol %u.%u, groups 0x%08x\n",
                text(identity.Version.Info).c_str(),
                static_cast<unsigned>(identity.Version.MajorNum),
                static_cast<unsigned>(identity.Version.MinorNum),
                static_cast<unsigned>(identity.ProtocolMajor),
                static_cast<unsigned>(identity.ProtocolMinor),
                static_cast<unsigned>(identity.SupportedGroups));
    std::printf("Manufacturer: %s\n", text(identity.Manufacturer).c_str());
    std::printf("Product family: %s\n", text(identity.ProductFamily).c_str());
    std::printf("Product name: %s\n", text(identity.ProductName).c_str());
    return 0;
}

}  // namespace harness
