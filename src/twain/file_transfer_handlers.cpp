// DAT_SETUPFILEXFER, DAT_IMAGEFILEXFER and DAT_IMAGEMEMFILEXFER.
#include "twain/file_transfer_handlers.h"

#include <algorithm>
#include <cstring>

#include "twain/data_source.h"
#include "twain/file_transfer.h"
#include "twain/image.h"
#include "twain/image_format.h"
#include "twain/scan_condition.h"

namespace tarnwick {

namespace {

const Image* imageToTransfer(DataSource& source) {
    const Image* image = source.scanner->getImage();
    return image && image->bitmap ? image : nullptr;
}

void putSetup(TW_SETUPFILEXFER& setup, const std::string& name, TW_UINT16 format) {
    std::memset(setup.FileName, 0, sizeof setup.FileName);
    std::memcpy(setup.FileName, name.data(), std::min(name.size(), sizeof setup.FileName - 1));
    setup.Format = format;
    setup.VRefNum = 0;
}

TW_UINT16 setSetup(DataSource& source, const TW_SETUPFILEXFER& setup) {
    // The name must end within its 256 bytes.
    const void* end = std::memchr(setup.FileName, 0, sizeof setup.FileName);
    if (!end || setup.FileName[0] == 0 || !writesFormat(setup.Format))
        return source.setCondition(TWCC_BADVALUE, TWRC_FAILURE);
    FileTransfers& files = source.files;
    const std::string name(setup.FileName, static_cast<const char*>(end));
    // Naming another file ends the one of several pages under way.
    if (name != files.name || setup.Format != files.format) files.closeFile();
    files.name = name;
    if (setup.Format != files.format) {
        files.format = setup.Format;
        const auto offered = compressionsFor(TWSX_FILE, files.format);
        if (std::find(offered.begin(), offered.end(), files.compression) == offered.end())
            files.compression = static_cast<TW_UINT16>(offered.front());
    }
    return TWRC_SUCCESS;
}

}  // namespace

TW_UINT16 handleSetupFileTransfer(DataSource& source, TW_UINT16 MSG, TW_MEMREF pData) {
    auto& setup = *static_cast<TW_SETUPFILEXFER*>(pData);
    FileTransfers& files = source.files;
    switch (MSG) {
        case MSG_GET:
            putSetup(setup, files.name, files.format);
            return TWRC_SUCCESS;
        case MSG_GETDEFAULT:
            putSetup(setup, FileTransfers::kDefaultName, TWFF_BMP);
            return TWRC_SUCCESS;
        case MSG_SET:
            return setSetup(source, setup);
        default: {  // MSG_RESET
            TW_SETUPFILEXFER defaults;
            putSetup(defaults, FileTransfers::kDefaultName, TWFF_BMP);
            setSetup(source, defaults);
            putSetup(setup, files.name, files.format);
            return TWRC_SUCCESS;
        }
    }
}

TW_UINT16 handleImageFileTransfer(DataSource& source, TW_UINT16, TW_MEMREF) {
    if (source.transferMechanism != TWSX_FILE)
        return source.setCondition(TWCC_SEQERROR, TWRC_FAILURE);
    const Image* image = imageToTransfer(source);
    if (!image) return answerWithoutImage(source);
    if (!source.files.writeImage(source, *image))
        return source.setCondition(TWCC_FILEWRITEERROR, TWRC_FAILURE);
    source.setState(7);
    return TWRC_XFERDONE;
}

TW_UINT16 handleImageMemoryFileTransfer(DataSource& source, TW_UINT16, TW_MEMREF pData) {
    auto& xfer = *static_cast<TW_IMAGEMEMXFER*>(pData);
    if (source.transferMechanism != TWSX_MEMFILE)
        return source.setCondition(TWCC_SEQERROR, TWRC_FAILURE);
    const Image* image = imageToTransfer(source);
    if (!image) return answerWithoutImage(source);
    if (xfer.Memory.Length == 0) return source.setCondition(TWCC_BADVALUE, TWRC_FAILURE);
    FileTransfers& files = source.files;
    if (source.state() == 6) {
        if (!files.encodeImage(source, *image))
            return source.setCondition(TWCC_LOWMEMORY, TWRC_FAILURE);
        source.setState(7);
    }
    const std::optional<std::size_t> n = files.sendMemoryFile(source, xfer.Memory);
    if (!n) return source.setCondition(TWCC_BADVALUE, TWRC_FAILURE);
    // File bytes have no rows: the image fields are left to the file's own header.
    xfer.Compression =
        compressionInEffect(source, describeImage(image->parameters, *image->bitmap).pixelType);
    xfer.BytesPerRow = xfer.Columns = xfer.Rows = TWON_DONTCARE32;
    xfer.XOffset = xfer.YOffset = TWON_DONTCARE32;
    xfer.BytesWritten = static_cast<TW_UINT32>(*n);
    return files.memoryFileSent == files.memoryFile.size() ? TWRC_XFERDONE : TWRC_SUCCESS;
}

}  // namespace tarnwick
