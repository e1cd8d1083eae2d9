#include "platform/printers.h"

#include <windows.h>
#include <winspool.h>

#include <vector>

#include "platform/win32/wide_text.h"

namespace platform {
namespace {

// Local printers and printer connections, as the print dialogs list them.
std::vector<std::string> printerNames() {
    const DWORD flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
    DWORD needed = 0, count = 0;
    EnumPrintersW(flags, nullptr, 4, nullptr, 0, &needed, &count);
    if (needed == 0) return {};
    std::vector<BYTE> buffer(needed);
    if (!EnumPrintersW(flags, nullptr, 4, buffer.data(), needed, &needed, &count)) return {};
    // The reply is bounded by the buffer the system filled.
    const DWORD fit = static_cast<DWORD>(buffer.size() / sizeof(PRINTER_INFO_4W));
    if (count > fit) count = fit;
    const auto* info = reinterpret_cast<const PRINTER_INFO_4W*>(buffer.data());
    std::vector<std::string> names;
    for (DWORD i = 0; i < count; ++i)
        if (info[i].pPrinterName) names.push_back(fromWide(std::wstring(info[i].pPrinterName)));
    return names;
}

std::string defaultPrinterName() {
    DWORD size = 0;
    GetDefaultPrinterW(nullptr, &size);
    if (size == 0 || size > 32768) return {};
    std::wstring name(size, L'\0');
    if (!GetDefaultPrinterW(name.data(), &size)) return {};
    name.resize(wcsnlen(name.c_str(), name.size()));
    return fromWide(name);
}

}  // namespace

PrinterList installedPrinters() {
    PrinterList list;
    list.names = printerNames();
    const std::string standard = defaultPrinterName();
    for (std::size_t i = 0; i < list.names.size() && !standard.empty(); ++i)
        if (list.names[i] == standard) {
            list.defaultIndex = static_cast<int>(i);
            break;
        }
    return list;
}

}  // namespace platform
