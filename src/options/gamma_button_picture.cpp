#include "options/gamma_button_picture.h"

#include "ui/canvas.h"

namespace tarnwick {

std::shared_ptr<const ui::Surface> gammaButtonPicture() {
    static const std::shared_ptr<const ui::Surface> picture = [] {
        auto surface = std::make_shared<ui::Surface>(kGammaButtonSide, kGammaButtonSide);
        for (int y = 0; y < kGammaButtonSide; ++y)
            for (int x = 0; x < kGammaButtonSide; ++x) {
                const std::uint32_t rgb =
                    kGammaButtonPalette[kGammaButtonPixels[y * kGammaButtonSide + x]];
                surface->setPixel(x, y, ui::rgb(rgb >> 16, (rgb >> 8) & 255, rgb & 255));
            }
        return surface;
    }();
    return picture;
}

}  // namespace tarnwick
