// Texts in the fixed 34-byte fields of TWAIN records.
#pragma once

#include <string>

#include "twain/records.h"

namespace tarnwick {

// The first `maxChars` bytes of `text`.
std::string cutText(const std::string& text, std::size_t maxChars);
// Writes at most `maxChars` (up to 33) bytes of `text` into `field`, NUL-filling the rest.
void copyText(TW_STR32& field, const std::string& text, std::size_t maxChars);
// The text of a field that an application filled; stops at the field's end without a NUL.
std::string fieldText(const TW_STR32& field);

}  // namespace tarnwick
