#include "twain/compression_capabilities.h"

#include <algorithm>
#include <iterator>

#include "twain/containers.h"
#include "twain/data_source.h"
#include "twain/file_transfer.h"

namespace tarnwick {

namespace {

const TW_UINT16 kFormats[] = {TWFF_BMP, TWFF_TIFF, TWFF_TIFFMULTI, TWFF_PNG, TWFF_JFIF, TWFF_PDF};

std::vector<TW_UINT32> formats() {
    std::vector<TW_UINT32> list;
    for (TW_UINT16 f : kFormats)
        if (writesFormat(f)) list.push_back(f);
    return list;
}

TW_UINT32 indexOf(const std::vector<TW_UINT32>& list, TW_UINT32 value) {
    const auto at = std::find(list.begin(), list.end(), value);
    return at == list.end() ? 0 : static_cast<TW_UINT32>(at - list.begin());
}

bool contains(const std::vector<TW_UINT32>& list, TW_UINT32 value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

TW_UINT16 badValue(DataSource& source) {
    return source.setCondition(TWCC_BADVALUE, TWRC_FAILURE);
}

// An enumeration of `list` (default first) with the current value; one value otherwise.
TW_UINT16 answer(DataSource& source, TW_UINT16 msg, TW_CAPABILITY& cap,
                 const std::vector<TW_UINT32>& list, TW_UINT32 current) {
    if (msg == MSG_GET)
        return makeEnumeration(source, cap, TWTY_UINT16, indexOf(list, current), 0, list);
    return makeOneValue(source, cap, TWTY_UINT16, msg == MSG_GETCURRENT ? current : list.front());
}

std::vector<TW_UINT32> currentCompressions(const DataSource& source) {
    return compressionsFor(source.transferMechanism, source.files.format);
}

// The quality JPEG markers stand for.
int qualityOf(TW_INT16 sent) {
    switch (sent) {
        case TWJQ_LOW:
            return 50;
        case TWJQ_MEDIUM:
            return FileTransfers::kDefaultQuality;
        case TWJQ_HIGH:
            return 90;
        default:
            return sent;
    }
}

}  // namespace

void keepCompressionValid(DataSource& source) {
    const auto offered = currentCompressions(source);
    if (!contains(offered, source.files.compression))
        source.files.compression = static_cast<TW_UINT16>(offered.front());
}

TW_UINT16 imageFileFormatCapability(DataSource& source, TW_UINT16 msg, TW_CAPABILITY& cap) {
    FileTransfers& files = source.files;
    if (msg == MSG_SET || msg == MSG_RESET) {
        TW_UINT16 format = TWFF_BMP;
        if (msg == MSG_SET) {
            const SentValue sent = readSentValue(source, cap, false);
            format = static_cast<TW_UINT16>(sent.item);
            if (sent.kind != SentKind::oneValue || !writesFormat(format)) return badValue(source);
        }
        if (format != files.format) files.closeFile();
        files.format = format;
        // The compression follows: the format's default where the old one does not apply.
        keepCompressionValid(source);
        if (msg == MSG_SET) return TWRC_SUCCESS;
    }
    const auto list = formats();
    if (msg == MSG_GET)
        return makeEnumeration(source, cap, TWTY_UINT16, indexOf(list, files.format), 0, list);
    return makeOneValue(source, cap, TWTY_UINT16, msg == MSG_GETDEFAULT ? TWFF_BMP : files.format);
}

TW_UINT16 compressionCapability(DataSource& source, TW_UINT16 msg, TW_CAPABILITY& cap) {
    const auto offered = currentCompressions(source);
    if (msg == MSG_SET) {
        const SentValue sent = readSentValue(source, cap, false);
        if (sent.kind != SentKind::oneValue || !contains(offered, sent.item))
            return badValue(source);
        source.files.compression = static_cast<TW_UINT16>(sent.item);
        return TWRC_SUCCESS;
    }
    if (msg == MSG_RESET) source.files.compression = static_cast<TW_UINT16>(offered.front());
    return answer(source, msg, cap, offered, source.files.compression);
}

// 0..100 as a range; the markers are taken by MSG_SET and read back as their numbers.
TW_UINT16 jpegQualityCapability(DataSource& source, TW_UINT16 msg, TW_CAPABILITY& cap) {
    FileTransfers& files = source.files;
    if (msg == MSG_SET) {
        const SentValue sent = readSentValue(source, cap, false);
        const int quality = qualityOf(static_cast<TW_INT16>(sent.item & 0xFFFF));
        if (sent.kind != SentKind::oneValue || quality < 0 || quality > 100)
            return badValue(source);
        // libjpeg's scale starts at 1.
        files.jpegQuality = std::max(quality, 1);
        return TWRC_SUCCESS;
    }
    if (msg == MSG_RESET) files.jpegQuality = FileTransfers::kDefaultQuality;
    const auto current = static_cast<TW_UINT32>(files.jpegQuality);
    if (msg == MSG_GET)
        return makeRange(source, cap, TWTY_INT16, 0, 100, 1, FileTransfers::kDefaultQuality,
                         current);
    return makeOneValue(source, cap, TWTY_INT16,
                        msg == MSG_GETDEFAULT ? FileTransfers::kDefaultQuality : current);
}

}  // namespace tarnwick
