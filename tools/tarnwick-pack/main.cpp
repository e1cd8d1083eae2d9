// tarnwick-pack MODULE FOLDER: appends every file below FOLDER to MODULE, named by its path
// relative to FOLDER ("locale\de\LC_MESSAGES\default.mo"), in name order, and points the module's
// anchor at their table. An older table is replaced.
// tarnwick-pack --list MODULE: prints the table of a packed module.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/localisation/catalog_pack.h"
#include "base/localisation/catalog_sources.h"
#include "base/localisation/catalog_table.h"

namespace fs = std::filesystem;
using namespace tarnwick;

namespace {

constexpr std::uint64_t kLimit = 1u << 30;

int fail(const std::string& message) {
    std::fprintf(stderr, "tarnwick-pack: %s\n", message.c_str());
    return 1;
}

std::string tableName(const fs::path& relative) {
    std::string name;
    for (const fs::path& part : relative) {
        if (!name.empty()) name += '\\';
        name += part.string();
    }
    return name;
}

int list(const fs::path& modulePath) {
    const auto module = readFileBytes(modulePath, kLimit);
    if (!module) return fail("cannot read " + modulePath.string());
    const auto table = readCatalogTable(*module);
    if (!table) return fail("no catalog anchor in " + modulePath.string());
    for (const EmbeddedFile& file : table->files)
        std::printf("%10llu %10llu %s\n", static_cast<unsigned long long>(file.offset),
                    static_cast<unsigned long long>(file.size), file.name.c_str());
    return 0;
}

int pack(const fs::path& modulePath, const fs::path& folder) {
    auto module = readFileBytes(modulePath, kLimit);
    if (!module) return fail("cannot read " + modulePath.string());
    std::vector<CatalogFile> files;
    std::error_code error;
    for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        if (!it->is_regular_file()) continue;
        auto bytes = readFileBytes(it->path(), kLimit);
        if (!bytes) return fail("cannot read " + it->path().string());
        files.push_back({tableName(it->path().lexically_relative(folder)), std::move(*bytes)});
    }
    if (error) return fail("cannot list " + folder.string() + ": " + error.message());
    std::sort(files.begin(), files.end(),
              [](const CatalogFile& a, const CatalogFile& b) { return a.name < b.name; });

    PackResult result = packCatalogs(std::move(*module), files);
    if (!result.error.empty()) return fail(modulePath.string() + ": " + result.error);

    // Written beside and renamed over, so a failed write never leaves half a module.
    const fs::path temporary = modulePath.string() + ".pack";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(result.module.data(), static_cast<std::streamsize>(result.module.size()));
        if (!out.flush()) return fail("cannot write " + temporary.string());
    }
    fs::permissions(temporary, fs::status(modulePath).permissions(), error);
    fs::rename(temporary, modulePath, error);
    if (error) return fail("cannot replace " + modulePath.string() + ": " + error.message());
    std::printf("tarnwick-pack: %zu catalogs appended to %s\n", files.size(),
                modulePath.string().c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--list") return list(argv[2]);
    if (argc == 3) return pack(argv[1], argv[2]);
    std::fprintf(stderr, "usage: tarnwick-pack MODULE FOLDER | tarnwick-pack --list MODULE\n");
    return 2;
}
