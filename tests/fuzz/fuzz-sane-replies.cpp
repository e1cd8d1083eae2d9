// Every reply decoder of the control connection over arbitrary bytes: the first byte picks the
// decoder (and, for option values, the buffer capacity), the rest is the daemon's reply.
#include <cstddef>
#include <cstdint>

#include "sane/procedures.h"

using namespace tarnwick;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    std::uint8_t selector = data[0];
    MemorySource source(data + 1, size - 1);
    StatusCallback nobody;
    WireReader reader(source, nobody);
    std::size_t capacity = selector >> 4;
    switch (selector & 15) {
        case 0:
            decodeInitReply(reader);
            break;
        case 1:
            decodeGetDevicesReply(reader);
            break;
        case 2:
            decodeOpenReply(reader);
            break;
        case 3:
            decodeOptionDescriptorsReply(reader);
            break;
        case 4:
            decodeControlOptionReply(reader, SANE_TYPE_INT, capacity);
            break;
        case 5:
            decodeGetParametersReply(reader);
            break;
        case 6:
            decodeStartReply(reader);
            break;
        case 7:
            decodeControlOptionReply(reader, SANE_TYPE_STRING, capacity);
            break;
        case 9:
            decodeControlOptionReply(reader, SANE_TYPE_BOOL, capacity);
            break;
        default:
            decodeWordReply(reader);
            break;
    }
    return 0;
}
