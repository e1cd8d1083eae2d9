#include "escl/escl_url.h"

namespace tarnwick {

namespace {

constexpr std::string_view kScheme = "http://";

}  // namespace

std::optional<EsclAddress> parseEsclUrl(std::string_view url) {
    if (!isEsclUrl(url)) return std::nullopt;
    url.remove_prefix(kScheme.size());
    const std::size_t slash = url.find('/');
    std::string_view authority = url.substr(0, slash);
    const std::string_view path = slash == std::string_view::npos ? "" : url.substr(slash);
    EsclAddress address;
    std::string_view portText;
    if (!authority.empty() && authority.front() == '[') {
        const std::size_t close = authority.find(']');
        if (close == std::string_view::npos) return std::nullopt;
        address.host = std::string(authority.substr(1, close - 1));
        const std::string_view rest = authority.substr(close + 1);
        if (!rest.empty() && rest.front() != ':') return std::nullopt;
        if (!rest.empty()) portText = rest.substr(1);
    } else {
        const std::size_t colon = authority.find(':');
        address.host = std::string(authority.substr(0, colon));
        if (colon != std::string_view::npos) portText = authority.substr(colon + 1);
    }
    if (address.host.empty()) return std::nullopt;
    if (!portText.empty()) {
        if (portText.size() > 5) return std::nullopt;
        int port = 0;
        for (char c : portText) {
            if (c < '0' || c > '9') return std::nullopt;
            port = port * 10 + (c - '0');
        }
        if (port < 1 || port > 65535) return std::nullopt;
        address.port = port;
    }
    const std::string trimmed = slash == std::string_view::npos ? "eSCL" : trimmedSlashes(path);
    address.basePath = trimmed.empty() ? "" : std::string("/") + trimmed;
    return address;
}

std::string jobPathOf(std::string_view location, const std::string& basePath) {
    const std::size_t scheme = location.find("://");
    if (scheme != std::string_view::npos) {
        // Only the path: the host part may be wrong or cut short.
        const std::size_t slash = location.find('/', scheme + 3);
        location = slash == std::string_view::npos ? "" : location.substr(slash);
    }
    std::string path = trimmedSlashes(location);
    if (path.empty()) return {};
    if (location.front() == '/') return std::string("/") + path;
    // Relative to the scanner's base ("ScanJobs/12").
    return basePath + "/" + path;
}

}  // namespace tarnwick
