// Parsing of scanimage's option listing (`scanimage -A`).
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "support/saned_fixture.h"

namespace tarnwick::testing {
namespace {

bool startsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// scanimage's short forms of the scan-area options.
std::string longName(const std::string& flag) {
    if (startsWith(flag, "--")) return flag.substr(2);
    if (flag == "-l") return "tl-x";
    if (flag == "-t") return "tl-y";
    if (flag == "-x") return "br-x";
    if (flag == "-y") return "br-y";
    return flag.substr(1);
}

// A number as scanimage prints it, with a unit or ",..." possibly after it.
bool leadingNumber(const std::string& text, bool& hasFraction) {
    char* end = nullptr;
    std::strtod(text.c_str(), &end);
    if (end == text.c_str()) return false;
    std::string number(text.c_str(), static_cast<std::size_t>(end - text.c_str()));
    hasFraction = number.find_first_of(".eE") != std::string::npos;
    std::string rest(end);
    return rest.empty() || std::isalpha(static_cast<unsigned char>(rest[0])) || rest[0] == '%' ||
           startsWith(rest, ",...");
}

ListedKind numberKind(bool anyFraction) {
    return anyFraction ? ListedKind::fixed : ListedKind::number;
}

ListedKind kindOf(const std::string& listing) {
    if (listing.empty() || listing[0] == '[')
        return startsWith(listing, "[=(") ? ListedKind::boolean : ListedKind::button;
    if (startsWith(listing, "<int>")) return ListedKind::integer;
    if (startsWith(listing, "<float>")) return ListedKind::fixed;
    if (startsWith(listing, "<string>")) return ListedKind::string;
    std::string constraint = listing.substr(0, listing.find(' '));
    // A range "min..max" with a unit.
    std::size_t dots = constraint.find("..");
    if (dots != std::string::npos && dots > 0 && constraint.find('|') == std::string::npos) {
        bool lowFraction = false, highFraction = false;
        if (leadingNumber(constraint.substr(0, dots), lowFraction) &&
            leadingNumber(constraint.substr(dots + 2), highFraction))
            return numberKind(lowFraction || highFraction);
    }
    // A list: numbers make a word list, anything else a string list. Entries may hold spaces,
    // so the list is everything before the current value in brackets.
    std::string list = listing.substr(0, listing.rfind(" ["));
    bool anyFraction = false;
    std::stringstream entries(list);
    std::string entry;
    while (std::getline(entries, entry, '|')) {
        bool fraction = false;
        if (!leadingNumber(entry, fraction)) return ListedKind::string;
        anyFraction = anyFraction || fraction;
    }
    return numberKind(anyFraction);
}

}  // namespace

std::vector<ListedOption> parseScanimageListing(const std::string& listing) {
    std::vector<ListedOption> options;
    std::stringstream lines(listing);
    std::string line;
    bool inOptions = false;
    while (std::getline(lines, line)) {
        if (startsWith(line, "All options specific to device")) {
            inOptions = true;
            continue;
        }
        if (!inOptions || line.empty()) continue;
        if (startsWith(line, "    -")) {
            std::string rest = line.substr(4);
            std::size_t space = rest.find(' ');
            std::string flag = rest.substr(0, space);
            std::string listing = space == std::string::npos ? "" : rest.substr(space + 1);
            // "--name[=(yes|no)]" keeps its value form attached to the name.
            std::size_t bracket = flag.find("[=");
            if (bracket != std::string::npos) {
                listing = flag.substr(bracket);
                flag = flag.substr(0, bracket);
            }
            options.push_back({longName(flag), {}, kindOf(listing)});
        } else if (startsWith(line, "  ") && line[2] != ' ' && line.back() == ':') {
            options.push_back({{}, line.substr(2, line.size() - 3), ListedKind::group});
        } else if (!startsWith(line, "        ")) {
            break;  // the end of the device's options
        }
    }
    return options;
}

std::vector<ListedOption> scanimageOptions(const std::string& configDir,
                                           const std::string& device) {
    std::string command =
        "SANE_CONFIG_DIR='" + configDir + "' scanimage -A -d '" + device + "' 2>/dev/null";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return {};
    std::string listing;
    char buffer[4096];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) listing.append(buffer, got);
    if (::pclose(pipe) != 0) return {};
    return parseScanimageListing(listing);
}

}  // namespace tarnwick::testing
