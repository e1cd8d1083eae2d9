#include "session/scan_policy.h"

#include "base/text.h"
#include "base/whole_number.h"
#include "options/source_entries.h"

namespace tarnwick {

bool feederSelected(bool booleanOption, bool inverted, const std::string& value) {
    if (booleanOption) return value == (inverted ? "no" : "yes");
    const SourceKind kind = sourceKind(value);
    return kind == SourceKind::feeder || kind == SourceKind::duplex;
}

int pagesAnswer(const std::string& answer) {
    return base::parseWhole<int>(base::trim(answer, base::kSpaces)).value_or(0);
}

}  // namespace tarnwick
