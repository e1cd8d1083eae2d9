// Marks the scanning window's own writes of options for the time of a scope, so that the
// reloads they cause are not taken for changes by the user (TFPreview::adjustingOptions).
#pragma once

#include <utility>

namespace tarnwick {

class OwnOptionWrites {
  public:
    explicit OwnOptionWrites(bool& flag) : flag_(flag), was_(std::exchange(flag, true)) {}
    ~OwnOptionWrites() { flag_ = was_; }
    OwnOptionWrites(const OwnOptionWrites&) = delete;
    OwnOptionWrites& operator=(const OwnOptionWrites&) = delete;

  private:
    bool& flag_;
    bool was_;
};

}  // namespace tarnwick
