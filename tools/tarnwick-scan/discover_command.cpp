// tarnwick-scan discover [--timeout MS] [--resolve NAME]: the services a multicast DNS search
// finds, one line each (kind, instance, host, address, port, tab-separated), or the address of
// one ".local" host.
#include <cstdio>
#include <string>

#include "base/whole_number.h"
#include "commands.h"
#include "discovery/service_browser.h"

namespace harness {

namespace {

int usage() {
    std::fprintf(stderr, "usage: tarnwick-scan discover [--timeout MS] [--resolve NAME]\n");
    return 2;
}

}  // namespace

int runDiscover(const std::vector<std::string>& args) {
    tarnwick::SearchOptions options;
    std::string resolve;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (i + 1 >= args.size()) return usage();
        if (args[i] == "--timeout") {
            const auto ms = base::parseWhole<int>(args[++i]);
            if (!ms || *ms < 1 || *ms > 60000) return usage();
            options.totalMs = *ms;
        } else if (args[i] == "--resolve") {
            resolve = args[++i];
        } else {
            return usage();
        }
    }
    if (!resolve.empty()) {
        const auto address = tarnwick::resolveLocalHost(resolve, options);
        if (!address) {
            std::fprintf(stderr, "tarnwick-scan: %s did not answer\n", resolve.c_str());
            return 1;
        }
        std::printf("%s\n", address->c_str());
        return 0;
    }
    using tarnwick::ServiceKind;
    for (const tarnwick::FoundService& service : tarnwick::findServices(
             {ServiceKind::sane, ServiceKind::escl, ServiceKind::escls}, options))
        std::printf("%s\t%s\t%s\t%s\t%d\n", tarnwick::serviceKindText(service.kind).c_str(),
                    service.instance.c_str(), service.host.c_str(),
                    service.addresses.empty() ? "-" : service.addresses.front().c_str(),
                    service.port);
    std::fflush(stdout);
    return 0;
}

}  // namespace harness
