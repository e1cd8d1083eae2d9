// A small XML reader for what scanners send: elements, attributes, text, namespaces. It takes
// no document type and expands no entity beyond the five predefined ones and character
// references, and bounds the input, the depth and the number of elements.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarnwick {

inline constexpr std::size_t kMaxXmlBytes = 1 << 20;
inline constexpr int kMaxXmlDepth = 32;
inline constexpr std::size_t kMaxXmlElements = 20000;

struct XmlElement {
    std::string ns;    // the namespace URI of the prefix ("" for none)
    std::string name;  // the local name, without prefix
    std::vector<std::pair<std::string, std::string>> attributes;  // local names
    std::string text;  // the character data directly inside, trimmed
    std::vector<XmlElement> children;

    // Devices differ in which prefix, or none, they put on an element: children are found by
    // local name. The first such child, or null.
    const XmlElement* child(std::string_view localName) const;
    std::vector<const XmlElement*> childrenNamed(std::string_view localName) const;
    // The trimmed text of the first such child; "" when absent.
    std::string childText(std::string_view localName) const;
    // The first element at this path of local names below this one, or null.
    const XmlElement* find(std::initializer_list<std::string_view> path) const;
};

struct XmlResult {
    std::optional<XmlElement> root;
    std::string error;  // why there is no root (for the debug log)
};

XmlResult parseXml(std::string_view text);

}  // namespace tarnwick
