// ICAP_PIXELTYPE and ICAP_BITDEPTH on the device's "mode" and "depth": TWAIN's bits per pixel
// for the current pixel type, mapped onto SANE's bits per sample. A grey mode at 1 bit is black
// and white, so a device without a line-art mode still offers TWPT_BW; a device without a mode
// offers colour.
#include <algorithm>
#include <cmath>
#include <exception>
#include <new>
#include <vector>

#include "base/text.h"
#include "options/string_option.h"
#include "twain/containers.h"
#include "twain/mode_names.h"
#include "twain/option_capabilities.h"
#include "twain/option_values.h"
#include "ui/combo_box.h"

namespace tarnwick {

namespace {

constexpr int kUsualDepth = 8;

struct ModeTypes {
    bool bw = false, gray = false, rgb = false;
};

// A device without a mode scans colour only.
ModeTypes modeTypes(const StringOption* mode) {
    ModeTypes types;
    if (!mode) types.rgb = true;
    for (const std::string& choice : mode ? mode->choices : std::vector<std::string>{}) {
        switch (classifyMode(choice)) {
            case TWPT_BW:
                types.bw = true;
                break;
            case TWPT_GRAY:
                types.gray = true;
                break;
            case TWPT_RGB:
                types.rgb = true;
                break;
        }
    }
    return types;
}

// Shows the mode's entry `index` in the window's list, or writes it without a window.
TW_UINT16 writeMode(StringOption& mode, int index) {
    auto* list = dynamic_cast<ui::ComboBox*>(mode.control);
    if (mode.control && !list) return TWRC_FAILURE;
    const std::string choice = mode.choices[static_cast<std::size_t>(index)];
    writeValue(mode, choice);
    if (list && list->items().size() == mode.choices.size()) list->setItemIndex(index);
    return afterWrite(mode);
}

// The pixel types and depths the device offers. Without an active depth option every mode
// has its one depth: 8 bits, 1 for line art, 16 where its name says more than 8 ("16bit Gray").
class PixelFormats {
  public:
    PixelFormats(StringOption* mode, Option* depth, bool sixteenBits)
        : mode_(mode),
          depth_(numberOption(depth)),
          modes_(modeTypes(mode)),
          sixteenBits_(sixteenBits) {
        if (depth_ && !depth_->isActive()) depth_ = nullptr;
    }

    bool atOneBit() const { return depth_ && deviceDepth() == 1; }
    bool hasBW() const { return modes_.bw || bwByDepth(); }
    bool bwByDepth() const { return !modes_.bw && modes_.gray && depth_ && offers(TWPT_GRAY, 1); }

    std::vector<TW_UINT32> types() const {
        std::vector<TW_UINT32> list;
        if (hasBW()) list.push_back(TWPT_BW);
        if (modes_.gray) list.push_back(TWPT_GRAY);
        if (modes_.rgb) list.push_back(TWPT_RGB);
        return list;
    }
    // Black and white is the default only where the device has a line-art mode: its grey
    // mode stays at 8 bits after a reset.
    TW_UINT16 defaultType() const {
        return modes_.bw ? TWPT_BW : modes_.gray ? TWPT_GRAY : TWPT_RGB;
    }
    int currentType() const {
        const int type = mode_ ? classifyMode(mode_->valueText()) : TWPT_RGB;
        if (type == TWPT_GRAY && depth_ && deviceDepth() == 1) return TWPT_BW;
        return type < 0 ? TWPT_RGB : type;
    }

    // TWAIN's bits per pixel for a pixel type.
    std::vector<TW_UINT32> bitDepths(int type) const {
        if (type == TWPT_BW) return {1};
        const TW_UINT32 samples = type == TWPT_RGB ? 3 : 1;
        std::vector<TW_UINT32> list;
        if (offers(type, kUsualDepth)) list.push_back(samples * 8);
        if (sixteenBits_ && offers(type, 16)) list.push_back(samples * 16);
        if (list.empty()) list.push_back(currentBitDepth(type));
        return list;
    }
    TW_UINT32 currentBitDepth(int type) const {
        if (type == TWPT_BW) return 1;
        const TW_UINT32 samples = type == TWPT_RGB ? 3 : 1;
        return samples * (sixteenBits_ && currentSampleDepth() == 16 ? 16 : 8);
    }
    TW_UINT32 defaultBitDepth(int type) const {
        const std::vector<TW_UINT32> list = bitDepths(type);
        const TW_UINT32 usual = type == TWPT_BW ? 1 : type == TWPT_RGB ? 24 : 8;
        return std::find(list.begin(), list.end(), usual) != list.end() ? usual : list.front();
    }

