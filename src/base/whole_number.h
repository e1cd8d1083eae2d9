// Whole decimal numbers read from texts (settings, daemon values, typed entries).
#pragma once

#include <charconv>
#include <concepts>
#include <optional>
#include <string_view>

namespace base {

// Settings files and typed entries may write "+5"; daemon answers and stored regions never do.
enum class PlusSign { rejected, accepted };

// The number the whole text is: a sign, digits and nothing else (no blanks), within T's range.
template <std::integral T>
std::optional<T> parseWhole(std::string_view text, PlusSign plus = PlusSign::rejected) {
    if (plus == PlusSign::accepted && text.starts_with('+')) {
        text.remove_prefix(1);
        if (text.starts_with('-')) return std::nullopt;
    }
    T value{};
    const char* last = text.data() + text.size();
    auto [end, error] = std::from_chars(text.data(), last, value);
    if (text.empty() || error != std::errc() || end != last) return std::nullopt;
    return value;
}

}  // namespace base
