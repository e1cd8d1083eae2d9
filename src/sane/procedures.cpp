#include "sane/procedures.h"

namespace tarnwick {

namespace {

Request procedure(Word number) {
    return WireWriter().word(number).take();
}
Request withHandle(Word number, Word handle) {
    return WireWriter().word(number).word(handle).take();
}

// A reply cut by a failed read must not pass for a successful one.
template <class Reply>
Reply& checked(WireReader& reader, Reply& reply) {
    if (reader.failed()) reply.status = SANE_STATUS_IO_ERROR;
    return reply;
}

// A value of count elements of which the caller keeps the first `keep`; the rest is dropped.
template <class Read>
void readKept(std::size_t count, std::size_t keep, Read read) {
    for (std::size_t i = 0; i < count; ++i) read(i < keep);
}

}  // namespace

Request encodeInit(const std::string& userName) {
    return WireWriter().word(SANE_NET_INIT).word(kProtocolVersion).string(userName).take();
}
Request encodeGetDevices() {
    return procedure(SANE_NET_GET_DEVICES);
}
Request encodeOpen(const std::string& deviceName) {
    return WireWriter().word(SANE_NET_OPEN).string(deviceName).take();
}
Request encodeClose(Word handle) {
    return withHandle(SANE_NET_CLOSE, handle);
}
Request encodeGetOptionDescriptors(Word handle) {
    return withHandle(SANE_NET_GET_OPTION_DESCRIPTORS, handle);
}
Request encodeGetParameters(Word handle) {
    return withHandle(SANE_NET_GET_PARAMETERS, handle);
}
Request encodeStart(Word handle) {
    return withHandle(SANE_NET_START, handle);
}
Request encodeCancel(Word handle) {
    return withHandle(SANE_NET_CANCEL, handle);
}
Request encodeAuthorize(const std::string& resource, const std::string& userName,
                        const std::string& password) {
    return WireWriter()
        .word(SANE_NET_AUTHORIZE)
        .string(resource)
        .string(userName)
        .string(password)
        .take();
}
Request encodeExit() {
    return procedure(SANE_NET_EXIT);
}

Request encodeControlOption(const ControlOptionRequest& request) {
    WireWriter writer;
    writer.word(SANE_NET_CONTROL_OPTION)
        .word(request.handle)
        .word(request.option)
        .word(request.action)
        .word(request.valueType);
    switch (request.valueType) {
        case SANE_TYPE_BOOL:
            writer.word(4).word(1).word(request.words.empty() ? 0 : request.words.front());
            break;
        case SANE_TYPE_INT:
        case SANE_TYPE_FIXED: {
            auto count = static_cast<Word>(request.words.size());
            writer.word(count * 4).word(count);
            for (Word w : request.words) writer.word(w);
            break;
        }
        case SANE_TYPE_STRING: {
            auto size = static_cast<Word>(request.raw.size());
            writer.word(size).word(size).bytes(request.raw.data(), request.raw.size());
            break;
        }
        default:
            break;
    }
    return writer.take();
}

InitReply decodeInitReply(WireReader& reader) {
    InitReply reply;
    reply.status = reader.readWord();
    if (reply.status == SANE_STATUS_GOOD) reply.version = reader.readWord();
    return checked(reader, reply);
}

GetDevicesReply decodeGetDevicesReply(WireReader& reader) {
    GetDevicesReply reply;
    reply.status = reader.readWord();
    if (reader.failed()) return checked(reader, reply);
    if (reply.status != SANE_STATUS_GOOD) {
        // What a daemon sends after a failed status is not fixed; drop it to stay in step.
        reader.discardInput();
        return reply;
    }
    // The count includes the terminating null pointer.
    Word count = reader.readCount(kMaxDevices + 1, "device count");
    for (Word i = 0; i + 1 < count && !reader.failed(); ++i) {
        if (reader.readWord() != 0) continue;
        DeviceRecord record;
        record.name = reader.readString();
        record.vendor = reader.readString();
        record.model = reader.readString();
        record.type = reader.readString();
        if (!reader.failed()) reply.devices.push_back(std::move(record));
    }
    if (count > 0) reader.readWord();
    return checked(reader, reply);
}

OpenReply decodeOpenReply(WireReader& reader) {
    OpenReply reply;
    reply.status = reader.readWord();
    reply.handle = reader.readWord();
    reply.resource = reader.readString();
    return checked(reader, reply);
}

namespace {

// Everything after the status word of a SANE_NET_CONTROL_OPTION reply.
void readControlOptionBody(WireReader& reader, Word requestType, std::size_t capacity,
                           ControlOptionReply& reply) {
    reply.info = reader.readWord();
    reply.valueType = reader.readWord();
    reply.valueSize = reader.readCount(kMaxValueSize, "value size");
    reply.elementCount = reader.readCount(kMaxValueSize, "element count");
    if (reader.failed()) return;
    if (requestType == SANE_TYPE_INT || requestType == SANE_TYPE_FIXED) {
        readKept(static_cast<std::size_t>(reply.elementCount), capacity, [&](bool keep) {
            Word w = reader.readWord();
            if (keep && !reader.failed()) reply.words.push_back(w);
        });
    } else {
        auto size = static_cast<std::size_t>(reply.valueSize);
        std::size_t kept = size < capacity ? size : capacity;
        reply.raw.resize(kept);
        if (!reader.readBytes(reply.raw.data(), kept) || !reader.skipBytes(size - kept)) {
            reply.raw.clear();
            return;
        }
    }
    reply.resource = reader.readString();
}

}  // namespace

ControlOptionReply decodeControlOptionReply(WireReader& reader, Word requestType,
                                            std::size_t capacity) {
    ControlOptionReply reply;
    reply.status = reader.readWord();
    if (reader.failed()) return checked(reader, reply);
    if (reply.status != SANE_STATUS_GOOD) {
        // A failed reply has the layout of a good one (saned sends the whole record), so it is
        // read to its end rather than dropped by waiting for the line to fall quiet: a part
        // arriving late would be taken for the start of the next reply. Only the status counts.
        ControlOptionReply rest;
        readControlOptionBody(reader, requestType, 0, rest);
        if (reader.failed()) return checked(reader, rest);
        return reply;
    }
    readControlOptionBody(reader, requestType, capacity, reply);
    return checked(reader, reply);
}

GetParametersReply decodeGetParametersReply(WireReader& reader) {
    GetParametersReply reply;
    reply.status = reader.readWord();
    Parameters& p = reply.parameters;
    p.format = reader.readWord();
    p.lastFrame = reader.readWord();
    p.bytesPerLine = reader.readWord();
    p.pixelsPerLine = reader.readWord();
    p.lines = reader.readWord();
    p.depth = reader.readWord();
    return checked(reader, reply);
}

StartReply decodeStartReply(WireReader& reader) {
    StartReply reply;
    reply.status = reader.readWord();
    reply.port = reader.readWord();
    reply.byteOrder = reader.readWord();
    reply.resource = reader.readString();
    if (!reader.failed() && reply.status == SANE_STATUS_GOOD && reply.resource.empty() &&
        (reply.port <= 0 || reply.port > 65535))
        reader.protocolError("data port", reply.port);
    return checked(reader, reply);
}

Word decodeWordReply(WireReader& reader) {
    return reader.readWord();
}

}  // namespace tarnwick
