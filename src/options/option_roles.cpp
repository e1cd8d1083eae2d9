#include "options/option_roles.h"

#include <string>

#include "options/number_option.h"
#include "options/option.h"

namespace tarnwick {

namespace {

bool contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

// The roles of options with no fixed name, for an active option.
void findNamedLike(OptionRoles& roles, Option& option, bool& feederBySource) {
    const std::string& name = option.name;
    if (name == "depth") roles.depth = &option;
    if (name == "y-resolution" && option.isUsable()) roles.yResolution = &option;
    if ((contains(name, "wait") || contains(name, "start")) && option.valueType() == SANE_TYPE_BOOL)
        roles.wait = &option;
    if ((contains(name, "adf") || contains(name, "source")) && !feederBySource) {
        // The first option named with "source" stays; "adf" options replace each other until then.
        roles.feeder = &option;
        feederBySource = contains(name, "source");
        roles.feederInverted = contains(name, "no");
    }
}

}  // namespace

OptionRoles findOptionRoles(const std::vector<std::unique_ptr<Option>>& options) {
    OptionRoles roles;
    bool feederBySource = false;
    const std::pair<const char*, Option**> levels[] = {{"brightness", &roles.brightness},
                                                       {"contrast", &roles.contrast},
                                                       {"threshold", &roles.threshold},
                                                       {"analog-gamma", &roles.gamma},
                                                       {"page-loaded", &roles.paperSensor}};
    for (const auto& entry : options) {
        Option& option = *entry;
        const std::string& name = option.name;
        for (auto [levelName, role] : levels)
            if (name == levelName && !*role) *role = &option;
        if (name == "tl-x" || name == "tl-y" || name == "br-x" || name == "br-y") {
            (name == "tl-x"   ? roles.tlx
             : name == "tl-y" ? roles.tly
             : name == "br-x" ? roles.brx
                              : roles.bry) = dynamic_cast<NumberOption*>(&option);
            continue;
        }
        if (name == "preview") roles.preview = &option;
        if (name == "preview" || option.valueType() == SANE_TYPE_GROUP) continue;
        if (name == "resolution" && !roles.resolution)
            roles.resolution = &option;
        else if (name == "mode")
            roles.mode = &option;
        else if (option.isActive())
            findNamedLike(roles, option, feederBySource);
    }
    return roles;
}

}  // namespace tarnwick
