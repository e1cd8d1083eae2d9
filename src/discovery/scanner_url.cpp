#include "discovery/scanner_url.h"

#include "base/text.h"

namespace tarnwick {

namespace {

constexpr std::string_view kScheme = "http://";

}  // namespace

bool isEsclUrl(std::string_view name) {
    return base::lowered(std::string(name.substr(0, kScheme.size()))) == kScheme;
}

std::string trimmedSlashes(std::string_view path) {
    while (!path.empty() && path.front() == '/') path.remove_prefix(1);
    while (!path.empty() && path.back() == '/') path.remove_suffix(1);
    return std::string(path);
}

std::string esclUrl(const std::string& host, int port, const std::string& rs, bool rsGiven) {
    const std::string path = rsGiven ? trimmedSlashes(rs) : "eSCL";
    const bool v6 = host.find(':') != std::string::npos;
    std::string url(kScheme);
    if (v6) url += '[';
    url += host;
    if (v6) url += ']';
    url += ':';
    url += std::to_string(port);
    url += '/';
    url += path;
    return url;
}

std::string foundScannerUrl(const FoundService& scanner) {
    bool rsGiven = false;
    for (const auto& [key, value] : scanner.txt) rsGiven = rsGiven || base::lowered(key) == "rs";
    return esclUrl(scanner.host, scanner.port, scanner.txtValue("rs"), rsGiven);
}

std::string scannerName(const FoundService& scanner) {
    const std::string ty = scanner.txtValue("ty");
    return ty.empty() ? scanner.instance : ty;
}

}  // namespace tarnwick
