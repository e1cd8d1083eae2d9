// Catalogs and module files made by the localisation tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace tarnwick::testing {

// A folder of its own below the system's temporary folder, removed with the object.
class TempFolder {
  public:
    TempFolder() {
        std::random_device random;
        path_ = std::filesystem::temp_directory_path() /
                ("tarnwick-l10n-" + std::to_string(random()) + std::to_string(random()));
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

inline void writeFile(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The .mo file msgfmt makes of a .po text (entries only; a UTF-8 header is added).
inline std::string msgfmt(const std::string& entries) {
    TempFolder folder;
    const auto po = folder.path() / "test.po";
    const auto mo = folder.path() / "test.mo";
    writeFile(po,
              "msgid \"\"\nmsgstr \"\"\n"
              "\"Project-Id-Version: test\\n\"\n\"PO-Revision-Date: 2026-01-01 00:00+0000\\n\"\n"
              "\"Last-Translator: test\\n\"\n\"Language-Team: test\\n\"\n\"Language: de\\n\"\n"
              "\"MIME-Version: 1.0\\n\"\n\"Content-Type: text/plain; charset=UTF-8\\n\"\n"
              "\"Content-Transfer-Encoding: 8bit\\n\"\n\"Plural-Forms: nplurals=2; plural=(n != "
              "1);\\n\"\n\n" +
                  entries);
    const std::string command = "msgfmt --check -o '" + mo.string() + "' '" + po.string() + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return readFile(mo);
}

// A catalog laid out by hand, in either byte order; entries are written in the given order.
inline std::string moBytes(const std::vector<std::pair<std::string, std::string>>& entries,
                           bool bigEndian = false, std::uint32_t revision = 0) {
    std::string out;
    auto word = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            const int shift = bigEndian ? 24 - 8 * i : 8 * i;
            out.push_back(static_cast<char>(v >> shift & 0xff));
        }
    };
    const auto count = static_cast<std::uint32_t>(entries.size());
    const std::uint32_t originalTable = 28, translationTable = originalTable + 8 * count;
    const std::uint32_t strings = translationTable + 8 * count;
    word(0x950412de), word(revision), word(count), word(originalTable), word(translationTable),
        word(0), word(0);
    std::string pool;
    std::vector<std::uint32_t> table;
    for (bool originals : {true, false}) {
        for (const auto& entry : entries) {
            const std::string& text = originals ? entry.first : entry.second;
            table.push_back(static_cast<std::uint32_t>(text.size()));
            table.push_back(strings + static_cast<std::uint32_t>(pool.size()));
            pool += text;
            pool.push_back('\0');
        }
    }
    for (std::uint32_t v : table) word(v);
    return out + pool;
}

}  // namespace tarnwick::testing
