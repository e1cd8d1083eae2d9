#include "platform/environment_expand.h"

#include "platform/environment.h"

namespace platform {

std::string expandEnvironmentStrings(const std::string& text) {
    std::string out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t open = text.find('%', pos);
        std::size_t close = open == std::string::npos ? open : text.find('%', open + 1);
        if (close == std::string::npos) {
            out.append(text, pos, std::string::npos);
            break;
        }
        out.append(text, pos, open - pos);
        std::string name = text.substr(open + 1, close - open - 1);
        std::optional<std::string> value = name.empty() ? std::nullopt : environmentVariable(name);
        // An unknown name stays with both its signs, and scanning goes on after them.
        if (value)
            out += *value;
        else
            out.append(text, open, close - open + 1);
        pos = close + 1;
    }
    return out;
}

}  // namespace platform
