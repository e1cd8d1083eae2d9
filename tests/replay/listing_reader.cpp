#include "listing_reader.h"

#include <sane/saneopts.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <sstream>

#include "option_line.h"

namespace tarnwick::replay {
namespace {

constexpr std::size_t kMaxBytes = 1 << 20;
constexpr std::size_t kMaxOptions = 1000;
constexpr std::size_t kMaxValueLines = 64;

// The titles SANE gives its well-known options (their catalogs translate these).
const std::pair<const char*, const char*> kTitles[] = {
    {SANE_NAME_PREVIEW, SANE_TITLE_PREVIEW},
    {SANE_NAME_BIT_DEPTH, SANE_TITLE_BIT_DEPTH},
    {SANE_NAME_SCAN_MODE, SANE_TITLE_SCAN_MODE},
    {SANE_NAME_SCAN_SPEED, SANE_TITLE_SCAN_SPEED},
    {SANE_NAME_SCAN_SOURCE, SANE_TITLE_SCAN_SOURCE},
    {SANE_NAME_SCAN_TL_X, SANE_TITLE_SCAN_TL_X},
    {SANE_NAME_SCAN_TL_Y, SANE_TITLE_SCAN_TL_Y},
    {SANE_NAME_SCAN_BR_X, SANE_TITLE_SCAN_BR_X},
    {SANE_NAME_SCAN_BR_Y, SANE_TITLE_SCAN_BR_Y},
    {SANE_NAME_SCAN_RESOLUTION, SANE_TITLE_SCAN_RESOLUTION},
    {SANE_NAME_SCAN_X_RESOLUTION, SANE_TITLE_SCAN_X_RESOLUTION},
    {SANE_NAME_SCAN_Y_RESOLUTION, SANE_TITLE_SCAN_Y_RESOLUTION},
    {SANE_NAME_PAGE_WIDTH, SANE_TITLE_PAGE_WIDTH},
    {SANE_NAME_PAGE_HEIGHT, SANE_TITLE_PAGE_HEIGHT},
    {SANE_NAME_CUSTOM_GAMMA, SANE_TITLE_CUSTOM_GAMMA},
    {SANE_NAME_GAMMA_VECTOR, SANE_TITLE_GAMMA_VECTOR},
    {SANE_NAME_GAMMA_VECTOR_R, SANE_TITLE_GAMMA_VECTOR_R},
    {SANE_NAME_GAMMA_VECTOR_G, SANE_TITLE_GAMMA_VECTOR_G},
    {SANE_NAME_GAMMA_VECTOR_B, SANE_TITLE_GAMMA_VECTOR_B},
    {SANE_NAME_BRIGHTNESS, SANE_TITLE_BRIGHTNESS},
    {SANE_NAME_CONTRAST, SANE_TITLE_CONTRAST},
    {SANE_NAME_HALFTONE, SANE_TITLE_HALFTONE},
    {SANE_NAME_SHADOW, SANE_TITLE_SHADOW},
    {SANE_NAME_HIGHLIGHT, SANE_TITLE_HIGHLIGHT},
    {SANE_NAME_NEGATIVE, SANE_TITLE_NEGATIVE},
    {SANE_NAME_THRESHOLD, SANE_TITLE_THRESHOLD},
    {SANE_NAME_ANALOG_GAMMA, SANE_TITLE_ANALOG_GAMMA},
    {SANE_NAME_RESOLUTION_BIND, SANE_TITLE_RESOLUTION_BIND},
    {SANE_NAME_SCAN, SANE_TITLE_SCAN},
    {SANE_NAME_EMAIL, SANE_TITLE_EMAIL},
    {SANE_NAME_COPY, SANE_TITLE_COPY},
    {SANE_NAME_PAGE_LOADED, SANE_TITLE_PAGE_LOADED},
    {SANE_NAME_COVER_OPEN, SANE_TITLE_COVER_OPEN},
};

std::string trim(const std::string& text) {
    std::size_t begin = text.find_first_not_of(" \t\r");
    if (begin == std::string::npos) return {};
    std::size_t end = text.find_last_not_of(" \t\r");
    return text.substr(begin, end - begin + 1);
}

bool startsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// SANE's title for a well-known name, else the name in words ("page-width": "Page width").
std::string titleFor(const std::string& name) {
    for (const auto& [known, title] : kTitles)
        if (name == known) return title;
    std::string title = name;
    for (char& c : title)
        if (c == '-' || c == '_') c = ' ';
    if (!title.empty())
        title[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(title[0])));
    return title;
}

// "Fujitsu fi-7260 (from ...)" gives vendor and model; remarks in brackets and after a comma go.
void readIdentity(const std::string& info, ReplayDevice& device) {
    std::string text;
    int depth = 0;
    for (char c : info) {
        if (c == '(') ++depth;
        if (depth == 0) text += c;
        if (c == ')' && depth > 0) --depth;
    }
    text = trim(text.substr(0, text.find(',')));
    if (text.empty() || startsWith(text, "model not shown")) {
        device.vendor = "Unknown";
        device.model = "unknown";
        return;
    }
    std::size_t space = text.find(' ');
    device.vendor = text.substr(0, space);
    device.model = space == std::string::npos ? "unknown" : trim(text.substr(space));
}

// The name as the device's own daemon lists it: a listing taken through the net backend shows
// "net:HOST:" in front.
std::string localName(std::string name) {
    if (startsWith(name, "net:")) {
        std::size_t host = name.find(':', 4);
        if (host != std::string::npos) name = name.substr(host + 1);
    }
    return name;
}

bool readHeader(const std::vector<std::string>& lines, ReplayDevice& device, std::string& error) {
    if (lines.size() < 3 || !startsWith(lines[0], "source:") || !startsWith(lines[1], "device:") ||
        !startsWith(lines[2], "backend:")) {
        error = "line 1: not a device listing (source:, device: and backend: lines first)";
        return false;
    }
    device.backend = trim(lines[2].substr(8));
    std::string deviceLine = trim(lines[1].substr(7));
    std::size_t bar = deviceLine.find(" | ");
    std::string name = trim(deviceLine.substr(0, bar));
    if (!startsWith(name, "(")) device.name = localName(name);
    readIdentity(bar == std::string::npos ? "" : deviceLine.substr(bar + 3), device);
    if (device.backend.empty()) {
        error = "line 3: no backend";
        return false;
    }
    return true;
}

class BodyReader {
  public:
    BodyReader(const std::vector<std::string>& lines, ReplayDevice& device)
        : lines_(lines), device_(device) {}

