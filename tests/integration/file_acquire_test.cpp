// Files the source writes through the harness, read back by independent tools (ImageMagick,
// libtiff's tiffinfo, poppler) and compared with what scanimage writes for the same backend.
#include <sys/wait.h>

#include <filesystem>

#include "integration/acquire_support.h"

namespace tarnwick::testing {
namespace {

constexpr const char* kInch = "--frame 0,0,1,1";
constexpr const char* kInchArea = "-l 0 -t 0 -x 25.4 -y 25.4 --resolution 50";

class FileAcquireTest : public AcquireTest {
  protected:
    // The file as PNM by an independent reader: poppler for PDF (the page must render; its
    // image is taken out whole by pdfimages), ImageMagick's convert for the rest; page from 0.
    Pnm decoded(const std::string& file, const std::string& kind, int page = 0) {
        const std::string pnm = folder.file("decoded." + kind);
        const std::string number = std::to_string(page + 1);
        const std::string extracted = folder.file("page");
        std::string command;
        if (file.ends_with(".pdf"))
            command = "pdftoppm -r 50 -f " + number + " -l " + number + " " + file + " " +
                      extracted + " && pdfimages -f " + number + " -l " + number + " " + file +
                      " " + extracted + " && convert " + extracted + "-000.* " + kind + ":" + pnm;
        else
            command = "convert '" + file + "[" + std::to_string(page) + "]' " + kind + ":" + pnm;
        EXPECT_EQ(std::system((command + " 2>" + folder.file("decode.log")).c_str()), 0) << command;
        std::system(("rm -f " + extracted + "-*").c_str());
        Pnm image;
        EXPECT_TRUE(readPnm(pnm, image)) << command;
        return image;
    }

    std::string tool(const std::string& command) {
        return runLogged(command + " >" + folder.file("tool.log") + " 2>&1",
                         folder.file("tool.log")) == 0
                   ? lines
                   : "failed: " + lines;
    }

    // Equal values, or for lossy compression a mean difference of at most `tolerance`.
    static void expectClose(const Pnm& file, const Pnm& reference, double tolerance) {
        if (tolerance == 0) return expectSame(file, reference);
        ASSERT_EQ(file.width, reference.width);
        ASSERT_EQ(file.height, reference.height);
        ASSERT_EQ(file.channels, reference.channels);
        double sum = 0;
        for (std::size_t i = 0; i < file.values.size(); ++i)
            sum += std::abs(file.values[i] - reference.values[i]);
        EXPECT_LE(sum / static_cast<double>(file.values.size()), tolerance);
    }
};

// JPEG at the default quality (75): the mean difference of a sample from the scanned one, of
// 255, on the colour pattern's sharp edges at 50 dpi.
constexpr double kJpegTolerance = 10;

TEST_F(FileAcquireTest, EveryFormatAndCompressionDecodesToTheScannedPixels) {
    struct Case {
        const char* twain;
        const char* scanimage;
        const char* picture;
        const char* file;      // as the harness names it
        const char* kind;      // the PNM the reader writes
        const char* property;  // what tiffinfo, pdfinfo or identify must report
        double tolerance;
    };
    const Case cases[] = {
        {"--file bmp --pixel-type bw", "--mode Gray --depth 1", "Grid", "image-1.bmp", "pbm",
         "49x49", 0},
        {"--file bmp --pixel-type rgb", "--mode Color", "Color pattern", "image-1.bmp", "ppm",
         "49x49", 0},
        {"--file tiff --pixel-type rgb", "--mode Color", "Color pattern", "image-1.tif", "ppm",
         "Compression Scheme: None", 0},
        {"--file tiff --compression lzw --pixel-type gray", "--mode Gray", "Color pattern",
         "image-1.tif", "pgm", "Compression Scheme: LZW", 0},
        {"--file tiff --compression group4 --pixel-type bw", "--mode Gray --depth 1", "Grid",
         "image-1.tif", "pbm", "Compression Scheme: CCITT Group 4", 0},
        {"--file tiff --compression jpeg --pixel-type rgb", "--mode Color", "Color pattern",
         "image-1.tif", "ppm", "Compression Scheme: JPEG", kJpegTolerance},
        {"--file tiff --pixel-type gray --bit-depth 16", "--mode Gray --depth 16", "Color pattern",
         "image-1.tif", "pgm", "Bits/Sample: 16", 0},
        {"--file png --pixel-type gray", "--mode Gray", "Color pattern", "image-1.png", "pgm",
         "PNG 49x49", 0},
        {"--file png --compression none --pixel-type rgb --bit-depth 48", "--mode Color --depth 16",
         "Color pattern", "image-1.png", "ppm", "16-bit", 0},
        {"--file jfif --pixel-type rgb", "--mode Color", "Color pattern", "image-1.jpg", "ppm",
         "JPEG 49x49", kJpegTolerance},
        {"--file pdf --pixel-type rgb", "--mode Color", "Color pattern", "images.pdf", "ppm",
         "Pages:           1", 0},
        {"--file pdf --compression group4 --pixel-type bw", "--mode Gray --depth 1", "Grid",
         "images.pdf", "pbm", "Pages:           1", 0},
        {"--file pdf --compression jpeg --pixel-type gray", "--mode Gray", "Color pattern",
         "images.pdf", "pgm", "Pages:           1", kJpegTolerance},
        {"--memfile --file tiff --compression lzw --pixel-type rgb", "--mode Color",
         "Color pattern", "image-1.tif", "ppm", "Compression Scheme: LZW", 0},
        {"--memfile --file pdf --pixel-type gray", "--mode Gray", "Color pattern", "image-1.pdf",
         "pgm", "Pages:           1", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.twain);
        SetUp();
        option("test-picture", c.picture);
        ASSERT_EQ(acquire(std::string(c.twain) + " " + kInch, "files"), 0) << lines;
        const std::string file = folder.file("files") + "/" + c.file;
        const std::string name = c.file;
        const std::string report = name.ends_with(".pdf")   ? tool("pdfinfo " + file)
                                   : name.ends_with(".tif") ? tool("tiffinfo " + file)
                                                            : tool("identify " + file);
        EXPECT_NE(report.find(c.property), std::string::npos) << report;
        Pnm reference = scanimage(std::string(c.scanimage) + " --test-picture '" + c.picture +
                                  "' " + kInchArea);
        Pnm file_pixels = decoded(file, c.kind);
        expectClose(file_pixels, reference, c.tolerance);
        std::filesystem::remove_all(folder.file("files"));
    }
}

TEST_F(FileAcquireTest, JpegMemoryTransfersDecodeToTheScannedImage) {
    option("test-picture", "Color pattern");
    for (const char* mode : {"Gray", "Color"}) {
        SCOPED_TRACE(mode);
        const std::string type = std::string(mode) == "Gray" ? "gray" : "rgb";
        ASSERT_EQ(
            acquire("--memory --buffer 500 --compression jpeg --pixel-type " + type + " " + kInch),
            0)
            << lines;
        expectClose(received(1),
                    scanimage(std::string("--mode ") + mode + " --test-picture 'Color pattern' " +
                              kInchArea),
                    kJpegTolerance);
    }
}

TEST_F(FileAcquireTest, FiveFeederPagesMakeOneFileOfFivePages) {
    settings_ = "[ADF]\nSinglePage=0\n" + settings_;
    option("source", "Automatic Document Feeder");
    option("test-picture", "Color pattern");
    const Pnm reference =
        scanimage(std::string("--mode Gray --test-picture 'Color pattern' ") + kInchArea);
    for (const char* format : {"tiffmulti", "pdf"}) {
        SCOPED_TRACE(format);
        const std::string out = std::string("batch-") + format;
        ASSERT_EQ(
            acquire(std::string("--pixel-type gray --count 5 --file ") + format + " " + kInch, out),
            0)
            << lines;
        EXPECT_NE(lines.find("image 5:"), std::string::npos) << lines;
        const bool pdf = std::string(format) == "pdf";
        const std::string file = folder.file(out) + (pdf ? "/images.pdf" : "/images.tif");
        if (pdf) {
            EXPECT_NE(tool("pdfinfo " + file).find("Pages:           5"), std::string::npos);
        } else {
            const std::string pages = tool("identify " + file);
            EXPECT_NE(pages.find("[4]"), std::string::npos) << pages;
            EXPECT_EQ(pages.find("[5]"), std::string::npos) << pages;
        }
        expectClose(decoded(file, "pgm", 4), reference, 0);
        // Only the finished file is in the folder: no temporary one beside it.
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.file(out)),
                                std::filesystem::directory_iterator()),
                  1);
    }
}

