// tarnwick-scan: plays a TWAIN application against a data source file.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "commands.h"

namespace {

struct Command {
    const char* name;
    const char* usage;
    int (*run)(const std::vector<std::string>& args);
};

const Command kCommands[] = {
    {"identity", "identity PATH    print the identity the data source reports",
     harness::runIdentity},
    {"acquire", "acquire DS [OPTIONS]    take every image the source offers and write it to a file",
     harness::runAcquire},
    {"discover",
     "discover [--timeout MS] [--resolve NAME]    list the services found on the network",
     harness::runDiscover},
};

void printUsage() {
    std::fprintf(stderr, "usage: tarnwick-scan COMMAND ARGS...\ncommands:\n");
    for (const Command& command : kCommands) std::fprintf(stderr, "  %s\n", command.usage);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        printUsage();
        return 2;
    }
    for (const Command& command : kCommands) {
        if (std::strcmp(argv[1], command.name) == 0)
            return command.run(std::vector<std::string>(argv + 2, argv + argc));
    }
    std::fprintf(stderr, "tarnwick-scan: unknown command '%s'\n", argv[1]);
    printUsage();
    return 2;
}
