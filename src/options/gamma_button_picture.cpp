#include "options/gamma_button_picture.h"

#include <algorithm>
#include <map>

#include "ui/canvas.h"

namespace tarnwick {

std::shared_ptr<const ui::Surface> gammaButtonPicture(int side) {
    static std::map<int, std::shared_ptr<const ui::Surface>> pictures;
    side = std::clamp(side, 1, kGammaButtonSide * 8);
    std::shared_ptr<const ui::Surface>& picture = pictures[side];
    if (picture) return picture;
    auto surface = std::make_shared<ui::Surface>(side, side);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const int u = x * kGammaButtonSide / side, v = y * kGammaButtonSide / side;
            const std::uint32_t rgb =
                kGammaButtonPalette[kGammaButtonPixels[v * kGammaButtonSide + u]];
            surface->setPixel(x, y, ui::rgb(rgb >> 16, (rgb >> 8) & 255, rgb & 255));
        }
    picture = surface;
    return picture;
}

}  // namespace tarnwick
