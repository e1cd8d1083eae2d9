// ICAP_IMAGEFILEFORMAT, ICAP_COMPRESSION and ICAP_JPEGQUALITY: what files and compressed
// transfers are written as.
#pragma once

#include "twain/records.h"

namespace tarnwick {

class DataSource;

TW_UINT16 imageFileFormatCapability(DataSource& source, TW_UINT16 msg, TW_CAPABILITY& cap);
TW_UINT16 compressionCapability(DataSource& source, TW_UINT16 msg, TW_CAPABILITY& cap);
TW_UINT16 jpegQualityCapability(DataSource& source, TW_UINT16 msg, TW_CAPABILITY& cap);
// After ICAP_XFERMECH changed: a compression the new mechanism does not offer goes back to
// the default.
void keepCompressionValid(DataSource& source);

}  // namespace tarnwick
