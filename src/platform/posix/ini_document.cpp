#include "platform/posix/ini_document.h"

#include <algorithm>

#include "platform/trim.h"

namespace platform {
namespace {

// Blanks around names and values; a line ends at '\n'.
std::string_view strip(std::string_view text) {
    return trim(text, " \t\r\v\f");
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

char lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return lower(x) == lower(y); });
}

}  // namespace

IniDocument::IniDocument(std::string_view content) {
    // A UTF-8 byte-order mark would otherwise hide the first section header.
    if (content.substr(0, 3) == kByteOrderMark) {
        content.remove_prefix(3);
        byteOrderMark_ = true;
    }
    if (content.find("\r\n") != std::string_view::npos) newline_ = "\r\n";
    while (!content.empty()) {
        std::size_t end = content.find('\n');
        std::string_view line = content.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines_.push_back(parse(std::string(line)));
        if (end == std::string_view::npos) break;
        content.remove_prefix(end + 1);
    }
}

IniDocument::Line IniDocument::parse(std::string text) {
    Line line;
    std::string_view body = strip(text);
    if (!body.empty() && body.front() == '[') {
        body.remove_prefix(1);
        std::size_t close = body.find(']');
        line.kind = Kind::section;
        line.name = std::string(strip(body.substr(0, close)));
    } else if (!body.empty() && body.front() != ';') {
        std::size_t equals = body.find('=');
        std::string_view name =
            equals == std::string_view::npos ? std::string_view{} : strip(body.substr(0, equals));
        if (!name.empty()) {
            line.kind = Kind::entry;
            line.name = std::string(name);
            line.value = std::string(strip(body.substr(equals + 1)));
        }
    }
    line.text = std::move(text);
    return line;
}

std::string IniDocument::text() const {
    std::string out(byteOrderMark_ ? kByteOrderMark : "");
    for (const Line& line : lines_) {
        out += line.text;
        out += newline_;
    }
    return out;
}

std::optional<std::size_t> IniDocument::findSection(std::string_view section) const {
    for (std::size_t i = 0; i < lines_.size(); ++i)
        if (lines_[i].kind == Kind::section && sameName(lines_[i].name, section)) return i;
    return std::nullopt;
}

std::size_t IniDocument::sectionEnd(std::size_t header) const {
    std::size_t end = header + 1;
    while (end < lines_.size() && lines_[end].kind != Kind::section) ++end;
    return end;
}

std::optional<std::string> IniDocument::value(std::string_view section,
                                              std::string_view key) const {
    auto header = findSection(section);
    if (!header) return std::nullopt;
    for (std::size_t i = *header + 1, end = sectionEnd(*header); i < end; ++i)
        if (lines_[i].kind == Kind::entry && sameName(lines_[i].name, key)) return lines_[i].value;
    return std::nullopt;
}

std::vector<std::string> IniDocument::sectionNames() const {
    // A repeated header is listed again, as Windows lists it.
    std::vector<std::string> names;
    for (const Line& line : lines_)
        if (line.kind == Kind::section) names.push_back(line.name);
    return names;
}

std::vector<std::string> IniDocument::keyNames(std::string_view section) const {
    std::vector<std::string> names;
    for (const ProfileEntry& entry : entries(section)) names.push_back(entry.first);
    return names;
}

std::vector<ProfileEntry> IniDocument::entries(std::string_view section) const {
    std::vector<ProfileEntry> result;
    auto header = findSection(section);
    if (!header) return result;
    for (std::size_t i = *header + 1, end = sectionEnd(*header); i < end; ++i)
        if (lines_[i].kind == Kind::entry) result.emplace_back(lines_[i].name, lines_[i].value);
    return result;
}

bool IniDocument::set(std::string_view section, std::string_view key, std::string_view value) {
    auto header = findSection(section);
    if (!header) {
        std::string header = "[";
        header.append(section).append("]");
        lines_.push_back(parse(std::move(header)));
        lines_.push_back(parse(std::string(key) + "=" + std::string(value)));
        return true;
    }
    std::size_t end = sectionEnd(*header);
    std::size_t insertAt = *header + 1;
    for (std::size_t i = *header + 1; i < end; ++i) {
        Line& line = lines_[i];
        if (line.kind == Kind::entry && sameName(line.name, key)) {
            // The name keeps the spelling it has in the file.
            std::string text = line.name + "=" + std::string(value);
            if (text == line.text) return false;
            line = parse(std::move(text));
            return true;
        }
        if (!strip(line.text).empty()) insertAt = i + 1;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt),
                  parse(std::string(key) + "=" + std::string(value)));
    return true;
}

bool IniDocument::removeKey(std::string_view section, std::string_view key) {
    auto header = findSection(section);
    if (!header) return false;
    // Every copy goes, or deleting would uncover an older duplicate.
    auto first = lines_.begin() + static_cast<std::ptrdiff_t>(*header + 1);
    auto last = lines_.begin() + static_cast<std::ptrdiff_t>(sectionEnd(*header));
    auto kept = std::remove_if(first, last, [&](const Line& line) {
        return line.kind == Kind::entry && sameName(line.name, key);
    });
    if (kept == last) return false;
    lines_.erase(kept, last);
    return true;
}

bool IniDocument::removeSection(std::string_view section) {
    bool changed = false;
    while (auto header = findSection(section)) {
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*header),
                     lines_.begin() + static_cast<std::ptrdiff_t>(sectionEnd(*header)));
        changed = true;
    }
    return changed;
}

}  // namespace platform
