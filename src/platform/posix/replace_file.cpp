#include <cstdio>

#include "platform/output_file.h"

namespace platform {

bool replaceFile(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

}  // namespace platform
