#include "sane/procedures.h"

namespace tarnwick {

namespace {

// The constraints the SANE standard allows for each type.
bool constraintAllowed(Word type, Word constraint) {
    switch (constraint) {
        case SANE_CONSTRAINT_NONE:
            return true;
        case SANE_CONSTRAINT_RANGE:
        case SANE_CONSTRAINT_WORD_LIST:
            return type == SANE_TYPE_INT || type == SANE_TYPE_FIXED;
        case SANE_CONSTRAINT_STRING_LIST:
            return type == SANE_TYPE_STRING;
        default:
            return false;
    }
}

// Reads the constraint data as laid out for its constraint type; false when the descriptor
// is not usable (a range sent as a null pointer).
bool readConstraint(WireReader& reader, OptionDescriptor& d) {
    switch (d.constraintType) {
        case SANE_CONSTRAINT_RANGE:
            if (reader.readWord() != 0) return false;
            d.range.min = reader.readWord();
            d.range.max = reader.readWord();
            d.range.quant = reader.readWord();
            return true;
        case SANE_CONSTRAINT_WORD_LIST: {
            // k words follow: the entry count (ignored), then k - 1 entries.
            Word k = reader.readCount(kMaxListEntries + 1, "word list length");
            if (!reader.charge(static_cast<std::size_t>(k) * sizeof(Word))) return true;
            if (k > 0) reader.readWord();
            for (Word i = 1; i < k && !reader.failed(); ++i)
                d.wordList.push_back(reader.readWord());
            return true;
        }
        case SANE_CONSTRAINT_STRING_LIST: {
            // k - 1 strings, then the terminating null string.
            Word k = reader.readCount(kMaxListEntries + 1, "string list length");
            for (Word i = 1; i < k && !reader.failed(); ++i)
                d.stringList.push_back(reader.readString());
            if (k > 0) reader.readString();
            return true;
        }
        default:
            return true;
    }
}

}  // namespace

OptionDescriptorsReply decodeOptionDescriptorsReply(WireReader& reader) {
    OptionDescriptorsReply reply;
    reply.count = reader.readCount(kMaxDescriptors, "descriptor count");
    for (Word i = 0; i < reply.count && !reader.failed(); ++i) {
        if (reader.readWord() != 0) continue;
        OptionDescriptor d;
        d.index = i;
        d.name = reader.readString();
        d.title = reader.readString();
        d.desc = reader.readString();
        d.type = reader.readWord();
        d.unit = reader.readWord();
        d.size = reader.readCount(kMaxValueSize, "option size");
        d.cap = reader.readWord();
        d.constraintType = reader.readWord();
        if (reader.failed()) break;
        // An unknown constraint type has no known layout: the rest cannot be read in step.
        if (d.constraintType < SANE_CONSTRAINT_NONE ||
            d.constraintType > SANE_CONSTRAINT_STRING_LIST) {
            reader.protocolError("constraint type", d.constraintType);
            break;
        }
        bool usable = readConstraint(reader, d);
        if (reader.failed()) break;
        // An unknown type or a constraint the type does not allow: consumed above, skipped here.
        if (!usable || d.type < SANE_TYPE_BOOL || d.type > SANE_TYPE_GROUP ||
            !constraintAllowed(d.type, d.constraintType))
            continue;
        reply.descriptors.push_back(std::move(d));
    }
    return reply;
}

}  // namespace tarnwick
