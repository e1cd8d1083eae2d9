#include "twain/page_sizes.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "twain/containers.h"
#include "twain/data_source.h"

namespace tarnwick {

namespace {

struct PageSize {
    TW_UINT16 code;
    double width, height;  // millimetres, portrait as the standard gives them
};

const PageSize kSizes[] = {
    {TWSS_A4, 210, 297},
    {TWSS_JISB5, 182, 257},
    {TWSS_USLETTER, 215.9, 279.4},
    {TWSS_USLEGAL, 215.9, 355.6},
    {TWSS_A5, 148, 210},
    {TWSS_ISOB4, 250, 353},
    {TWSS_ISOB6, 125, 176},
    {TWSS_USLEDGER, 279.4, 431.8},
    {TWSS_USEXECUTIVE, 184.15, 266.7},
    {TWSS_A3, 297, 420},
    {TWSS_ISOB3, 353, 500},
    {TWSS_A6, 105, 148},
    {TWSS_C4, 229, 324},
    {TWSS_C5, 162, 229},
    {TWSS_C6, 114, 162},
    {TWSS_4A0, 1682, 2378},
    {TWSS_2A0, 1189, 1682},
    {TWSS_A0, 841, 1189},
    {TWSS_A1, 594, 841},
    {TWSS_A2, 420, 594},
    {TWSS_A7, 74, 105},
    {TWSS_A8, 52, 74},
    {TWSS_A9, 37, 52},
    {TWSS_A10, 26, 37},
    {TWSS_ISOB0, 1000, 1414},
    {TWSS_ISOB1, 707, 1000},
    {TWSS_ISOB2, 500, 707},
    {TWSS_ISOB5, 176, 250},
    {TWSS_ISOB7, 88, 125},
    {TWSS_ISOB8, 62, 88},
    {TWSS_ISOB9, 44, 62},
    {TWSS_ISOB10, 31, 44},
    {TWSS_JISB0, 1030, 1456},
    {TWSS_JISB1, 728, 1030},
    {TWSS_JISB2, 515, 728},
    {TWSS_JISB3, 364, 515},
    {TWSS_JISB4, 257, 364},
    {TWSS_JISB6, 128, 182},
    {TWSS_JISB7, 91, 128},
    {TWSS_JISB8, 64, 91},
    {TWSS_JISB9, 45, 64},
    {TWSS_JISB10, 32, 45},
    {TWSS_C0, 917, 1297},
    {TWSS_C1, 648, 917},
    {TWSS_C2, 458, 648},
    {TWSS_C3, 324, 458},
    {TWSS_C7, 81, 114},
    {TWSS_C8, 57, 81},
    {TWSS_C9, 40, 57},
    {TWSS_C10, 28, 40},
    {TWSS_USSTATEMENT, 139.7, 215.9},
    {TWSS_BUSINESSCARD, 90, 55},
};

// Device geometry is quantised; a frame read back within this is the one that was set.
constexpr double kToleranceMm = 0.5;

double width(const ScanRectangle& r) {
    return r.right - r.left;
}
double height(const ScanRectangle& r) {
    return r.bottom - r.top;
}

std::vector<const PageSize*> fittingSizes(Scanner& scanner) {
    const ScanRectangle bed = scanner.wholeScanArea();
    std::vector<const PageSize*> sizes;
    for (const PageSize& size : kSizes)
        if (size.width <= width(bed) + kToleranceMm && size.height <= height(bed) + kToleranceMm)
            sizes.push_back(&size);
    return sizes;
}

bool sameFrame(const ScanRectangle& a, const ScanRectangle& b) {
    return std::fabs(a.left - b.left) <= kToleranceMm && std::fabs(a.top - b.top) <= kToleranceMm &&
           std::fabs(a.right - b.right) <= kToleranceMm &&
           std::fabs(a.bottom - b.bottom) <= kToleranceMm;
}

TW_UINT16 currentSize(DataSource& source) {
    if (source.pageSize == TWSS_NONE) return TWSS_NONE;
    return sameFrame(source.scanner->nextScanRectangle(), source.pageSizeFrame) ? source.pageSize
                                                                                : TWSS_NONE;
}

TW_UINT16 choose(DataSource& source, TW_UINT16 code) {
    Scanner& scanner = *source.scanner;
    source.pageSize = TWSS_NONE;
    if (code == TWSS_NONE) return TWRC_SUCCESS;  // the frame stays as it is
    const std::vector<const PageSize*> sizes = fittingSizes(scanner);
    const auto chosen = std::find_if(sizes.begin(), sizes.end(),
                                     [&](const PageSize* size) { return size->code == code; });
    if (chosen == sizes.end()) return source.setCondition(TWCC_BADVALUE, TWRC_FAILURE);
    const ScanRectangle bed = scanner.wholeScanArea();
    const bool exact = scanner.setSingleRegion(
        ScanRectangle{bed.left, bed.top, bed.left + (*chosen)->width, bed.top + (*chosen)->height});
    source.pageSize = code;
    source.pageSizeFrame = scanner.nextScanRectangle();
    return exact ? TWRC_SUCCESS : TWRC_CHECKSTATUS;
}

}  // namespace

bool servesPageSizes(DataSource& source) {
    if (!source.scanner) return false;
    const ScanRectangle bed = source.scanner->wholeScanArea();
    return width(bed) > 0 && height(bed) > 0;
}

TW_UINT16 supportedSizesCapability(DataSource& source, TW_UINT16 msg, TW_CAPABILITY& cap) {
    switch (msg) {
        case MSG_GET: {
            std::vector<TW_UINT32> codes{TWSS_NONE};
            for (const PageSize* size : fittingSizes(*source.scanner)) codes.push_back(size->code);
            const auto at = std::find(codes.begin(), codes.end(), currentSize(source));
            return makeEnumeration(
                source, cap, TWTY_UINT16,
                at == codes.end() ? 0 : static_cast<TW_UINT32>(at - codes.begin()), 0, codes);
        }
        case MSG_GETCURRENT:
            return makeOneValue(source, cap, TWTY_UINT16, currentSize(source));
        case MSG_GETDEFAULT:
            return makeOneValue(source, cap, TWTY_UINT16, TWSS_NONE);
        case MSG_SET: {
            const SentValue sent = readSentValue(source, cap, true);
            if (sent.kind == SentKind::none)
                return source.setCondition(TWCC_BADVALUE, TWRC_FAILURE);
            return choose(source, static_cast<TW_UINT16>(sent.item & 0xFFFF));
        }
        default:  // MSG_RESET
            source.pageSize = TWSS_NONE;
            source.scanner->setSingleRegion(source.scanner->wholeScanArea());
            return makeOneValue(source, cap, TWTY_UINT16, TWSS_NONE);
    }
}

}  // namespace tarnwick
