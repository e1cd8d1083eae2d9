// Runs the harness tarnwick-scan against the built module and a private saned, and scanimage
// against the same test backend, and reads the PNM images both write.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/saned_fixture.h"
#include "support/settings_folders.h"

namespace tarnwick::testing {

// An image file as channel values: one per pixel for black-and-white and grey, three for
// colour. Black-and-white reads as 0 and 255; 16-bit samples whole.
struct Pnm {
    int width = 0, height = 0, channels = 0;
    std::vector<int> values;
};

// `padding` pixels beyond the width end every row of the file's data (scanimage writes a
// device's padded rows as they come); they are dropped.
inline bool readPnm(const std::string& path, Pnm& image, int padding = 0) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    in >> magic;
    const auto number = [&in]() {
        int v = -1;
        while (in >> std::ws && in.peek() == '#') in.ignore(1 << 20, '\n');
        in >> v;
        return v;
    };
    image.width = number();
    image.height = number();
    const int maxval = magic == "P4" ? 1 : number();
    in.get();
    if (!in || image.width <= 0 || image.height <= 0) return false;
    image.channels = magic == "P6" ? 3 : 1;
    const std::size_t count = static_cast<std::size_t>(image.width) * image.height * image.channels;
    image.values.clear();
    image.values.reserve(count);
    if (magic == "P4") {
        const std::size_t rowBytes = (static_cast<std::size_t>(image.width) + 7) / 8;
        std::vector<unsigned char> row(rowBytes);
        for (int y = 0; y < image.height; ++y) {
            in.read(reinterpret_cast<char*>(row.data()), static_cast<std::streamsize>(rowBytes));
            for (int x = 0; x < image.width; ++x)
                image.values.push_back(row[x / 8] >> (7 - x % 8) & 1 ? 0 : 255);
        }
    } else {
        const std::size_t bytes = maxval > 255 ? 2 : 1;
        const std::size_t row = static_cast<std::size_t>(image.width) * image.channels;
        const std::size_t stride =
            (static_cast<std::size_t>(image.width) + padding) * image.channels;
        std::vector<unsigned char> raw(stride * image.height * bytes);
        in.read(reinterpret_cast<char*>(raw.data()),
                static_cast<std::streamsize>((image.height - 1) * stride * bytes + row * bytes));
        for (int y = 0; y < image.height; ++y)
            for (std::size_t i = 0; i < row; ++i)
                image.values.push_back(bytes == 2 ? raw[(y * stride + i) * 2] << 8 |
                                                        raw[(y * stride + i) * 2 + 1]
                                                  : raw[y * stride + i]);
    }
    return static_cast<bool>(in);
}

// 16-bit samples as the 8 bits a native transfer delivers: their most significant byte.
inline Pnm highBytes(Pnm image) {
    for (int& v : image.values) v >>= 8;
    return image;
}

// Runs a shell command whose output goes to `log`; that output into `lines`, and its status.
inline int runLogged(const std::string& command, const std::string& log, std::string& lines) {
    const int status = std::system(command.c_str());
    std::ifstream in(log);
    std::stringstream text;
    text << in.rdbuf();
    lines = text.str();
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The harness's acquire command into the folder `output`, its output going to `log`.
inline std::string acquireCommand(const std::string& output, const std::string& arguments,
                                  const std::string& log) {
    return std::string(TARNWICK_BINARY_DIR) + "/tarnwick-scan acquire " + TARNWICK_MODULE_PATH +
           " --format pnm --out " + output + " " + arguments + " >" + log + " 2>&1";
}

// How many values of two images of one size differ.
inline std::size_t differingValues(const Pnm& a, const Pnm& b) {
    std::size_t differing = 0;
    for (std::size_t i = 0; i < a.values.size() && i < b.values.size(); ++i)
        if (a.values[i] != b.values[i]) ++differing;
    return differing;
}

inline void expectSame(const Pnm& twain, const Pnm& reference) {
    ASSERT_EQ(twain.width, reference.width);
    ASSERT_EQ(twain.height, reference.height);
    ASSERT_EQ(twain.channels, reference.channels);
    EXPECT_EQ(differingValues(twain, reference), 0u) << "of " << twain.values.size() << " values";
}

class AcquireTest : public ::testing::Test, protected testing_support::SettingsFolders {
  protected:
    void SetUp() override {
        ASSERT_TRUE(saned_.running()) << saned_.error();
        settings_ = "[Connection]\nHost=127.0.0.1\nPort=" + std::to_string(saned_.port()) +
                    "\nDevice=test:0\n[test:0]\n";
    }

    // A bed of that many millimetres square for this test's daemon and scanimage alike: the test
    // backend reads its configuration again for every session, the later line winning.
    void widenBed(int millimetres) {
        std::ofstream(saned_.configDir() + "/test.conf", std::ios::app)
            << "geometry_max " << millimetres << ".0\n";
    }

    // A value the window restores when it opens test:0, as a saved default of the option.
    void option(const std::string& name, const std::string& value) {
        settings_ += name + "=" + value + "\n";
    }

    // Shell commands run before the harness, in its shell (a ulimit).
    std::string limit;
    // Runs `tarnwick-scan acquire` with the arguments; the output lines and exit status.
    int acquire(const std::string& arguments, const std::string& out = "out") {
        std::ofstream(settingsPath()) << settings_;
        output_ = folder.file(out);
        const std::string log = folder.file("acquire.log");
        return runLogged(limit + acquireCommand(output_, arguments, log), log);
    }

    int runLogged(const std::string& command, const std::string& log) {
        return tarnwick::testing::runLogged(command, log, lines);
    }

    Pnm received(int k) {
        Pnm image;
        EXPECT_TRUE(readPnm(output_ + "/image-" + std::to_string(k) + ".pnm", image)) << lines;
        return image;
    }

    // scanimage on the same test backend, without the daemon, into `path`; its exit status.
    // On a busy machine a scan of the test backend read directly now and then never delivers
    // its first byte (seen twice beside the parallel tests): a stalled reference scan is taken
    // again, within bounds.
    int scanimageInto(const std::string& arguments, const std::string& path, int seconds = 60) {
        const std::string command = "SANE_CONFIG_DIR=" + saned_.configDir() + " timeout " +
                                    std::to_string(seconds) + " scanimage -d test --format=pnm " +
                                    arguments + " >" + path + " 2>" + folder.file("scanimage.log");
        constexpr int kStalled = 124;  // timeout's status for a command it stopped
        int status = 0;
        for (int attempt = 0; attempt < 3; ++attempt) {
            status = std::system(command.c_str());
            if (!WIFEXITED(status) || WEXITSTATUS(status) != kStalled) break;
        }
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // scanimage on the same test backend, without the daemon; `arguments` are its options.
    Pnm scanimage(const std::string& arguments, int padding = 0) {
        const std::string path = folder.file("scanimage.pnm");
        EXPECT_EQ(scanimageInto(arguments, path), 0) << arguments;
        Pnm image;
        EXPECT_TRUE(readPnm(path, image, padding)) << arguments;
        return image;
    }

    SanedFixture saned_;
    std::string settings_;
    std::string output_;
    std::string lines;
};

}  // namespace tarnwick::testing
