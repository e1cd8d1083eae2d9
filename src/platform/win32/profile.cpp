#include "platform/profile.h"

#include <windows.h>

#include "platform/file_attributes.h"
#include "platform/trim.h"
#include "platform/win32/wide_text.h"

namespace platform {
namespace {

// Lists of names and lines are asked for with a growing buffer; this bounds a hostile file.
constexpr DWORD kMaxListSize = 16 * 1024 * 1024;

// Splits a list of NUL-terminated texts that ends with an empty one.
std::vector<std::string> splitList(const std::wstring& list) {
    std::vector<std::string> items;
    std::size_t pos = 0;
    while (pos < list.size() && list[pos] != L'\0') {
        std::size_t end = list.find(L'\0', pos);
        if (end == std::wstring::npos) end = list.size();
        items.push_back(fromWide(list.data() + pos, end - pos));
        pos = end + 1;
    }
    return items;
}

// Calls `fetch(buffer, size)` until the list fits; the profile functions answer size - 2 when
// they had to cut it.
template <typename Fetch>
std::wstring fetchList(Fetch fetch) {
    for (DWORD size = 4096;; size *= 2) {
        std::wstring buffer(size, L'\0');
        DWORD length = fetch(buffer.data(), size);
        if (length + 2 < size || size >= kMaxListSize) {
            buffer.resize(length < size ? length : size);
            buffer.push_back(L'\0');
            return buffer;
        }
    }
}

// The attribute is tested first: a process with more rights than the user (Wine run as root)
// would otherwise write through it.
bool writeEntry(const std::string& path, const std::string& section, const wchar_t* key,
                const wchar_t* value) {
    if (fileIsReadOnly(path)) return false;
    return WritePrivateProfileStringW(toWide(section).c_str(), key, value, toWide(path).c_str()) !=
           0;
}

}  // namespace

std::string readProfileString(const std::string& path, const std::string& section,
                              const std::string& key, const std::string& fallback) {
    wchar_t buffer[kProfileValueLimit + 1];
    std::wstring wideFallback = toWide(fallback);
    DWORD length =
        GetPrivateProfileStringW(toWide(section).c_str(), toWide(key).c_str(), wideFallback.c_str(),
                                 buffer, kProfileValueLimit + 1, toWide(path).c_str());
    return fromWide(buffer, length);
}

bool writeProfileString(const std::string& path, const std::string& section, const std::string& key,
                        const std::string& value) {
    return writeEntry(path, section, toWide(key).c_str(), toWide(value).c_str());
}

bool deleteProfileKey(const std::string& path, const std::string& section, const std::string& key) {
    return writeEntry(path, section, toWide(key).c_str(), nullptr);
}

bool eraseProfileSection(const std::string& path, const std::string& section) {
    return writeEntry(path, section, nullptr, nullptr);
}

std::vector<std::string> profileSectionNames(const std::string& path) {
    std::wstring file = toWide(path);
    return splitList(fetchList([&](wchar_t* buffer, DWORD size) {
        return GetPrivateProfileSectionNamesW(buffer, size, file.c_str());
    }));
}

std::vector<std::string> profileKeyNames(const std::string& path, const std::string& section) {
    std::wstring file = toWide(path);
    std::wstring name = toWide(section);
    return splitList(fetchList([&](wchar_t* buffer, DWORD size) {
        return GetPrivateProfileStringW(name.c_str(), nullptr, L"", buffer, size, file.c_str());
    }));
}

std::vector<ProfileEntry> profileSectionEntries(const std::string& path,
                                                const std::string& section) {
    std::wstring file = toWide(path);
    std::wstring name = toWide(section);
    std::vector<ProfileEntry> entries;
    for (const std::string& line : splitList(fetchList([&](wchar_t*buffer, DWORD size) {
             return GetPrivateProfileSectionW(name.c_str(), buffer, size, file.c_str());
         }))) {
        // The section's lines come as written; only name=value lines are entries.
        std::size_t equals = line.find('=');
        if (equals == std::string::npos || line[0] == ';') continue;
        std::string key(trim(line.substr(0, equals)));
        if (!key.empty()) entries.emplace_back(key, trim(line.substr(equals + 1)));
    }
    return entries;
}

}  // namespace platform
