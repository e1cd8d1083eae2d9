#include "base/localisation/catalog_sources.h"

#include <fstream>

namespace tarnwick {
namespace {

// Larger than any module or catalog this system ships; a bound on what is read into memory.
constexpr std::uint64_t kModuleLimit = 256u << 20;
constexpr std::uint64_t kCatalogLimit = 64u << 20;

std::optional<std::string> readRange(const std::filesystem::path& path, std::uint64_t offset,
                                     std::uint64_t size) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    in.seekg(static_cast<std::streamoff>(offset));
    std::string bytes(size, '\0');
    if (!in.read(bytes.data(), static_cast<std::streamsize>(size))) return std::nullopt;
    return bytes;
}

std::filesystem::path diskPath(const std::filesystem::path& folder, std::string_view name) {
    std::filesystem::path path = folder;
    std::size_t start = 0;
    while (start <= name.size()) {
        const std::size_t end = std::min(name.find('\\', start), name.size());
        if (end > start) path /= std::string(name.substr(start, end - start));
        start = end + 1;
    }
    return path;
}

}  // namespace

std::optional<std::string> readFileBytes(const std::filesystem::path& path, std::uint64_t limit) {
    std::error_code error;
    const std::uint64_t size = std::filesystem::file_size(path, error);
    if (error || size > limit) return std::nullopt;
    return readRange(path, 0, size);
}

CatalogSources::CatalogSources(const std::filesystem::path& modulePath)
    : module_(modulePath), folder_(modulePath.parent_path()) {
    if (modulePath.empty()) return;
    const auto bytes = readFileBytes(modulePath, kModuleLimit);
    if (!bytes) return;
    if (auto table = readCatalogTable(*bytes)) appended_ = std::move(table->files);
}

std::optional<std::string> CatalogSources::readAppended(std::string_view name) const {
    for (const EmbeddedFile& file : appended_) {
        if (!sameName(file.name, name)) continue;
        if (file.size > kCatalogLimit) return std::nullopt;
        return readRange(module_, file.offset, file.size);
    }
    return std::nullopt;
}

std::optional<std::string> CatalogSources::readBeside(std::string_view name) const {
    if (folder_.empty()) return std::nullopt;
    return readFileBytes(diskPath(folder_, name), kCatalogLimit);
}

}  // namespace tarnwick