    // SANE's bits per sample for TWAIN's bits per pixel.
    static int sampleDepth(TW_UINT32 bitDepth) {
        return bitDepth == 1 ? 1 : bitDepth == 16 || bitDepth == 48 ? 16 : kUsualDepth;
    }
    // Sets the depth option to the bits per sample, or without one the mode of the current
    // type that scans them; nothing to set where the device has neither.
    TW_UINT16 writeDepth(int depth) const {
        if (!depth_) {
            if (!mode_ || currentSampleDepth() == depth) return TWRC_SUCCESS;
            const int index = chooseMode(mode_->choices, currentType(), depth);
            return index < 0 ? TWRC_SUCCESS : writeMode(*mode_, index);
        }
        if (deviceDepth() == depth) return TWRC_SUCCESS;
        writeValue(*depth_, decimal(depth));
        return afterNumberWrite(*depth_, depth);
    }

  private:
    int deviceDepth() const { return currentInteger(*depth_); }
    int currentSampleDepth() const {
        if (depth_) return deviceDepth();
        return mode_ ? modeKind(mode_->valueText()).depth : kUsualDepth;
    }
    bool offers(int type, int depth) const {
        if (!depth_)
            return mode_ ? chooseMode(mode_->choices, type, depth) >= 0 : depth == kUsualDepth;
        const double d = depth;
        switch (depth_->constraintKind) {
            case numberRange: {
                const double low = lowBound(*depth_);
                return d >= low && d <= highBound(*depth_) &&
                       (depth_->quant <= 0 || std::fmod(d - low, depth_->quant) == 0);
            }
            case numberWordList:
                return std::find(depth_->wordList.begin(), depth_->wordList.end(), d) !=
                       depth_->wordList.end();
            default:
                return deviceDepth() == depth;
        }
    }

