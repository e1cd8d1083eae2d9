// Word-like applications: before their requests a registry key named by a setting is removed.
#pragma once

#include <functional>
#include <string>

#include "twain/records.h"

namespace tarnwick {

// True when the Manufacturer field is empty or contains "Word".
bool isWordLike(const TW_IDENTITY& application);

struct WordKeyLinks {
    // The value of RemoveWordKey in section Zoveru of the settings file ("" = none).
    std::function<std::string()> readRemoveWordKey;
    // Deletes a key under HKEY_CURRENT_USER with its sub-keys; the outcome does not matter.
    std::function<bool(const std::string& path)> deleteUserKey;
};

// The links the module uses.
WordKeyLinks moduleWordKeyLinks();

// For every request but DAT_EVENT from a word-like application, deletes the configured key.
void applyWordKeyRule(const TW_IDENTITY& application, TW_UINT32 DG, TW_UINT16 DAT,
                      const WordKeyLinks& links);

}  // namespace tarnwick
