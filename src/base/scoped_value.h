// A variable holds a value for the time of a scope, however the scope is left.
#pragma once

#include <utility>

namespace base {

template <typename T>
class ScopedValue {
  public:
    ScopedValue(T& variable, T value) : variable_(variable), was_(std::exchange(variable, value)) {}
    ~ScopedValue() { variable_ = std::move(was_); }
    ScopedValue(const ScopedValue&) = delete;
    ScopedValue& operator=(const ScopedValue&) = delete;

  private:
    T& variable_;
    T was_;
};

}  // namespace base
