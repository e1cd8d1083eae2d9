// One batch of final scans: how many images are still to come, which rectangle each takes, and
// whether the pages come from the document feeder. The Scan button, the open scanner and the
// window's tests all walk a batch through this one object.
#pragma once

#include <functional>
#include <optional>

#include "session/regions.h"

namespace tarnwick {

// A rectangle on the bed in the unit of the geometry options (millimetres), not rounded to the
// regions' whole ones: the application's frame, or what an image was scanned from.
struct ScanRectangle {
    double left = 0, top = 0, right = 0, bottom = 0;
};

// A region's whole units as a rectangle.
inline ScanRectangle rectangleOf(const Region& r) {
    return {static_cast<double>(r.x1), static_cast<double>(r.y1), static_cast<double>(r.x2),
            static_cast<double>(r.y2)};
}

class ScanBatch {
  public:
    // `feederInUse` may show a box and cut the regions to one, so it runs once a batch.
    ScanBatch(Regions& regions, const Region& scanArea, std::function<bool()> feederInUse);

    // Starts a batch with the first region next: `feederPages()` images when the feeder is in
    // use (-1: until it is empty), else one image per region (1 without regions), never more
    // than the limit (which, when set, also stands for the feeder's pages). Returns the feeder
    // decision.
    bool begin(const std::function<int()>& feederPages);

    // The most images a batch gives (the application's transfer count); -1 for no limit.
    int limit() const { return limit_; }
    void setLimit(int limit) { limit_ = limit; }
    // The application chose the feeder: its batches take every page, whatever the setting
    // that a feeder batch scans a single page.
    bool feederChosen() const { return feederChosen_; }
    void setFeederChosen(bool chosen) { feederChosen_ = chosen; }
    // The batch under way takes its pages from the feeder.
    bool feederBatch() const { return pending_ != 0 && feeder_.value_or(false); }

    // Images still to come; -1 means no limit.
    int pending() const { return pending_; }
    // 0 ends the batch: the next one takes the feeder decision again.
    void setPending(int count);

    // The rectangle the next image takes: the whole scan area without regions, region 0 for
    // every feeder page, else the region the walk has reached (past the last, the first again).
    // Outside a batch it runs the feeder test without keeping its decision.
    Region next();
    // next(), and the walk moves on to the following region.
    Region take();
    // One image delivered: the count goes down (-1 stays). True when that was the last one.
    bool counted();
    // Images delivered since the batch began.
    int delivered() const { return delivered_; }
    // No image: the batch ends.
    void fail() { setPending(0); }
    // The regions become this one region, the next to scan (the application's image layout).
    void setSingleRegion(const Region& region);
    // The application's frame: the region it rounds to, and scanned exactly as it is whatever
    // a reload of the device's options does to the regions, until dropFrame().
    void setFrame(const ScanRectangle& frame);
    const std::optional<ScanRectangle>& frame() const { return frame_; }
    void dropFrame() { frame_.reset(); }
    const Region& scanArea() const { return scanArea_; }

  private:
    // `keep`: the decision holds for the rest of the batch (an image is taken, not looked at).
    bool feeder(bool keep);
    // The region index the next image takes, -1 for the whole scan area.
    int nextIndex(bool keep);

    Regions& regions_;
    const Region& scanArea_;
    std::function<bool()> feederInUse_;
    // Taken by begin(), or by the first image of a series nobody began; kept to the batch's end.
    std::optional<bool> feeder_;
    int pending_ = -1;
    int delivered_ = 0;
    int limit_ = -1;
    bool feederChosen_ = false;
    std::optional<ScanRectangle> frame_;
};

}  // namespace tarnwick
