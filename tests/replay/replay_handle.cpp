#include "replay_handle.h"

#include <sane/saneopts.h>

#include <algorithm>

#include "replay_image.h"

namespace tarnwick::replay {

ReplayHandle::ReplayHandle(std::unique_ptr<ReplayDevice> device, const ReplaySettings& settings)
    : device_(std::move(device)), settings_(settings), pagesLeft_(settings.pages) {}

const SANE_Option_Descriptor* ReplayHandle::descriptor(SANE_Int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= device_->options.size()) return nullptr;
    return &device_->options[static_cast<std::size_t>(index)]->descriptor();
}

// Backends keep separate axes at the common resolution (utsushi mirrors it read-only).
void ReplayHandle::bindResolutions(double resolution, SANE_Int* info) {
    for (const char* name : {SANE_NAME_SCAN_X_RESOLUTION, SANE_NAME_SCAN_Y_RESOLUTION}) {
        ReplayOption* axis = device_->find(name);
        SANE_Word word = axis != nullptr ? axis->toWord(resolution) : 0;
        if (axis == nullptr || axis->fit(word) != word) continue;
        axis->setNumber(resolution);
        if (info != nullptr) *info |= SANE_INFO_RELOAD_OPTIONS;
    }
}

SANE_Status ReplayHandle::control(SANE_Int index, SANE_Action action, void* value, SANE_Int* info) {
    if (info != nullptr) *info = 0;
    if (index < 0 || static_cast<std::size_t>(index) >= device_->options.size())
        return SANE_STATUS_INVAL;
    ReplayOption& option = *device_->options[static_cast<std::size_t>(index)];
    if (option.type == SANE_TYPE_GROUP || !option.active()) return SANE_STATUS_INVAL;
    if (action == SANE_ACTION_GET_VALUE) {
        if (option.type == SANE_TYPE_BUTTON || value == nullptr) return SANE_STATUS_INVAL;
        option.read(value);
        return SANE_STATUS_GOOD;
    }
    if (!option.settable()) return SANE_STATUS_INVAL;
    if (action == SANE_ACTION_SET_AUTO)
        return (option.cap & SANE_CAP_AUTOMATIC) != 0 ? SANE_STATUS_GOOD : SANE_STATUS_INVAL;
    if (action != SANE_ACTION_SET_VALUE) return SANE_STATUS_INVAL;
    if (option.type == SANE_TYPE_BUTTON) return SANE_STATUS_GOOD;
    if (value == nullptr || !option.write(value, info)) return SANE_STATUS_INVAL;
    if (option.name == SANE_NAME_SCAN_MODE || option.name == SANE_NAME_SCAN_SOURCE) {
        if (info != nullptr) *info |= SANE_INFO_RELOAD_OPTIONS;
    }
    if (option.name == SANE_NAME_SCAN_RESOLUTION) bindResolutions(option.number(), info);
    return SANE_STATUS_GOOD;
}

SANE_Status ReplayHandle::parameters(SANE_Parameters* parameters) const {
    if (parameters == nullptr) return SANE_STATUS_INVAL;
    if (scanning_) {
        *parameters = image_;
        return SANE_STATUS_GOOD;
    }
    return imageParameters(*device_, *parameters) ? SANE_STATUS_GOOD : SANE_STATUS_INVAL;
}

// The starts of each scan are refused for the first milliseconds the setting gives, counted from
// that scan's first start; a cancel between the attempts does not reset the clock, a start taken
// does, so the next scan is refused for as long again.
bool ReplayHandle::busy() {
    if (settings_.startStatus == SANE_STATUS_GOOD) return false;
    auto now = std::chrono::steady_clock::now();
    if (!busySince_) busySince_ = now;
    if (now - *busySince_ < std::chrono::milliseconds(settings_.startMilliseconds)) return true;
    busySince_.reset();
    return false;
}

SANE_Status ReplayHandle::start() {
    scanning_ = false;
    if (busy()) return settings_.startStatus;
    if (feederSelected(*device_)) {
        if (pagesLeft_ == 0) return SANE_STATUS_NO_DOCS;
        --pagesLeft_;
    }
    if (!imageParameters(*device_, image_)) return SANE_STATUS_INVAL;
    ++page_;
    sent_ = 0;
    scanning_ = true;
    return SANE_STATUS_GOOD;
}

SANE_Status ReplayHandle::read(SANE_Byte* data, SANE_Int maxLength, SANE_Int* length) {
    if (length != nullptr) *length = 0;
    if (data == nullptr || length == nullptr || maxLength < 0) return SANE_STATUS_INVAL;
    if (!scanning_) return SANE_STATUS_CANCELLED;
    if (settings_.readStatus != SANE_STATUS_GOOD) return settings_.readStatus;
    auto total = static_cast<std::uint64_t>(image_.bytes_per_line) *
                 static_cast<std::uint64_t>(image_.lines);
    if (sent_ >= total) return SANE_STATUS_EOF;
    auto count = std::min<std::uint64_t>(total - sent_, static_cast<std::uint64_t>(maxLength));
    for (std::uint64_t i = 0; i < count; ++i) data[i] = patternByte(image_, sent_ + i, page_);
    sent_ += count;
    *length = static_cast<SANE_Int>(count);
    return SANE_STATUS_GOOD;
}

}  // namespace tarnwick::replay
