// One opened replayed device: its options' values, its feeder and the scan in progress.
#pragma once

#include <sane/sane.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>

#include "listing_reader.h"
#include "replay_settings.h"

namespace tarnwick::replay {

class ReplayHandle {
  public:
    ReplayHandle(std::unique_ptr<ReplayDevice> device, const ReplaySettings& settings);

    const SANE_Option_Descriptor* descriptor(SANE_Int index) const;
    SANE_Status control(SANE_Int index, SANE_Action action, void* value, SANE_Int* info);
    SANE_Status parameters(SANE_Parameters* parameters) const;
    SANE_Status start();
    SANE_Status read(SANE_Byte* data, SANE_Int maxLength, SANE_Int* length);
    void cancel() { scanning_ = false; }

  private:
    bool busy();
    void bindResolutions(double resolution, SANE_Int* info);

    std::unique_ptr<ReplayDevice> device_;
    const ReplaySettings& settings_;
    long pagesLeft_;
    long page_ = 0;
    bool scanning_ = false;
    SANE_Parameters image_{};
    std::uint64_t sent_ = 0;
    // When the starts of the scan now being started began to be refused.
    std::optional<std::chrono::steady_clock::time_point> busySince_;
};

}  // namespace tarnwick::replay
