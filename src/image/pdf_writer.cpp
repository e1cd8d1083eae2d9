// PDF of one page per image, each page the image at its size at its resolution: DCT (JPEG),
// CCITT Group 4 or Flate streams, written as the rows come; the cross-reference table and the
// page tree follow the last page.
#include <cstdio>
#include <string>
#include <vector>

#include "image/codec_file_writers.h"
#include "image/page_rows.h"

namespace tarnwick {

namespace {

constexpr int kCatalog = 1, kPages = 2;

class PdfWriter : public ImageFileWriter {
  public:
    PdfWriter(std::unique_ptr<FileTarget> target, const FileRecipe& recipe)
        : target_(std::move(target)), recipe_(recipe) {
        offsets_.resize(3, 0);
        ok_ = text("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
        ok_ = ok_ && object(kCatalog, "<< /Type /Catalog /Pages 2 0 R >>");
    }

    bool addPage(const PageRows& page) override {
        if (!ok_) return false;
        const PageRows rows = prepared(page);
        const platform::RasterFormat& f = rows.format;
        const int image = next(), length = next(), content = next(), pageObject = next();
        ok_ = begin(image) && text(imageDictionary(f, length)) && text("stream\n");
        const std::uint64_t start = target_->written();
        ok_ = ok_ && encode(rows);
        const std::uint64_t size = target_->written() - start;
        ok_ = ok_ && text("\nendstream\nendobj\n");
        ok_ = ok_ && object(length, std::to_string(size));
        const double w = f.width * 72.0 / dpi(f.xDpi), h = f.height * 72.0 / dpi(f.yDpi);
        const std::string draw = "q " + number(w) + " 0 0 " + number(h) + " 0 0 cm /Im0 Do Q";
        ok_ = ok_ && object(content, "<< /Length " + std::to_string(draw.size()) + " >>\nstream\n" +
                                         draw + "\nendstream");
        ok_ = ok_ && object(pageObject, "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + number(w) +
                                            " " + number(h) + "] /Resources << /XObject << /Im0 " +
                                            std::to_string(image) + " 0 R >> >> /Contents " +
                                            std::to_string(content) + " 0 R >>");
        pageObjects_.push_back(pageObject);
        return ok_;
    }

    bool finish() override {
        if (!ok_ || pageObjects_.empty()) return false;
        std::string kids;
        for (int p : pageObjects_) kids += std::to_string(p) + " 0 R ";
        ok_ = object(kPages, "<< /Type /Pages /Kids [ " + kids + "] /Count " +
                                 std::to_string(pageObjects_.size()) + " >>");
        const std::uint64_t xref = target_->written();
        std::string table =
            "xref\n0 " + std::to_string(offsets_.size()) + "\n0000000000 65535 f \n";
        char entry[24];
        for (std::size_t i = 1; i < offsets_.size(); ++i) {
            std::snprintf(entry, sizeof entry, "%010llu 00000 n \n",
                          static_cast<unsigned long long>(offsets_[i]));
            table += entry;
        }
        table += "trailer\n<< /Size " + std::to_string(offsets_.size()) +
                 " /Root 1 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
        return ok_ && text(table) && target_->commit();
    }

  private:
    static double dpi(double value) { return value > 0 ? value : 72.0; }
    static std::string number(double value) {
        char out[32];
        std::snprintf(out, sizeof out, "%.2f", value);
        return out;
    }

    // JPEG takes 8-bit samples; PDF 1.4 streams hold at most 8 bits a sample.
    PageRows prepared(const PageRows& page) const {
        if (recipe_.compression == FileCompression::Jpeg) return asEightBit(page);
        if (recipe_.compression == FileCompression::Group4 && page.format.bitsPerSample == 1)
            return page;
        return atMostEightBit(page);
    }

    bool group4(const platform::RasterFormat& f) const {
        return recipe_.compression == FileCompression::Group4 && f.bitsPerSample == 1;
    }

    std::string imageDictionary(const platform::RasterFormat& f, int length) const {
        std::string d = "<< /Type /XObject /Subtype /Image /Width " + std::to_string(f.width) +
                        " /Height " + std::to_string(f.height) + " /ColorSpace " +
                        (f.channels == 3 ? "/DeviceRGB" : "/DeviceGray") + " /BitsPerComponent " +
                        std::to_string(f.bitsPerSample) + " /Length " + std::to_string(length) +
                        " 0 R";
        if (recipe_.compression == FileCompression::Jpeg) {
            d += " /Filter /DCTDecode";
        } else if (group4(f)) {
            // The fax code's white runs hold the image's 1 bits (0 is black in these rows).
            d += " /Filter /CCITTFaxDecode /DecodeParms << /K -1 /Columns " +
                 std::to_string(f.width) + " /Rows " + std::to_string(f.height) +
                 " /BlackIs1 true >>";
        } else {
            d += " /Filter /FlateDecode";
        }
        return d + " >>\n";
    }

    bool encode(const PageRows& rows) {
        platform::ByteSink& sink = target_->sink();
        std::unique_ptr<platform::RowEncoder> encoder;
        if (recipe_.compression == FileCompression::Jpeg)
            encoder = platform::encodeJpeg(sink, rows.format, recipe_.jpegQuality);
        else if (group4(rows.format))
            encoder = platform::encodeGroup4(sink, rows.format);
        else
            encoder = platform::encodeDeflate(sink, rows.format);
        if (!encoder) return false;
        std::vector<std::uint8_t> row(platform::packedRowBytes(rows.format));
        for (int y = 0; y < rows.format.height; ++y) {
            rows.row(y, row.data());
            if (!encoder->writeRow(row.data())) return false;
        }
        return encoder->finish();
    }

    int next() {
        offsets_.push_back(0);
        return static_cast<int>(offsets_.size() - 1);
    }
    bool begin(int number) {
        offsets_[static_cast<std::size_t>(number)] = target_->written();
        return text(std::to_string(number) + " 0 obj\n");
    }
    bool object(int number, const std::string& body) {
        return begin(number) && text(body + "\nendobj\n");
    }
    bool text(const std::string& s) {
        return target_->sink().write(reinterpret_cast<const std::uint8_t*>(s.data()), s.size());
    }

    std::unique_ptr<FileTarget> target_;
    FileRecipe recipe_;
    std::vector<std::uint64_t> offsets_;
    std::vector<int> pageObjects_;
    bool ok_ = false;
};

}  // namespace

std::unique_ptr<ImageFileWriter> pdfWriter(std::unique_ptr<FileTarget> target,
                                           const FileRecipe& recipe) {
    return std::make_unique<PdfWriter>(std::move(target), recipe);
}

}  // namespace tarnwick
