// The SANE network protocol's wire types and codes, and the bounds this client enforces on
// everything it reads from a daemon.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tarnwick {

// Every count, code, handle, port, flag and number travels as one big-endian signed word.
using Word = std::int32_t;

// Procedure numbers of the control connection.
enum Procedure : Word {
    SANE_NET_INIT = 0,
    SANE_NET_GET_DEVICES = 1,
    SANE_NET_OPEN = 2,
    SANE_NET_CLOSE = 3,
    SANE_NET_GET_OPTION_DESCRIPTORS = 4,
    SANE_NET_CONTROL_OPTION = 5,
    SANE_NET_GET_PARAMETERS = 6,
    SANE_NET_START = 7,
    SANE_NET_CANCEL = 8,
    SANE_NET_AUTHORIZE = 9,
    SANE_NET_EXIT = 10,
};

enum Status : Word {
    SANE_STATUS_GOOD = 0,
    SANE_STATUS_UNSUPPORTED = 1,
    SANE_STATUS_CANCELLED = 2,
    SANE_STATUS_DEVICE_BUSY = 3,
    SANE_STATUS_INVAL = 4,
    SANE_STATUS_EOF = 5,
    SANE_STATUS_JAMMED = 6,
    SANE_STATUS_NO_DOCS = 7,
    SANE_STATUS_COVER_OPEN = 8,
    SANE_STATUS_IO_ERROR = 9,
    SANE_STATUS_NO_MEM = 10,
    SANE_STATUS_ACCESS_DENIED = 11,
};

enum ValueType : Word {
    SANE_TYPE_BOOL = 0,
    SANE_TYPE_INT = 1,
    SANE_TYPE_FIXED = 2,
    SANE_TYPE_STRING = 3,
    SANE_TYPE_BUTTON = 4,
    SANE_TYPE_GROUP = 5,
};

enum Unit : Word {
    SANE_UNIT_NONE = 0,
    SANE_UNIT_PIXEL = 1,
    SANE_UNIT_BIT = 2,
    SANE_UNIT_MM = 3,
    SANE_UNIT_DPI = 4,
    SANE_UNIT_PERCENT = 5,
    SANE_UNIT_MICROSECOND = 6,
};

enum Capability : Word {
    SANE_CAP_SOFT_SELECT = 1,
    SANE_CAP_HARD_SELECT = 2,
    SANE_CAP_SOFT_DETECT = 4,
    SANE_CAP_EMULATED = 8,
    SANE_CAP_AUTOMATIC = 16,
    SANE_CAP_INACTIVE = 32,
    SANE_CAP_ADVANCED = 64,
};

enum ConstraintType : Word {
    SANE_CONSTRAINT_NONE = 0,
    SANE_CONSTRAINT_RANGE = 1,
    SANE_CONSTRAINT_WORD_LIST = 2,
    SANE_CONSTRAINT_STRING_LIST = 3,
};

enum Action : Word {
    SANE_ACTION_GET_VALUE = 0,
    SANE_ACTION_SET_VALUE = 1,
    SANE_ACTION_SET_AUTO = 2,
};

enum Info : Word {
    SANE_INFO_INEXACT = 1,
    SANE_INFO_RELOAD_OPTIONS = 2,
    SANE_INFO_RELOAD_PARAMS = 4,
};

enum Frame : Word {
    SANE_FRAME_GRAY = 0,
    SANE_FRAME_RGB = 1,
    SANE_FRAME_RED = 2,
    SANE_FRAME_GREEN = 3,
    SANE_FRAME_BLUE = 4,
};

// Version 1.0.0, the one this client speaks; a daemon must answer with major version 1.
inline constexpr Word kProtocolVersion = 16777216;
// The record length that ends a frame on the data connection.
inline constexpr Word kEndOfFrame = -1;

// Bounds on what a daemon may send. They are far above anything a real backend produces and
// keep a faulty or hostile daemon from making this process allocate without limit; a larger or
// negative value is a protocol error.
inline constexpr Word kMaxStringLength = 65536;     // bytes of one string, NUL included
inline constexpr Word kMaxDevices = 1024;           // elements of the device array
inline constexpr Word kMaxDescriptors = 4096;       // elements of the descriptor array
inline constexpr Word kMaxListEntries = 65536;      // entries of a word list or string list
inline constexpr Word kMaxValueSize = 1 << 20;      // bytes of one option value (size, count)
inline constexpr Word kMaxRecordLength = 16 << 20;  // bytes of one image data record
// Bytes the decoded values of one reply may take in memory together; the limits per item above
// still multiply to gigabytes, too much for a 32-bit host process.
inline constexpr std::size_t kMaxReplyBytes = std::size_t{8} << 20;

// Fixed-point numbers carry 16 fraction bits; conversions truncate toward zero.
inline Word toFixedWord(double value) {
    return static_cast<Word>(value * 65536.0);
}
inline double fromFixedWord(Word word) {
    return word / 65536.0;
}
// Integer option values: truncation toward zero; back: exact.
inline Word toIntWord(double value) {
    return static_cast<Word>(value);
}

}  // namespace tarnwick
