// The capabilities answered from the device's options: pixel type ("mode"), bit depth
// ("depth"), resolution and native resolution ("resolution"), the physical size (the bounds of
// "tl-x", "tl-y", "br-x", "br-y"), and the levels (brightness, contrast, threshold, gamma).
#pragma once

#include <optional>

#include "options/option_roles.h"
#include "twain/records.h"

namespace tarnwick {

class DataSource;
class Option;

// Each answers one DAT_CAPABILITY request (the capability is null for MSG_RESET) and reports
// failures through the source's condition code. Errors while reading or converting an option
// value answer TWCC_CAPUNSUPPORTED.
TW_UINT16 pixelTypeCapability(DataSource& source, const OptionRoles& roles, TW_UINT16 msg,
                              TW_CAPABILITY* capability);
TW_UINT16 bitDepthCapability(DataSource& source, const OptionRoles& roles, TW_UINT16 msg,
                             TW_CAPABILITY* capability);
// ICAP_XRESOLUTION on "resolution"; ICAP_YRESOLUTION on the device's own "y-resolution" where it
// has one, else on "resolution" too (a change of one axis is then a change of both).
TW_UINT16 resolutionCapability(DataSource& source, const OptionRoles& roles, TW_UINT16 msg,
                               TW_CAPABILITY* capability);
TW_UINT16 yResolutionCapability(DataSource& source, const OptionRoles& roles, TW_UINT16 msg,
                                TW_CAPABILITY* capability);
TW_UINT16 nativeResolutionCapability(DataSource& source, const OptionRoles& roles, TW_UINT16 msg,
                                     TW_CAPABILITY* capability);
// ICAP_PHYSICALWIDTH or ICAP_PHYSICALHEIGHT, by the capability's Cap.
TW_UINT16 physicalSizeCapability(DataSource& source, const OptionRoles& roles, TW_UINT16 msg,
                                 TW_CAPABILITY* capability);

// ICAP_BRIGHTNESS or ICAP_CONTRAST from its option: the option's range mapped onto TWAIN's
// -1000..1000, 0 its middle and the default. ICAP_THRESHOLD likewise onto 0..255, default 128;
// ICAP_GAMMA is the option's own value, default 2.2 (or the nearest bound).
TW_UINT16 levelCapability(DataSource& source, TW_UINT16 cap, Option* option, TW_UINT16 msg,
                          TW_CAPABILITY* capability);
// Whether the option can serve a level: a number with a range.
bool servesLevel(const Option* option);

// What the next image will be by the mode and depth in force, as the image information will
// tell it: the pixel type (TWPT_PALETTE for colour at 1 bit) and TWAIN's bits per pixel.
struct PixelFormat {
    TW_UINT16 pixelType;
    TW_UINT32 bitsPerPixel;
};
// Nothing when the mode is not a list or a value cannot be read. Asks nothing of the device.
std::optional<PixelFormat> pixelFormatInForce(const OptionRoles& roles, bool sixteenBits);

}  // namespace tarnwick
