// Image files of one or more pages in memory and on disk: each format's signature and structure,
// the pages a format holds, and which compressions go with which pages.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "image/image_file.h"
#include "support/scoped_environment.h"

namespace tarnwick {
namespace {

PageRows page(int channels, int bits) {
    PageRows p;
    p.format = {24, 10, channels, bits, 100, 100};
    const std::size_t bytes = platform::packedRowBytes(p.format);
    p.row = [bytes](int y, std::uint8_t* out) {
        for (std::size_t i = 0; i < bytes; ++i) out[i] = static_cast<std::uint8_t>(y * 16 + i);
    };
    return p;
}

std::vector<std::uint8_t> written(const FileRecipe& recipe, const PageRows& p, int pages = 1) {
    std::vector<std::uint8_t> bytes;
    auto writer = createMemoryWriter(bytes, recipe);
    EXPECT_TRUE(writer);
    for (int k = 0; k < pages; ++k) EXPECT_TRUE(writer->addPage(p)) << k;
    EXPECT_TRUE(writer->finish());
    return bytes;
}

std::string text(const std::vector<std::uint8_t>& bytes) {
    return {bytes.begin(), bytes.end()};
}

TEST(ImageFile, EachFormatStartsWithItsSignature) {
    struct Case {
        FileRecipe recipe;
        int channels, bits;
        const char* signature;
    };
    const Case cases[] = {
        {{FileFormat::Bmp, FileCompression::None}, 1, 1, "BM"},
        {{FileFormat::Bmp, FileCompression::None}, 3, 16, "BM"},
        {{FileFormat::Tiff, FileCompression::Group4}, 1, 1, "II*"},
        {{FileFormat::Tiff, FileCompression::Jpeg}, 1, 1, "II*"},
        {{FileFormat::Png, FileCompression::Deflate}, 3, 16, "\x89PNG"},
        {{FileFormat::Jpeg, FileCompression::Jpeg}, 1, 1, "\xff\xd8\xff"},
        {{FileFormat::Pdf, FileCompression::Group4}, 1, 1, "%PDF-1.4"},
        {{FileFormat::Pdf, FileCompression::Jpeg}, 3, 8, "%PDF-1.4"},
        {{FileFormat::Pdf, FileCompression::None}, 1, 16, "%PDF-1.4"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.signature);
        const std::string file = text(written(c.recipe, page(c.channels, c.bits)));
        EXPECT_EQ(file.rfind(c.signature, 0), 0u);
    }
    // A Windows bitmap of black and white: two colours, rows of 4 bytes, bottom-up.
    const std::vector<std::uint8_t> bmp = written({FileFormat::Bmp}, page(1, 1));
    EXPECT_EQ(bmp.size(), 14u + 40 + 8 + 4 * 10);
    EXPECT_EQ(bmp[28], 1);  // bits per pixel
}

// Every entry of the cross-reference table points at its object.
TEST(ImageFile, APdfOfThreePagesHasATableOfItsObjects) {
    const std::string pdf = text(written({FileFormat::Pdf, FileCompression::None}, page(3, 8), 3));
    EXPECT_NE(pdf.find("/Count 3"), std::string::npos);
    const std::size_t xref = pdf.rfind("xref\n0 ");
    ASSERT_NE(xref, std::string::npos);
    const int objects = std::stoi(pdf.substr(xref + 7));
    EXPECT_EQ(objects, 3 + 3 * 4);  // the free entry, catalog, pages; four objects a page
    const std::size_t entries = pdf.find('\n', xref + 5) + 1;  // 20 bytes each, from object 0
    for (int k = 1; k < objects; ++k) {
        const std::size_t offset = std::stoul(pdf.substr(entries + 20 * k, 10));
        const std::string header = std::to_string(k) + " 0 obj";
        EXPECT_EQ(pdf.compare(offset, header.size(), header), 0) << k;
    }
    EXPECT_EQ(pdf.substr(pdf.size() - 6), "%%EOF\n");
}

TEST(ImageFile, FormatsOfOnePageRefuseASecondAndNothingIsKeptOfAFailure) {
    for (FileFormat format : {FileFormat::Bmp, FileFormat::Png, FileFormat::Jpeg}) {
        std::vector<std::uint8_t> bytes;
        auto writer = createMemoryWriter(
            bytes,
            {format, format == FileFormat::Jpeg ? FileCompression::Jpeg : FileCompression::None});
        ASSERT_TRUE(writer->addPage(page(1, 8)));
        EXPECT_FALSE(writer->addPage(page(1, 8)));
    }
    testing_support::TemporaryFolder folder;
    EXPECT_FALSE(createFileWriter(folder.file("missing/a.tif"), {FileFormat::Tiff}));
    EXPECT_FALSE(createFileWriter("", {FileFormat::Bmp}));
    {
        auto writer = createFileWriter(folder.file("a.pdf"), {FileFormat::Pdf});
        ASSERT_TRUE(writer);
        ASSERT_TRUE(writer->addPage(page(1, 8)));
    }  // dropped before its end
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

TEST(ImageFile, CompressionsGoWithThePagesTheyFit) {
    struct Case {
        FileRecipe recipe;
        bool bw, colour;  // writes black and white pages, colour pages
    };
    const Case cases[] = {
        {{FileFormat::Bmp, FileCompression::None}, true, true},
        {{FileFormat::Bmp, FileCompression::Jpeg}, false, false},
        {{FileFormat::Tiff, FileCompression::Group4}, true, false},
        {{FileFormat::Tiff, FileCompression::Jpeg}, false, true},
        {{FileFormat::Tiff, FileCompression::Lzw}, true, true},
        {{FileFormat::Png, FileCompression::Lzw}, false, false},
        {{FileFormat::Jpeg, FileCompression::Jpeg}, true, true},
        {{FileFormat::Pdf, FileCompression::Group4}, true, false},
        {{FileFormat::Pdf, FileCompression::Lzw}, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.recipe.format) * 10 +
                     static_cast<int>(c.recipe.compression));
        EXPECT_EQ(canWrite(c.recipe, 1, 1), c.bw);
        EXPECT_EQ(canWrite(c.recipe, 3, 8), c.colour);
    }
}

}  // namespace
}  // namespace tarnwick
