#include "escl/xml_reader.h"

#include <cstdint>

#include "base/text.h"

namespace tarnwick {

namespace {

using Scope = std::vector<std::pair<std::string, std::string>>;  // prefix, URI

bool isNameChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    return std::isalnum(u) || c == '_' || c == '-' || c == '.' || c == ':' || u >= 0x80;
}

void appendUtf8(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

class Parser {
  public:
    explicit Parser(std::string_view text) : text_(text) {}

    XmlResult run() {
        XmlResult result;
        if (text_.size() > kMaxXmlBytes) return fail("document too large");
        if (text_.substr(0, 3) == "\xEF\xBB\xBF") pos_ = 3;
        if (!skipMisc()) return fail(error_);
        if (!at("<")) return fail("no root element");
        XmlElement root;
        Scope scope;
        if (!element(root, 1, scope)) return fail(error_);
        if (!skipMisc() || pos_ != text_.size())
            return fail(error_.empty() ? "text after the root" : error_);
        result.root = std::move(root);
        return result;
    }

  private:
    XmlResult fail(std::string why) {
        XmlResult result;
        result.error = std::move(why);
        return result;
    }
    bool error(const char* why) {
        if (error_.empty()) error_ = why;
        return false;
    }
    bool at(std::string_view token) const { return text_.substr(pos_, token.size()) == token; }
    void skipSpace() {
        while (pos_ < text_.size() && base::kSpaces.find(text_[pos_]) != std::string_view::npos)
            ++pos_;
    }
    // Past the next `end`; false when it never comes.
    bool skipPast(std::string_view end) {
        const std::size_t found = text_.find(end, pos_);
        if (found == std::string_view::npos) return error("unterminated markup");
        pos_ = found + end.size();
        return true;
    }
    // Comments, processing instructions and blanks between the top-level parts.
    bool skipMisc() {
        for (;;) {
            skipSpace();
            if (at("<?")) {
                if (!skipPast("?>")) return false;
            } else if (at("<!--")) {
                if (!skipPast("-->")) return false;
            } else if (at("<!")) {
                // A document type may declare entities: refused whole.
                return error("document type declarations are refused");
            } else {
                return true;
            }
        }
    }
    bool name(std::string& out) {
        const std::size_t start = pos_;
        while (pos_ < text_.size() && isNameChar(text_[pos_])) ++pos_;
        if (pos_ == start) return error("name expected");
        out.assign(text_.substr(start, pos_ - start));
        return true;
    }
    // Character data up to `stop`, references replaced.
    bool characters(std::string& out, char stop) {
        while (pos_ < text_.size() && text_[pos_] != stop && text_[pos_] != '<') {
            if (text_[pos_] != '&') {
                out += text_[pos_++];
                continue;
            }
            const std::size_t semi = text_.find(';', pos_);
            if (semi == std::string_view::npos || semi - pos_ > 12) return error("bad reference");
            const std::string_view ref = text_.substr(pos_ + 1, semi - pos_ - 1);
            pos_ = semi + 1;
            if (ref == "amp")
                out += '&';
            else if (ref == "lt")
                out += '<';
            else if (ref == "gt")
                out += '>';
            else if (ref == "quot")
                out += '"';
            else if (ref == "apos")
                out += '\'';
            else if (!charReference(ref, out))
                return false;
        }
        return true;
    }
    bool charReference(std::string_view ref, std::string& out) {
        if (ref.size() < 2 || ref[0] != '#') return error("entity references are refused");
        const bool hex = ref[1] == 'x';
        std::uint32_t code = 0;
        const std::string_view digits = ref.substr(hex ? 2 : 1);
        if (digits.empty()) return error("bad character reference");
        for (char c : digits) {
            const auto u = static_cast<unsigned char>(c);
            const int digit = std::isdigit(u)                ? c - '0'
                              : hex && std::isxdigit(u) != 0 ? std::tolower(u) - 'a' + 10
                                                             : -1;
            if (digit < 0) return error("bad character reference");
            code = code * (hex ? 16 : 10) + static_cast<std::uint32_t>(digit);
            if (code > 0x10FFFF) return error("bad character reference");
        }
        if (code == 0) return error("bad character reference");
        appendUtf8(out, code);
        return true;
    }
    static std::string uriOf(const Scope& scope, const std::string& prefix) {
        for (auto it = scope.rbegin(); it != scope.rend(); ++it)
            if (it->first == prefix) return it->second;
        return {};
    }
    static std::string localOf(const std::string& qname) {
        const std::size_t colon = qname.find(':');
        return colon == std::string::npos ? qname : qname.substr(colon + 1);
    }
    static std::string prefixOf(const std::string& qname) {
        const std::size_t colon = qname.find(':');
        return colon == std::string::npos ? std::string{} : qname.substr(0, colon);
    }

    bool attributes(XmlElement& out, Scope& scope) {
        for (;;) {
            skipSpace();
            if (pos_ >= text_.size()) return error("unterminated tag");
            if (text_[pos_] == '>' || at("/>")) return true;
            std::string key;
            if (!name(key)) return false;
            skipSpace();
            if (!at("=")) return error("attribute without value");
            ++pos_;
            skipSpace();
            if (pos_ >= text_.size() || (text_[pos_] != '"' && text_[pos_] != '\''))
                return error("unquoted attribute");
            const char quote = text_[pos_++];
            std::string value;
            if (!characters(value, quote)) return false;
            if (pos_ >= text_.size() || text_[pos_] != quote)
                return error("unterminated attribute");
            ++pos_;
            if (out.attributes.size() >= 64) return error("too many attributes");
            if (key == "xmlns")
                scope.emplace_back("", value);
            else if (key.compare(0, 6, "xmlns:") == 0)
                scope.emplace_back(key.substr(6), value);
            else
                out.attributes.emplace_back(localOf(key), std::move(value));
        }
    }

    bool element(XmlElement& out, int depth, const Scope& outer) {
        if (depth > kMaxXmlDepth) return error("nested too deeply");
        if (++elements_ > kMaxXmlElements) return error("too many elements");
        ++pos_;  // '<'
        std::string qname;
        if (!name(qname)) return false;
        Scope scope = outer;
        if (!attributes(out, scope)) return false;
        out.name = localOf(qname);
        out.ns = uriOf(scope, prefixOf(qname));
        if (at("/>")) {
            pos_ += 2;
            return true;
        }
        ++pos_;  // '>'
        std::string text;
        for (;;) {
            if (!characters(text, '<')) return false;
            if (pos_ >= text_.size()) return error("unterminated element");
            if (at("</")) {
                pos_ += 2;
                std::string closing;
                if (!name(closing)) return false;
                if (closing != qname) return error("mismatched end tag");
                skipSpace();
                if (!at(">")) return error("bad end tag");
                ++pos_;
                out.text = base::trim(text, base::kSpaces);
                return true;
            }
            if (at("<!--")) {
                if (!skipPast("-->")) return false;
            } else if (at("<![CDATA[")) {
                const std::size_t start = pos_ + 9;
                if (!skipPast("]]>")) return false;
                text.append(text_.substr(start, pos_ - 3 - start));
            } else if (at("<?")) {
                if (!skipPast("?>")) return false;
            } else if (at("<!")) {
                return error("declarations are refused");
            } else {
                out.children.emplace_back();
                if (!element(out.children.back(), depth + 1, scope)) return false;
            }
        }
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    std::size_t elements_ = 0;
    std::string error_;
};

}  // namespace

const XmlElement* XmlElement::child(std::string_view localName) const {
    for (const XmlElement& c : children)
        if (c.name == localName) return &c;
    return nullptr;
}

std::vector<const XmlElement*> XmlElement::childrenNamed(std::string_view localName) const {
    std::vector<const XmlElement*> found;
    for (const XmlElement& c : children)
        if (c.name == localName) found.push_back(&c);
    return found;
}

std::string XmlElement::childText(std::string_view localName) const {
    const XmlElement* c = child(localName);
    return c ? c->text : std::string{};
}

const XmlElement* XmlElement::find(std::initializer_list<std::string_view> path) const {
    const XmlElement* at = this;
    for (std::string_view step : path)
        if (!(at = at->child(step))) return nullptr;
    return at;
}

XmlResult parseXml(std::string_view text) {
    return Parser(text).run();
}

}  // namespace tarnwick
