// The track bar of number options: an ordinary track bar that also reports when a mouse button
// goes down on it and comes up again (OnMouseDown / OnMouseUp).
#pragma once

#include "ui/track_bar.h"

namespace tarnwick {

class TCustomTrackBar : public ui::TrackBar {
  public:
    explicit TCustomTrackBar(ui::Container* parent) : ui::TrackBar(parent) {
        setMouseNotifications(true);
    }
};

}  // namespace tarnwick
