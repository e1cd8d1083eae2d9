// Fonts and text measurement.
//
// Without a native peer text is measured by fixed metrics, so that layouts computed from text
// sizes are the same on every machine: a character (a UTF-8 code point) is (size × 3 + 2) div 4
// pixels wide and a line is (size × 13 + 4) div 8 pixels high at 96 DPI, both times dpi / 96
// (before the division) at another DPI. For the default 8-point font at 96 that is 6 pixels per
// character and 13 per line, so a text of 50 characters measures 300 pixels; at 144, 9 and 20.
#pragma once

#include <string>

namespace ui {

struct Font {
    std::string face = "Tahoma";
    int size = 8;
    bool bold = false;
    // The DPI the font is made for: a control's font carries its window's.
    int dpi = 96;
    bool operator==(const Font&) const = default;
};

class TextMeasurer {
  public:
    virtual ~TextMeasurer() = default;
    virtual int width(const Font& font, const std::string& text) = 0;
    virtual int lineHeight(const Font& font) = 0;
};

// Width of a single-line text in pixels, by the current backend's measurer.
int textWidth(const Font& font, const std::string& text);
int lineHeight(const Font& font);

// The fixed metrics described above.
int fixedTextWidth(const Font& font, const std::string& text);
int fixedLineHeight(const Font& font);

}  // namespace ui
