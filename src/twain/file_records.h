// TWAIN's records and constants of file, memory-file and compressed transfers.
#pragma once

#include "twain/records.h"

#pragma pack(push, 2)

struct TW_SETUPFILEXFER {
    char FileName[256];  // TW_STR255, NUL-terminated
    TW_UINT16 Format;
    TW_INT16 VRefNum;
};

struct TW_JPEGCOMPRESSION {
    TW_UINT16 ColorSpace;
    TW_UINT32 SubSampling;
    TW_UINT16 NumComponents;
    TW_UINT16 RestartFrequency;
    TW_UINT16 QuantMap[4];
    TW_MEMORY QuantTable[4];
    TW_UINT16 HuffmanMap[4];
    TW_MEMORY HuffmanDC[2];
    TW_MEMORY HuffmanAC[2];
};

#pragma pack(pop)

static_assert(sizeof(TW_SETUPFILEXFER) == 260);
static_assert(sizeof(TW_JPEGCOMPRESSION) == 122 + 8 * kPointerGrowth);

constexpr TW_UINT16 DAT_IMAGEMEMFILEXFER = 0x0402;
constexpr TW_UINT16 TWSX_MEMFILE = 4;
constexpr TW_UINT16 ICAP_IMAGEFILEFORMAT = 0x110c;
constexpr TW_UINT16 ICAP_JPEGQUALITY = 0x1153;
constexpr TW_UINT16 TWCC_FILEWRITEERROR = 22;

constexpr TW_UINT16 TWFF_TIFF = 0;
constexpr TW_UINT16 TWFF_BMP = 2;
constexpr TW_UINT16 TWFF_JFIF = 4;
constexpr TW_UINT16 TWFF_TIFFMULTI = 6;
constexpr TW_UINT16 TWFF_PNG = 7;
constexpr TW_UINT16 TWFF_PDF = 10;

constexpr TW_UINT16 TWCP_GROUP4 = 5;
constexpr TW_UINT16 TWCP_JPEG = 6;
constexpr TW_UINT16 TWCP_LZW = 7;
constexpr TW_UINT16 TWCP_PNG = 9;

constexpr TW_INT16 TWJQ_LOW = -3;
constexpr TW_INT16 TWJQ_MEDIUM = -2;
constexpr TW_INT16 TWJQ_HIGH = -1;
