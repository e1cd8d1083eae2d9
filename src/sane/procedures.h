// The remote procedures of the control connection: one request encoder and one reply decoder
// each. Encoders are pure; decoders read from a WireReader, so both run on captured bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sane/wire_reader.h"
#include "sane/wire_types.h"
#include "sane/wire_writer.h"

namespace tarnwick {

// ---- requests ----

Request encodeInit(const std::string& userName);
Request encodeGetDevices();
Request encodeOpen(const std::string& deviceName);
Request encodeClose(Word handle);
Request encodeGetOptionDescriptors(Word handle);
Request encodeGetParameters(Word handle);
Request encodeStart(Word handle);
Request encodeCancel(Word handle);
// The password field as it goes out (see authorizationPassword in sane/authorization.h).
Request encodeAuthorize(const std::string& resource, const std::string& userName,
                        const std::string& password);
Request encodeExit();

struct ControlOptionRequest {
    Word handle = 0;
    Word option = 0;
    Word action = SANE_ACTION_GET_VALUE;
    Word valueType = SANE_TYPE_BOOL;
    // BOOL: one word (0 or 1). INT, FIXED: the words. STRING: the raw value buffer (the
    // option size). BUTTON and GROUP carry no value block.
    std::vector<Word> words;
    Bytes raw;
};
Request encodeControlOption(const ControlOptionRequest& request);

// ---- replies ----
// Every decoder returns what it read. After a failed read (reader.failed(), already reported)
// the status is SANE_STATUS_IO_ERROR and the other fields must not be used.

struct InitReply {
    Word status = 0;
    Word version = 0;  // only read when status is 0
};
InitReply decodeInitReply(WireReader& reader);

struct DeviceRecord {
    std::string name, vendor, model, type;
};
struct GetDevicesReply {
    Word status = 0;
    std::vector<DeviceRecord> devices;  // elements with a null pointer yield no record
};
// On a status other than 0 the rest of the reply is drained, so the connection stays in step.
GetDevicesReply decodeGetDevicesReply(WireReader& reader);

struct OpenReply {
    Word status = 0;
    Word handle = 0;
    std::string resource;  // non-empty: the daemon asks for authorization
};
OpenReply decodeOpenReply(WireReader& reader);

struct Range {
    Word min = 0, max = 0, quant = 0;  // fixed-point words when the option type is FIXED
};

struct OptionDescriptor {
    Word index = 0;  // position in the descriptor array: the option number on the wire
    std::string name, title, desc;
    Word type = SANE_TYPE_BOOL;
    Word unit = SANE_UNIT_NONE;
    Word size = 0;
    Word cap = 0;
    Word constraintType = SANE_CONSTRAINT_NONE;
    Range range;                          // RANGE
    std::vector<Word> wordList;           // WORD_LIST, entries in list order
    std::vector<std::string> stringList;  // STRING_LIST, in list order
};
struct OptionDescriptorsReply {
    Word count = 0;  // descriptors announced, null ones and skipped ones included
    // The usable descriptors in array order. A null element, a type above GROUP or a
    // constraint the SANE standard does not allow for the type yields no entry; its data is
    // consumed, so the ones after it are read in step.
    std::vector<OptionDescriptor> descriptors;
};
OptionDescriptorsReply decodeOptionDescriptorsReply(WireReader& reader);

struct ControlOptionReply {
    Word status = 0;
    // Read whole whatever the status; only a status of 0 fills the fields below.
    Word info = 0;
    Word valueType = 0;
    Word valueSize = 0;
    Word elementCount = 0;
    // INT, FIXED: up to capacity words of the value. Other types: up to capacity bytes.
    // What the daemon sends beyond the capacity is read and dropped.
    std::vector<Word> words;
    Bytes raw;
    std::string resource;
};
// requestType: the value type of the request, which decides how the value is read;
// capacity: the caller's buffer, in words (INT, FIXED) or bytes (other types).
ControlOptionReply decodeControlOptionReply(WireReader& reader, Word requestType,
                                            std::size_t capacity);

struct Parameters {
    Word format = SANE_FRAME_GRAY;
    Word lastFrame = 0;
    Word bytesPerLine = 0;
    Word pixelsPerLine = 0;
    Word lines = 0;  // -1: not known before the scan
    Word depth = 0;
};
struct GetParametersReply {
    Word status = 0;
    Parameters parameters;  // read whatever the status
};
GetParametersReply decodeGetParametersReply(WireReader& reader);

struct StartReply {
    Word status = 0;
    Word port = 0;       // a port outside 1..65535 with status 0 is a protocol error
    Word byteOrder = 0;  // samples are passed on as they arrive
    std::string resource;
};
StartReply decodeStartReply(WireReader& reader);

// SANE_NET_CLOSE, SANE_NET_CANCEL and SANE_NET_AUTHORIZE answer one word that is ignored.
Word decodeWordReply(WireReader& reader);

}  // namespace tarnwick
