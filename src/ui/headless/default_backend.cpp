#include "ui/backend.h"

namespace ui {

Backend& defaultBackend() {
    static Backend peerless;
    return peerless;
}

}  // namespace ui
