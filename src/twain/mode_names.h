// What the entries of a device's "mode" list scan. Backends name them freely ("Lineart",
// "Binary", "Black & White", "Monochrome", "Halftone", "True Gray", "16bit Gray",
// "24bit Color[Fast]"), so the words decide.
#pragma once

#include <string>
#include <vector>

namespace tarnwick {

struct ModeKind {
    int type = -1;      // TWPT_BW, TWPT_GRAY, TWPT_RGB, or -1 for none
    int depth = 8;      // bits per sample: 1 for black and white, 16 for any above 8
    bool plain = true;  // not halftoned, dithered or a variant ("[Fast]") of its type
};

ModeKind modeKind(const std::string& mode);

// The pixel type a mode text stands for: TWPT_BW, TWPT_GRAY, TWPT_RGB, or -1 for none.
int classifyMode(const std::string& mode);

// The entry of `choices` that scans `type` at `depth` bits per sample (0: the type's usual
// depth), a plain one before the others; -1 where none does.
int chooseMode(const std::vector<std::string>& choices, int type, int depth = 0);

}  // namespace tarnwick
