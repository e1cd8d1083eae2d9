// File and memory-file transfers on images of the scripted scanner: the file set-up, the
// compressions each format offers, and a failed file that leaves the source usable.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "support/scoped_environment.h"
#include "twain/file_records.h"
#include "unit/twain/container_reader.h"
#include "unit/twain/source_fixture.h"

namespace tarnwick::testing {
namespace {

using Values = std::vector<TW_UINT32>;

class FileTransfers : public SourceTest {
  protected:
    // State 6 with a grey image of 9 x 3 pixels taken by `mechanism`, `more` images after it.
    void scanned(TW_UINT16 mechanism, int more = 0, int depth = 8,
                 TW_UINT16 compression = TWCP_NONE) {
        FrameParameters p;
        p.format = kFrameGray;
        p.depth = depth;
        p.pixelsPerLine = 9;
        p.lines = 3;
        scanner.scanYields(p);
        scanner.scans.assign(1 + more, true);
        scanner.batch = 1 + more;
        ASSERT_NO_FATAL_FAILURE(bringTo(4));
        ASSERT_EQ(setCapability(ICAP_XFERMECH, mechanism), TWRC_SUCCESS);
        ASSERT_EQ(setCapability(ICAP_COMPRESSION, compression), TWRC_SUCCESS);
        ASSERT_EQ(enable(0), TWRC_SUCCESS);
        ASSERT_EQ(source->state(), 6);
    }
    TW_UINT16 setCapability(TW_UINT16 capability, TW_UINT32 value) {
        SentContainer sent(capability, value);
        return call(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &sent.cap);
    }
    Answer get(TW_UINT16 msg, TW_UINT16 capability) {
        TW_CAPABILITY cap{capability, 0, nullptr};
        EXPECT_EQ(call(DG_CONTROL, DAT_CAPABILITY, msg, &cap), TWRC_SUCCESS) << capability;
        return takeAnswer(cap);
    }
    TW_UINT16 setup(const std::string& name, TW_UINT16 format) {
        TW_SETUPFILEXFER s{};
        std::strncpy(s.FileName, name.c_str(), sizeof s.FileName - 1);
        s.Format = format;
        return call(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, &s);
    }
    TW_UINT16 endTransfer() {
        TW_PENDINGXFERS pending{};
        return call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending);
    }
    testing_support::TemporaryFolder folder;
};

TEST_F(FileTransfers, SetUpTakesNamesAndFormatsItWritesAndResetsToTheDefault) {
    ASSERT_NO_FATAL_FAILURE(bringTo(4));
    TW_SETUPFILEXFER s{};
    ASSERT_EQ(call(DG_CONTROL, DAT_SETUPFILEXFER, MSG_GET, &s), TWRC_SUCCESS);
    EXPECT_STREQ(s.FileName, "TWAIN.TMP");
    EXPECT_EQ(+s.Format, TWFF_BMP);

    EXPECT_EQ(setup(folder.file("a.tif"), TWFF_TIFF), TWRC_SUCCESS);
    EXPECT_EQ(get(MSG_GETCURRENT, ICAP_IMAGEFILEFORMAT).values, Values{TWFF_TIFF});
    // Formats it does not write, an empty name, a name without its end: refused, unchanged.
    for (TW_UINT16 format : {TW_UINT16{1}, TW_UINT16{11}, TW_UINT16{0xffff}}) {
        EXPECT_EQ(setup(folder.file("b"), format), TWRC_FAILURE) << format;
        EXPECT_EQ(readStatus(), TWCC_BADVALUE);
    }
    EXPECT_EQ(setup("", TWFF_PNG), TWRC_FAILURE);
    std::memset(s.FileName, 'x', sizeof s.FileName);
    s.Format = TWFF_PNG;
    EXPECT_EQ(call(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, &s), TWRC_FAILURE);
    ASSERT_EQ(call(DG_CONTROL, DAT_SETUPFILEXFER, MSG_GET, &s), TWRC_SUCCESS);
    EXPECT_EQ(std::string(s.FileName), folder.file("a.tif"));
    EXPECT_EQ(+s.Format, TWFF_TIFF);

    ASSERT_EQ(call(DG_CONTROL, DAT_SETUPFILEXFER, MSG_RESET, &s), TWRC_SUCCESS);
    EXPECT_STREQ(s.FileName, "TWAIN.TMP");
    EXPECT_EQ(+s.Format, TWFF_BMP);
}

TEST_F(FileTransfers, EachFormatOffersItsCompressionsAndMemoryQualityMarkersReadBack) {
    ASSERT_NO_FATAL_FAILURE(bringTo(4));
    EXPECT_EQ(get(MSG_GET, ICAP_COMPRESSION).values, Values{TWCP_NONE});  // native
    ASSERT_EQ(setCapability(ICAP_XFERMECH, TWSX_MEMORY), TWRC_SUCCESS);
    EXPECT_EQ(get(MSG_GET, ICAP_COMPRESSION).values, (Values{TWCP_NONE, TWCP_JPEG, TWCP_GROUP4}));
    ASSERT_EQ(setCapability(ICAP_XFERMECH, TWSX_FILE), TWRC_SUCCESS);
    struct Case {
        TW_UINT16 format;
        Values compressions;  // the default first
    };
    const Case cases[] = {
        {TWFF_BMP, {TWCP_NONE}},
        {TWFF_TIFF, {TWCP_NONE, TWCP_GROUP4, TWCP_LZW, TWCP_JPEG}},
        {TWFF_TIFFMULTI, {TWCP_NONE, TWCP_GROUP4, TWCP_LZW, TWCP_JPEG}},
        {TWFF_PNG, {TWCP_PNG, TWCP_NONE}},
        {TWFF_JFIF, {TWCP_JPEG}},
        {TWFF_PDF, {TWCP_NONE, TWCP_GROUP4, TWCP_JPEG}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        ASSERT_EQ(setCapability(ICAP_IMAGEFILEFORMAT, c.format), TWRC_SUCCESS);
        EXPECT_EQ(get(MSG_GET, ICAP_COMPRESSION).values, c.compressions);
        // The one set before stays where the format offers it, else the default.
        const TW_UINT32 current = get(MSG_GETCURRENT, ICAP_COMPRESSION).values.at(0);
        EXPECT_TRUE(current == c.compressions.front() ||
                    (current == TWCP_LZW && c.format == TWFF_TIFFMULTI) ||
                    (current == TWCP_JPEG && c.format == TWFF_PDF))
            << current;
        EXPECT_EQ(setCapability(ICAP_COMPRESSION, TWCP_LZW) == TWRC_SUCCESS,
                  std::find(c.compressions.begin(), c.compressions.end(), TWCP_LZW) !=
                      c.compressions.end());
    }
    // Back to native, the compression is none again.
    ASSERT_EQ(setCapability(ICAP_IMAGEFILEFORMAT, TWFF_JFIF), TWRC_SUCCESS);
    ASSERT_EQ(setCapability(ICAP_XFERMECH, TWSX_NATIVE), TWRC_SUCCESS);
    EXPECT_EQ(get(MSG_GETCURRENT, ICAP_COMPRESSION).values, Values{TWCP_NONE});

    for (auto [sent, read] : {std::pair{TWJQ_HIGH, 90},
                              {TWJQ_LOW, 50},
                              {TWJQ_MEDIUM, 75},
                              {TW_INT16{100}, 100},
                              {TW_INT16{0}, 1}}) {
        EXPECT_EQ(setCapability(ICAP_JPEGQUALITY, static_cast<TW_UINT16>(sent)), TWRC_SUCCESS);
        EXPECT_EQ(get(MSG_GETCURRENT, ICAP_JPEGQUALITY).values,
                  Values{static_cast<TW_UINT32>(read)});
    }
    for (TW_INT16 bad : {TW_INT16{101}, TW_INT16{-4}})
        EXPECT_EQ(setCapability(ICAP_JPEGQUALITY, static_cast<TW_UINT16>(bad)), TWRC_FAILURE);
}

TEST_F(FileTransfers, AFileThatCannotBeWrittenKeepsStateSixAndTheNextNameWorks) {
    ASSERT_NO_FATAL_FAILURE(scanned(TWSX_FILE, 1));
    ASSERT_EQ(setup(folder.file("missing/page.bmp"), TWFF_BMP), TWRC_SUCCESS);
    EXPECT_EQ(call(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, nullptr), TWRC_FAILURE);
    EXPECT_EQ(readStatus(), TWCC_FILEWRITEERROR);
    EXPECT_EQ(source->state(), 6);
    EXPECT_FALSE(std::filesystem::exists(folder.file("missing")));

    // An existing file is replaced.
    const std::string good = folder.file("page.bmp");
    std::ofstream(good) << "old";
    ASSERT_EQ(setup(good, TWFF_BMP), TWRC_SUCCESS);
    ASSERT_EQ(call(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, nullptr), TWRC_XFERDONE);
    EXPECT_EQ(source->state(), 7);
    EXPECT_EQ(std::filesystem::file_size(good), 14u + 40 + 1024 + 12 * 3);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(FileTransfers, PagesGoToOneFileUntilTheBatchEnds) {
    ASSERT_NO_FATAL_FAILURE(scanned(TWSX_FILE, 1));
    const std::string name = folder.file("batch.pdf");
    ASSERT_EQ(setup(name, TWFF_PDF), TWRC_SUCCESS);
    ASSERT_EQ(call(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, nullptr), TWRC_XFERDONE);
    ASSERT_EQ(endTransfer(), TWRC_SUCCESS);
    // The open file has no name yet.
    EXPECT_FALSE(std::filesystem::exists(name));
    ASSERT_EQ(source->state(), 6);
    ASSERT_EQ(setup(name, TWFF_PDF), TWRC_SUCCESS);
    ASSERT_EQ(call(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, nullptr), TWRC_XFERDONE);
    TW_PENDINGXFERS pending{};
    ASSERT_EQ(call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending), TWRC_SUCCESS);
    if (pending.Count != 0) call(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &pending);
    std::ifstream in(name, std::ios::binary);
    const std::string pdf((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(pdf.find("/Count 2"), std::string::npos);
    EXPECT_TRUE(pdf.ends_with("%%EOF\n"));
}

TEST_F(FileTransfers, AMemoryFileArrivesInPiecesThatMakeTheFile) {
    ASSERT_NO_FATAL_FAILURE(scanned(TWSX_MEMFILE));
    std::vector<std::uint8_t> buffer(100), file;
    TW_UINT16 rc = TWRC_SUCCESS;
    for (int pieces = 0; rc == TWRC_SUCCESS && pieces < 100; ++pieces) {
        TW_IMAGEMEMXFER xfer{};
        xfer.Memory = {0x9, static_cast<TW_UINT32>(buffer.size()), buffer.data()};
        rc = call(DG_IMAGE, DAT_IMAGEMEMFILEXFER, MSG_GET, &xfer);
        ASSERT_LE(+xfer.BytesWritten, buffer.size());
        file.insert(file.end(), buffer.begin(), buffer.begin() + xfer.BytesWritten);
        EXPECT_EQ(source->state(), 7);
    }
    EXPECT_EQ(rc, TWRC_XFERDONE);
    ASSERT_EQ(file.size(), 14u + 40 + 1024 + 12 * 3);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    TW_IMAGEMEMXFER empty{};
    empty.Memory = {0x9, 0, buffer.data()};
    EXPECT_EQ(call(DG_IMAGE, DAT_IMAGEMEMFILEXFER, MSG_GET, &empty), TWRC_FAILURE);
    EXPECT_EQ(readStatus(), TWCC_BADVALUE);
}

// Compressed memory buffers all describe the whole image; their bytes are the compressed data.
TEST_F(FileTransfers, CompressedMemoryBuffersTellTheWholeImageAndTheirBytes) {
    for (auto [depth, compression] : {std::pair{8, TWCP_JPEG}, {1, TWCP_GROUP4}}) {
        SCOPED_TRACE(compression);
        reset();
        ASSERT_NO_FATAL_FAILURE(scanned(TWSX_MEMORY, 0, depth, compression));
        TW_IMAGEINFO info{};
        ASSERT_EQ(call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info), TWRC_SUCCESS);
        EXPECT_EQ(+info.Compression, compression);
        std::vector<std::uint8_t> buffer(7), data;
        TW_UINT16 rc = TWRC_SUCCESS;
        for (int pieces = 0; rc == TWRC_SUCCESS && pieces < 1000; ++pieces) {
            TW_IMAGEMEMXFER xfer{};
            xfer.Memory = {0x9, static_cast<TW_UINT32>(buffer.size()), buffer.data()};
            rc = call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &xfer);
            EXPECT_EQ(+xfer.Compression, compression);
            EXPECT_EQ(+xfer.Columns, 9u);
            EXPECT_EQ(+xfer.Rows, 3u);
            data.insert(data.end(), buffer.begin(), buffer.begin() + xfer.BytesWritten);
        }
        EXPECT_EQ(rc, TWRC_XFERDONE);
        if (compression == TWCP_JPEG) {
            ASSERT_GE(data.size(), 4u);
            EXPECT_EQ(data[0], 0xff);
            EXPECT_EQ(data[1], 0xd8);
            EXPECT_EQ(data[data.size() - 2], 0xff);
            EXPECT_EQ(data.back(), 0xd9);  // one whole JFIF stream
        } else {
            EXPECT_FALSE(data.empty());
        }
    }
}

}  // namespace
}  // namespace tarnwick::testing
