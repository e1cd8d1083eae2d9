// The entry point opens the settings file on most calls: openSettingsFile plus one read must
// stay cheap. Every location variable points into a temporary folder.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "settings/settings_location.h"

namespace {

namespace fs = std::filesystem;

void openAndReadOneKey(benchmark::State& state, bool globalFile) {
    fs::path folder = fs::temp_directory_path() /
                      ("tarnwick-bench-" + std::to_string(::getpid()) + (globalFile ? "-g" : "-u"));
    for (const char* name : {"WINDIR", "ALLUSERSPROFILE", "APPDATA", "USERPROFILE", "HOME"}) {
        fs::create_directories(folder / name);
        setenv(name, (folder / name).c_str(), 1);
    }
    fs::create_directories(folder / "APPDATA" / "Tarnwick");
    fs::path file = globalFile ? folder / "APPDATA" / "Tarnwick" / "tarnwick.ini"
                               : folder / "USERPROFILE" / "tarnwick.ini";
    std::ofstream(file) << "[Connection]\nHost=scanner\nPort=6566\n[General]\nLanguage=de\n"
                           "TopMost=1\n[Zoveru]\nRemoveWordKey=Software\\Office\\Word\\Data\n";
    for (auto _ : state) {
        auto settings = tarnwick::openSettingsFile();
        std::string value = settings->readText(tarnwick::SettingKey::zoveruRemoveWordKey);
        benchmark::DoNotOptimize(value);
    }
    fs::remove_all(folder);
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