    bool read(std::string& error) {
        for (next_ = 3; next_ < lines_.size();) {
            std::size_t number = next_ + 1;
            std::string line = lines_[next_++];
            std::string text = trim(line);
            if (text.empty()) continue;
            std::size_t indent = line.find_first_not_of(' ');
            std::string why = readLine(text, indent);
            if (!why.empty()) {
                error = "line " + std::to_string(number) + ": " + why;
                return false;
            }
        }
        if (std::none_of(device_.options.begin() + 1, device_.options.end(),
                         [](const auto& option) { return option->type != SANE_TYPE_GROUP; })) {
            error = "no options";
            return false;
        }
        return true;
    }

  private:
    std::string readLine(const std::string& text, std::size_t indent) {
        if (indent == 0) {
            std::size_t quote = text.find('`');
            if (text.find("ptions specific to device `") == std::string::npos || section_)
                return "unexpected text outside the options: \"" + text + "\"";
            section_ = true;
            if (device_.name.empty() && quote != std::string::npos)
                device_.name = localName(text.substr(quote + 1, text.rfind('\'') - quote - 1));
            return {};
        }
        if (text[0] == '-') return readOption(text, indent);
        if (current_ != nullptr && indent > optionIndent_) {
            current_->description += (current_->description.empty() ? "" : " ") + text;
            return {};
        }
        auto group = std::make_unique<ReplayOption>();
        group->type = SANE_TYPE_GROUP;
        // scanimage puts a colon after a group's title.
        group->title = text.back() == ':' ? text.substr(0, text.size() - 1) : text;
        group->cap = 0;
        group->count = 0;
        current_ = nullptr;
        return add(std::move(group));
    }

    std::string readOption(std::string text, std::size_t indent) {
        // A string value may span lines (device text); it ends at its closing bracket.
        for (std::size_t more = 0; valueOpen(text); ++more) {
            if (more == kMaxValueLines || next_ >= lines_.size())
                return "a value whose bracket does not close";
            text += '\n';
            text += trim(lines_[next_++]);
        }
        auto option = std::make_unique<ReplayOption>();
        if (std::string error = readOptionLine(text, *option); !error.empty()) return error;
        option->title = titleFor(option->name);
        optionIndent_ = indent;
        current_ = option.get();
        return add(std::move(option));
    }

    std::string add(std::unique_ptr<ReplayOption> option) {
        if (device_.options.size() > kMaxOptions) return "more than 1000 options";
        device_.options.push_back(std::move(option));
        return {};
    }

    const std::vector<std::string>& lines_;
    ReplayDevice& device_;
    std::size_t next_ = 0;
    std::size_t optionIndent_ = 0;
    bool section_ = false;
    ReplayOption* current_ = nullptr;
};

}  // namespace

std::unique_ptr<ReplayDevice> readListing(const std::string& text, std::string& error) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    auto device = std::make_unique<ReplayDevice>();
    if (!readHeader(lines, *device, error)) return nullptr;
    auto count = std::make_unique<ReplayOption>();
    count->title = SANE_TITLE_NUM_OPTIONS;
    count->description = SANE_DESC_NUM_OPTIONS;
    count->cap = SANE_CAP_SOFT_DETECT;
    device->options.push_back(std::move(count));
    if (!BodyReader(lines, *device).read(error)) return nullptr;
    if (device->name.empty()) device->name = device->backend + ":replay";
    device->options.front()->numbers.assign(1, static_cast<double>(device->options.size()));
    bool flatbed = true;
    for (const auto& option : device->options)
        if (option->name == SANE_NAME_SCAN_SOURCE) {
            flatbed = false;
            for (const std::string& entry : option->strings)
                if (entry.find("ADF") == std::string::npos &&
                    entry.find("Feeder") == std::string::npos)
                    flatbed = true;
        }
    device->type = flatbed ? "flatbed scanner" : "sheetfed scanner";
    for (const auto& option : device->options) option->publish();
    return device;
}

std::unique_ptr<ReplayDevice> readListingFile(const std::string& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open it";
        return nullptr;
    }
    std::string text;
    char buffer[4096];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        text.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (text.size() > kMaxBytes) {
            error = "larger than 1 MiB";
            return nullptr;
        }
    }
    return readListing(text, error);
}

}  // namespace tarnwick::replay
