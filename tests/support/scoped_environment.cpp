#include "support/scoped_environment.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace testing_support {
namespace {

std::optional<std::string> current(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    if (!value) return std::nullopt;
    return std::string(value);
}

void applyValue(const std::string& name, const std::optional<std::string>& value) {
#ifdef _WIN32
    // An empty value removes the variable; _putenv_s also updates the process environment.
    _putenv_s(name.c_str(), value ? value->c_str() : "");
#else
    if (value)
        setenv(name.c_str(), value->c_str(), 1);
    else
        unsetenv(name.c_str());
#endif
}

}  // namespace

ScopedEnvironment::~ScopedEnvironment() {
    for (const auto& [name, value] : saved_) applyValue(name, value);
}

void ScopedEnvironment::remember(const std::string& name) {
    if (!saved_.count(name)) saved_[name] = current(name);
}

void ScopedEnvironment::set(const std::string& name, const std::string& value) {
    remember(name);
    applyValue(name, value);
}

void ScopedEnvironment::unset(const std::string& name) {
    remember(name);
    applyValue(name, std::nullopt);
}

TemporaryFolder::TemporaryFolder() {
    static std::atomic<unsigned> counter{0};
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    path_ = std::filesystem::temp_directory_path() /
            ("tarnwick-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(path_);
}

TemporaryFolder::~TemporaryFolder() {
    std::error_code ignored;
    // Read-only files inside must not keep the folder alive.
    for (const auto& entry : std::filesystem::recursive_directory_iterator(path_, ignored))
        std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::string TemporaryFolder::file(const std::string& relative) const {
    return (path_ / relative).make_preferred().string();
}

std::string readWholeFile(const std::string& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeWholeFile(const std::string& path, const std::string& content) {
    std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    out << content;
}

}  // namespace testing_support
