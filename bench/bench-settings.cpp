// The entry point opens the settings file on most calls: openSettingsFile plus one read must
// stay cheap. Every location variable points into a temporary folder (the tests' settings
// folders).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include "settings/settings_location.h"
#include "support/settings_folders.h"

namespace {

namespace fs = std::filesystem;

void openAndReadOneKey(benchmark::State& state, bool globalFile) {
    const testing_support::SettingsFolders folders;
    const fs::path global = folders.folder.path() / "APPDATA" / "Tarnwick";
    fs::create_directories(global);
    const fs::path file = globalFile ? global / "tarnwick.ini" : fs::path(folders.settingsPath());
    std::ofstream(file) << "[Connection]\nHost=scanner\nPort=6566\n[General]\nLanguage=de\n"
                           "TopMost=1\n[Zoveru]\nRemoveWordKey=Software\\Office\\Word\\Data\n";
    for (auto _ : state) {
        auto settings = tarnwick::openSettingsFile();
        std::string value = settings->readText(tarnwick::SettingKey::zoveruRemoveWordKey);
        benchmark::DoNotOptimize(value);
    }
}

// The last global candidate: four existence tests and the copy-mode read.
void BM_OpenGlobalFileAndReadOneKey(benchmark::State& state) {
    openAndReadOneKey(state, true);
}
// No global file: four failed tests, then the user file.
void BM_OpenUserFileAndReadOneKey(benchmark::State& state) {
    openAndReadOneKey(state, false);
}

BENCHMARK(BM_OpenGlobalFileAndReadOneKey);
BENCHMARK(BM_OpenUserFileAndReadOneKey);

}  // namespace

BENCHMARK_MAIN();
