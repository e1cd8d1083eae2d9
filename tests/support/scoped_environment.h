// Test helpers: environment variables set for one test and a private temporary folder.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>

namespace testing_support {

// Sets or unsets variables; the destructor gives every touched variable its old value back.
class ScopedEnvironment {
  public:
    ScopedEnvironment() = default;
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
    ~ScopedEnvironment();

    void set(const std::string& name, const std::string& value);
    void unset(const std::string& name);

  private:
    void remember(const std::string& name);
    std::map<std::string, std::optional<std::string>> saved_;
};

// A fresh, empty folder under the system's temporary folder, removed with everything in it.
class TemporaryFolder {
  public:
    TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    ~TemporaryFolder();

    const std::filesystem::path& path() const { return path_; }
    // A path inside the folder (the tests use ASCII names only).
    std::string file(const std::string& relative) const;

  private:
    std::filesystem::path path_;
};

// Whole-file helpers for the tests' own view of a file.
std::string readWholeFile(const std::string& path);
void writeWholeFile(const std::string& path, const std::string& content);

}  // namespace testing_support
