// A page of the whole bed at 1200 dpi in colour (about 270 MB of pixels) by memory transfer, in a
// harness limited to 1 GB of address space: the source holds the page once, and the image is
// scanimage's.
#include <fstream>

#include "integration/acquire_support.h"

namespace tarnwick::testing {
namespace {

// The header's numbers, then the rest of the file compared in blocks.
bool samePnm(const std::string& a, const std::string& b, std::string& why) {
    std::ifstream in[2] = {std::ifstream(a, std::ios::binary), std::ifstream(b, std::ios::binary)};
    for (auto& file : in) {
        const auto number = [&file] {
            int v = -1;
            while (file >> std::ws && file.peek() == '#') file.ignore(1 << 20, '\n');
            file >> v;
            return v;
        };
        std::string magic;
        file >> magic;
        const int width = number(), height = number();
        number();  // the largest value
        file.get();
        why += magic + " " + std::to_string(width) + "x" + std::to_string(height) + " ";
    }
    if (why.substr(0, why.size() / 2) != why.substr(why.size() / 2)) return false;
    std::vector<char> block[2] = {std::vector<char>(1 << 20), std::vector<char>(1 << 20)};
    for (long long at = 0;; at += 1 << 20) {
        in[0].read(block[0].data(), 1 << 20);
        in[1].read(block[1].data(), 1 << 20);
        if (in[0].gcount() != in[1].gcount() || block[0] != block[1]) {
            why += "differ from byte " + std::to_string(at);
            return false;
        }
        if (in[0].gcount() < (1 << 20)) return true;
    }
}

TEST_F(AcquireTest, A1200DpiColourPageOfTheWholeBedFitsInOneGigabyte) {
    option("test-picture", "Color pattern");
#ifndef TARNWICK_SANITIZED  // the sanitizers' shadow memory alone is far larger
    limit = "ulimit -v 1048576; ";
#endif
    // 7.875 inches: 200 mm once the edges are truncated to whole millimetres.
    ASSERT_EQ(acquire("--pixel-type rgb --resolution 1200 --memory --buffer 4194304 "
                      "--frame 0,0,7.875,7.875"),
              0)
        << lines;
    EXPECT_NE(lines.find("image 1: 9448x9448, pixel type rgb"), std::string::npos) << lines;
    const std::string reference = folder.file("scanimage.pnm");
    ASSERT_EQ(scanimageInto("--mode Color --resolution 1200 -l 0 -t 0 -x 200 -y 200 "
                            "--test-picture 'Color pattern'",
                            reference, 120),
              0);
    std::string why;
    EXPECT_TRUE(samePnm(output_ + "/image-1.pnm", reference, why)) << why;
}

}  // namespace
}  // namespace tarnwick::testing
