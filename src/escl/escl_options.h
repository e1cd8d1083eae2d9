// A scanner's capabilities as the SANE-style options the rest of the source understands (mode,
// depth, resolution, source, the scan area in millimetres, the adjustments), and their values,
// which live here: an eSCL scanner takes them only with the job.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "escl/escl_capabilities.h"
#include "sane/procedures.h"

namespace tarnwick {

// What one page is asked with, in the scanner's terms.
struct EsclScanRequest {
    bool feeder = false, duplex = false;
    ColorMode colorMode = ColorMode::rgb24;
    int resolution = 300;
    int x = 0, y = 0, width = 0, height = 0;  // 1/300 inch
    std::string format;
    std::map<std::string, int> levels;  // "Brightness" and so on, where the scanner lists them
};

class EsclOptions {
  public:
    explicit EsclOptions(EsclCapabilities caps);

    // The descriptors for the current source (its modes, resolutions and area).
    std::vector<OptionDescriptor> descriptors() const;
    // Current values: numbers (fixed-point ones as millimetres) and texts.
    double number(Word index) const;
    std::string text(Word index) const;
    // Takes a value, kept within its constraint; returns the SANE info bits (INEXACT when it was
    // moved, RELOAD_OPTIONS when other options' constraints changed, RELOAD_PARAMS).
    Word setNumber(Word index, double value);
    // False for a text the list does not hold.
    bool setText(Word index, const std::string& value, Word& info);

    // The frame the current values give (before the image says otherwise).
    Parameters parameters() const;
    EsclScanRequest request() const;
    const EsclCapabilities& capabilities() const { return caps_; }

  private:
    const InputCaps& input() const;
    ColorMode colorMode() const;
    std::vector<std::string> modes() const;
    std::vector<Word> depths() const;
    void keepWithinConstraints();
    const OptionDescriptor* descriptor(Word index, std::vector<OptionDescriptor>& all) const;

    EsclCapabilities caps_;
    std::map<Word, double> numbers_;
    std::map<Word, std::string> texts_;
};

}  // namespace tarnwick
