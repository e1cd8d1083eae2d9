#include "session/scan_batch.h"

#include <cmath>
#include <utility>

namespace tarnwick {

ScanBatch::ScanBatch(Regions& regions, const Region& scanArea, std::function<bool()> feederInUse)
    : regions_(regions), scanArea_(scanArea), feederInUse_(std::move(feederInUse)) {}

bool ScanBatch::begin(const std::function<int()>& feederPages) {
    feeder_ = feederInUse_();
    if (*feeder_)
        pending_ = limit_ > 0 ? limit_ : feederPages();
    else
        pending_ = regions_.regionCount > 0 ? regions_.regionCount : 1;
    if (limit_ > 0 && (pending_ < 0 || pending_ > limit_)) pending_ = limit_;
    regions_.regionIndex = -1;
    delivered_ = 0;
    return *feeder_;
}

void ScanBatch::setPending(int count) {
    pending_ = count;
    if (count == 0) feeder_.reset();
}

void ScanBatch::setSingleRegion(const Region& region) {
    regions_.regionCount = 1;
    regions_.regionIndex = 0;
    regions_.regions[0] = region;
}

void ScanBatch::setFrame(const ScanRectangle& frame) {
    setSingleRegion(Region{
        static_cast<int>(std::lround(frame.left)), static_cast<int>(std::lround(frame.top)),
        static_cast<int>(std::lround(frame.right)), static_cast<int>(std::lround(frame.bottom))});
    frame_ = frame;
}

bool ScanBatch::feeder(bool keep) {
    if (feeder_) return *feeder_;
    const bool inUse = feederInUse_();
    if (keep) feeder_ = inUse;
    return inUse;
}

int ScanBatch::nextIndex(bool keep) {
    if (regions_.regionCount <= 0) return -1;
    if (feeder(keep)) return 0;
    const int index = regions_.regionIndex;
    return index < 0 || index >= regions_.regionCount ? 0 : index;
}

Region ScanBatch::next() {
    const int index = nextIndex(false);
    return index < 0 ? scanArea_ : regions_.regions[static_cast<std::size_t>(index)];
}

Region ScanBatch::take() {
    const int index = nextIndex(true);
    if (index < 0) return scanArea_;
    if (!feeder(true)) regions_.regionIndex = index + 1;
    return regions_.regions[static_cast<std::size_t>(index)];
}

bool ScanBatch::counted() {
    // -1 has no end, and 0 ended before this image.
    ++delivered_;
    if (pending_ <= 0) return false;
    setPending(pending_ - 1);
    return pending_ == 0;
}

}  // namespace tarnwick