    StringOption* mode_;
    NumberOption* depth_;
    ModeTypes modes_;
    bool sixteenBits_;
};

// The type's plain mode at its usual depth; a device without a mode takes colour only.
TW_UINT16 selectMode(DataSource& source, StringOption* mode, int type) {
    if (!mode) return type == TWPT_RGB ? TWRC_SUCCESS : badValue(source);
    int chosen = chooseMode(mode->choices, type);
    if (chosen < 0) chosen = chooseMode(mode->choices, type, 16);
    if (chosen < 0) return badValue(source);
    const TW_UINT16 rc = writeMode(*mode, chosen);
    return rc == TWRC_FAILURE ? badValue(source) : rc;
}

// The worse of two answers of one request.
TW_UINT16 worse(TW_UINT16 a, TW_UINT16 b) {
    return a != TWRC_SUCCESS ? a : b;
}

// Selects the type's mode and a depth that belongs to it. The mode may change what the depth
// option offers, so the formats are read again after it.
TW_UINT16 selectType(DataSource& source, StringOption* mode, Option* depth, TW_UINT32 requested,
                     bool replaced) {
    if (requested > TWPT_RGB) return badValue(source);
    const bool bwByDepth = PixelFormats(mode, depth, false).bwByDepth();
    const int modeType =
        requested == TWPT_BW && bwByDepth ? TWPT_GRAY : static_cast<int>(requested);
    TW_UINT16 rc = selectMode(source, mode, modeType);
    if (rc == TWRC_FAILURE) return rc;
    if (replaced) rc = TWRC_CHECKSTATUS;
    const PixelFormats formats(mode, depth, false);
    if (requested == TWPT_BW && bwByDepth) return worse(rc, formats.writeDepth(1));
    // Grey and colour leave 1 bit (line art, or eight colours) for their usual depth.
    if (requested != TWPT_BW && formats.atOneBit())
        return worse(rc, formats.writeDepth(kUsualDepth));
    return rc;
}

}  // namespace

std::optional<PixelFormat> pixelFormatInForce(const OptionRoles& roles, bool sixteenBits) {
    auto* mode = dynamic_cast<StringOption*>(roles.mode);
    if (roles.mode && !mode) return std::nullopt;
    try {
        const PixelFormats formats(mode, roles.depth, sixteenBits);
        const int type = formats.currentType();
        if (type == TWPT_RGB && formats.atOneBit()) return PixelFormat{TWPT_PALETTE, 8};
        return PixelFormat{static_cast<TW_UINT16>(type), formats.currentBitDepth(type)};
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

TW_UINT16 pixelTypeCapability(DataSource& source, const OptionRoles& roles, TW_UINT16 msg,
                              TW_CAPABILITY* capability) {
    auto* mode = dynamic_cast<StringOption*>(roles.mode);
    if (roles.mode && !mode) return unsupported(source);
    return guarded(source, [&]() -> TW_UINT16 {
        const PixelFormats formats(mode, roles.depth, source.deliversSixteenBits());
        switch (msg) {
            case MSG_GETCURRENT:
                return makeOneValue(source, *capability, TWTY_UINT16,
                                    static_cast<TW_UINT32>(formats.currentType()));
            case MSG_GET: {
                const std::vector<TW_UINT32> list = formats.types();
                const auto indexOf = [&](TW_UINT32 type) {
                    const auto at = std::find(list.begin(), list.end(), type);
                    return at == list.end() ? 0 : static_cast<TW_UINT32>(at - list.begin());
                };
                return makeEnumeration(source, *capability, TWTY_UINT16,
                                       indexOf(static_cast<TW_UINT32>(formats.currentType())),
                                       indexOf(formats.defaultType()), list);
            }
            case MSG_GETDEFAULT:
                return makeOneValue(source, *capability, TWTY_UINT16, formats.defaultType());
            case MSG_SET: {
                const SentValue sent = readSentValue(source, *capability, true);
                if (sent.kind == SentKind::none) return badValue(source);
                TW_UINT32 requested = sent.item & 0xFFFF;
                const bool replaced = requested == TWPT_BW && !formats.hasBW();
                if (replaced) requested = TWPT_GRAY;
                return selectType(source, mode, roles.depth, requested, replaced);
            }
            case MSG_RESET:
                if (formats.types().empty()) return badValue(source);
                return selectType(source, mode, roles.depth, formats.defaultType(), false);
        }
        return source.setCondition(TWCC_BADPROTOCOL, TWRC_FAILURE);
    });
}

TW_UINT16 bitDepthCapability(DataSource& source, const OptionRoles& roles, TW_UINT16 msg,
                             TW_CAPABILITY* capability) {
    auto* mode = dynamic_cast<StringOption*>(roles.mode);
    if (roles.mode && !mode) return unsupported(source);
    return guarded(source, [&]() -> TW_UINT16 {
        const PixelFormats formats(mode, roles.depth, source.deliversSixteenBits());
        const int type = formats.currentType();
        const std::vector<TW_UINT32> list = formats.bitDepths(type);
        const TW_UINT32 current = formats.currentBitDepth(type);
        const TW_UINT32 preset = formats.defaultBitDepth(type);
        TW_UINT32 value = preset;
        switch (msg) {
            case MSG_GETCURRENT:
                return makeOneValue(source, *capability, TWTY_UINT16, current);
            case MSG_GETDEFAULT:
                return makeOneValue(source, *capability, TWTY_UINT16, preset);
            case MSG_GET: {
                const auto indexOf = [&](TW_UINT32 depth) {
                    const auto at = std::find(list.begin(), list.end(), depth);
                    return at == list.end() ? 0 : static_cast<TW_UINT32>(at - list.begin());
                };
                return makeEnumeration(source, *capability, TWTY_UINT16, indexOf(current),
                                       indexOf(preset), list);
            }
            case MSG_SET: {
                const SentValue sent = readSentValue(source, *capability, true);
                if (sent.kind == SentKind::none) return badValue(source);
                value = sent.item & 0xFFFF;
                // A depth the pixel type does not have is not taken; the application reads
                // back the one in force.
                if (std::find(list.begin(), list.end(), value) == list.end())
                    return TWRC_CHECKSTATUS;
                break;
            }
            case MSG_RESET:
                break;
            default:
                return source.setCondition(TWCC_BADPROTOCOL, TWRC_FAILURE);
        }
        // Line art by mode has no depth to set.
        if (type == TWPT_BW && !formats.bwByDepth()) return TWRC_SUCCESS;
        return formats.writeDepth(PixelFormats::sampleDepth(value));
    });
}

}  // namespace tarnwick
