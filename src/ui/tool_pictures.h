// The product's tool-button images, drawn by code in two sizes. The Windows resources are made
// from these drawings at build time, so every backend shows the same pictures.
#pragma once

#include "ui/canvas.h"

namespace ui {

// Tool-button images, in the order of their image indices. The gamma editor's curve tools come
// last; its tool bar counts its indices from Spline (ImageSet::CurveTools).
enum class ToolImage {
    Scan,
    Preview,
    Regions,
    Zoom,
    Settings,
    About,
    Web,
    Mail,
    Evernote,
    Print,
    Spline,
    Straight,
    Segments,
    Gamma
};
inline constexpr int kToolImageCount = 14;
// The product's icon (the module's icon resource, the About box) is the picture of scanning.
inline constexpr ToolImage kProductImage = ToolImage::Scan;

// The pictures a tool bar's image indices count in.
enum class ImageSet { Tools, CurveTools };

// The image a tool bar of the set shows for a button's image index.
constexpr int toolImageIndex(ImageSet set, int imageIndex) {
    return set == ImageSet::CurveTools ? static_cast<int>(ToolImage::Spline) + imageIndex
                                       : imageIndex;
}

// Pixels of this colour are transparent in tool-button images.
inline constexpr Color kPictureTransparent = rgb(255, 0, 255);

// One image, side × side pixels (16 or 32; other sides are drawn at the nearest scale).
Surface drawToolImage(ToolImage image, int side);

}  // namespace ui
