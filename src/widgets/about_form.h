// The About box: the product's icon, name and version, ownership notice, links to the manual and
// the credits.
#pragma once

#include <functional>
#include <string>

#include "ui/button.h"
#include "ui/form.h"
#include "ui/paint_box.h"

namespace tarnwick {

// "v" and the version with two decimals and a point, whatever the locale: 1.37 → "v1.37".
std::string versionLabel(double version);

class TFAbout : public ui::Form {
  public:
    using Opener = std::function<bool(const std::string& address)>;
    // Links are opened through the opener; by default the platform shell's "open".
    explicit TFAbout(Opener open = {});

    // Translates the form's texts (the first time) or re-translates them.
    void FormCreate();

    ui::Label& LProduct;
    ui::Label& LVersion;
    ui::Label& LNotice;
    ui::Label& LManual;
    ui::Label& LManualLink;
    ui::Label& LCredit;
    ui::Label& LCreditLink;
    ui::Button& BOk;
    // The product's icon, in the column left of the labels.
    ui::PaintBox& IProduct;

    static constexpr const char* kManualAddress = "https://tarnwick.sourceforge.io/manual.html";
    static constexpr const char* kCreditAddress = "http://www.sane-project.org/";

  private:
    Opener open_;
};

}  // namespace tarnwick
