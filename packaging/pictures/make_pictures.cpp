// Writes the pictures of the Windows resources from the code that defines them: the tool-button
// strips (24 bits, magenta for transparent) and the product icon from ui/tool_pictures.h, the
// 8-bit gamma button from options/gamma_button_picture.h. Built for and run on the build machine:
// make-pictures <output folder>.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "options/gamma_button_picture.h"
#include "ui/tool_pictures.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void put16(Bytes& b, unsigned v) {
    b.push_back(v & 255);
    b.push_back((v >> 8) & 255);
}
void put32(Bytes& b, std::uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

void infoHeader(Bytes& b, int width, int height, int bits, std::uint32_t imageBytes,
                std::uint32_t colours) {
    put32(b, 40);
    put32(b, static_cast<std::uint32_t>(width));
    put32(b, static_cast<std::uint32_t>(height));
    put16(b, 1);
    put16(b, static_cast<unsigned>(bits));
    put32(b, 0);  // BI_RGB
    put32(b, imageBytes);
    put32(b, 2835);
    put32(b, 2835);
    put32(b, colours);
    put32(b, 0);
}

Bytes bitmapFile(const Bytes& info, const Bytes& pixels) {
    Bytes b{'B', 'M'};
    put32(b, static_cast<std::uint32_t>(14 + info.size() + pixels.size()));
    put32(b, 0);
    put32(b, static_cast<std::uint32_t>(14 + info.size()));
    b.insert(b.end(), info.begin(), info.end());
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
}

Bytes bitmap24(const ui::Surface& s) {
    std::size_t row = (static_cast<std::size_t>(s.width()) * 3 + 3) / 4 * 4;
    Bytes pixels;
    for (int y = s.height() - 1; y >= 0; --y) {
        std::size_t start = pixels.size();
        for (int x = 0; x < s.width(); ++x) {
            ui::Color c = s.pixel(x, y);
            pixels.push_back(c & 255);
            pixels.push_back((c >> 8) & 255);
            pixels.push_back((c >> 16) & 255);
        }
        pixels.resize(start + row, 0);
    }
    Bytes info;
    infoHeader(info, s.width(), s.height(), 24, static_cast<std::uint32_t>(pixels.size()), 0);
    return bitmapFile(info, pixels);
}

Bytes gammaButton() {
    constexpr int side = tarnwick::kGammaButtonSide;
    std::size_t row = (static_cast<std::size_t>(side) + 3) / 4 * 4;
    Bytes pixels;
    for (int y = side - 1; y >= 0; --y) {
        std::size_t start = pixels.size();
        for (int x = 0; x < side; ++x) pixels.push_back(tarnwick::kGammaButtonPixels[y * side + x]);
        pixels.resize(start + row, 0);
    }
    Bytes info;
    infoHeader(info, side, side, 8, static_cast<std::uint32_t>(pixels.size()), 256);
    for (std::size_t i = 0; i < 256; ++i)
        put32(info,
              i < std::size(tarnwick::kGammaButtonPalette) ? tarnwick::kGammaButtonPalette[i] : 0);
    return bitmapFile(info, pixels);
}

ui::Surface strip(int side) {
    ui::Surface s(side * ui::kToolImageCount, side);
    for (int i = 0; i < ui::kToolImageCount; ++i) {
        ui::Surface one = ui::drawToolImage(static_cast<ui::ToolImage>(i), side);
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x) s.setPixel(i * side + x, y, one.pixel(x, y));
    }
    return s;
}

// One icon image: 32-bit colour with alpha, then the 1-bit mask (set where transparent).
Bytes iconImage(const ui::Surface& s) {
    Bytes colour, mask;
    std::size_t maskRow = (static_cast<std::size_t>(s.width()) + 31) / 32 * 4;
    for (int y = s.height() - 1; y >= 0; --y) {
        std::size_t start = mask.size();
        mask.resize(start + maskRow, 0);
        for (int x = 0; x < s.width(); ++x) {
            ui::Color c = s.pixel(x, y);
            bool clear = (c & 0xFFFFFFu) == (ui::kPictureTransparent & 0xFFFFFFu);
            put32(colour, clear ? 0 : (c | 0xFF000000u));
            if (clear) mask[start + static_cast<std::size_t>(x / 8)] |= 0x80 >> (x % 8);
        }
    }
    Bytes b;
    infoHeader(b, s.width(), s.height() * 2, 32,
               static_cast<std::uint32_t>(colour.size() + mask.size()), 0);
    b.insert(b.end(), colour.begin(), colour.end());
    b.insert(b.end(), mask.begin(), mask.end());
    return b;
}

Bytes iconFile(const std::vector<ui::Surface>& images) {
    Bytes b;
    put16(b, 0);
    put16(b, 1);
    put16(b, static_cast<unsigned>(images.size()));
    std::vector<Bytes> data;
    for (const auto& s : images) data.push_back(iconImage(s));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        b.push_back(static_cast<std::uint8_t>(images[i].width()));
        b.push_back(static_cast<std::uint8_t>(images[i].height()));
        b.push_back(0);
        b.push_back(0);
        put16(b, 1);
        put16(b, 32);
        put32(b, static_cast<std::uint32_t>(data[i].size()));
        put32(b, offset);
        offset += static_cast<std::uint32_t>(data[i].size());
    }
    for (const auto& d : data) b.insert(b.end(), d.begin(), d.end());
    return b;
}

bool write(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-pictures <output folder>\n");
        return 2;
    }
    std::string dir = argv[1];
    bool ok = write(dir + "/toolbar16.bmp", bitmap24(strip(16))) &&
              write(dir + "/toolbar32.bmp", bitmap24(strip(32))) &&
              write(dir + "/gammabutton.bmp", gammaButton()) &&
              write(dir + "/tarnwick.ico", iconFile({ui::drawToolImage(ui::kProductImage, 16),
                                                     ui::drawToolImage(ui::kProductImage, 32)}));
    if (!ok) std::fprintf(stderr, "make-pictures: cannot write into %s\n", dir.c_str());
    return ok ? 0 : 1;
}