TEST_F(FileAcquireTest, AFileThatCannotBeWrittenFailsAndLeavesNothing) {
    option("test-picture", "Color pattern");
    const std::string missing = folder.file("no-such-folder") + "/page.tif";
    EXPECT_EQ(
        acquire(std::string("--file tiff --pixel-type rgb --file-name ") + missing + " " + kInch),
        1);
    EXPECT_NE(lines.find("DAT_IMAGEFILEXFER / MSG_GET: TWRC_FAILURE, TWCC_FILEWRITEERROR"),
              std::string::npos)
        << lines;
    EXPECT_FALSE(std::filesystem::exists(folder.file("no-such-folder")));

    // A disk that fills up: a tmpfs of 16 KiB, mounted where no other process sees it.
    const std::string disk = folder.file("disk");
    std::filesystem::create_directories(disk);
    if (std::system("unshare -m true 2>/dev/null") != 0)
        GTEST_SKIP() << "no private mount namespace here (unshare -m needs root)";
    std::ofstream(settingsPath()) << settings_;
    const std::string log = folder.file("full.log");
    const std::string command =
        "unshare -m sh -c 'mount -t tmpfs -o size=16k tmpfs " + disk + " && " +
        TARNWICK_BINARY_DIR + "/tarnwick-scan acquire " + TARNWICK_MODULE_PATH +
        " --pixel-type rgb --file tiff --file-name " + disk + "/page.tif " + kInch +
        " --resolution 150; echo status $?; ls -A " + disk + "' >" + log + " 2>&1";
    runLogged(command, log);
    EXPECT_NE(lines.find("TWRC_FAILURE, TWCC_FILEWRITEERROR"), std::string::npos) << lines;
    EXPECT_NE(lines.find("status 1"), std::string::npos) << lines;
    // The listing of the disk after the run is empty: the status line is the last.
    EXPECT_TRUE(lines.ends_with("status 1\n")) << lines;
}

}  // namespace
}  // namespace tarnwick::testing
