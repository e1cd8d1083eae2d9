#include "platform/profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <functional>
#include <optional>

#include "platform/file_attributes.h"
#include "platform/posix/ini_document.h"

namespace platform {
namespace {

// A settings file is a few kilobytes; a larger one is not read past this, and not rewritten.
constexpr std::size_t kMaxFileSize = 16 * 1024 * 1024;

struct FileText {
    bool exists = false;
    bool complete = true;
    std::string content;
};

FileText readFile(const std::string& path) {
    FileText file;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return file;
    file.exists = true;
    // Read in pieces: the size on disk may change under us and must not size the buffer.
    char chunk[8192];
    for (;;) {
        ssize_t count = ::read(fd, chunk, sizeof chunk);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) break;
        std::size_t room = kMaxFileSize - file.content.size();
        if (static_cast<std::size_t>(count) > room) {
            file.content.append(chunk, room);
            file.complete = false;
            break;
        }
        file.content.append(chunk, static_cast<std::size_t>(count));
    }
    ::close(fd);
    return file;
}

bool writeAll(int fd, const std::string& content) {
    std::size_t done = 0;
    while (done < content.size()) {
        ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool writeInPlace(const std::string& path, const std::string& content) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    bool ok = writeAll(fd, content);
    return ::close(fd) == 0 && ok;
}

// Readers in other processes see the old file or the new one, never a half-written one.
bool replaceFile(const std::string& path, const std::string& content) {
    struct stat info {};
    bool exists = ::lstat(path.c_str(), &info) == 0;
    if (exists && S_ISLNK(info.st_mode)) return writeInPlace(path, content);

    static std::atomic<unsigned> counter{0};
    std::string temporary =
        path + ".~" + std::to_string(::getpid()) + "." + std::to_string(counter++);
    int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    // A folder that refuses new files may still hold a writable file.
    if (fd < 0) return exists && writeInPlace(path, content);
    bool ok = writeAll(fd, content);
    if (ok && exists) ok = ::fchmod(fd, info.st_mode & 07777) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok && ::rename(temporary.c_str(), path.c_str()) == 0) return true;
    ::unlink(temporary.c_str());
    return false;
}

// Applies a change to the file; a change that alters nothing leaves the file as it is.
bool modify(const std::string& path, const std::function<bool(IniDocument&)>& change) {
    FileText file = readFile(path);
    if (file.exists && (!file.complete || fileIsReadOnly(path))) return false;
    IniDocument document(file.content);
    if (!change(document)) return true;
    return replaceFile(path, document.text());
}

IniDocument load(const std::string& path) {
    return IniDocument(readFile(path).content);
}

std::string withoutQuotes(std::string value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// Cuts after `limit` characters without splitting a UTF-8 sequence.
std::string cutToCharacters(std::string text, std::size_t limit) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
        if (characters++ == limit) {
            text.resize(i);
            break;
        }
    }
    return text;
}

}  // namespace

std::string readProfileString(const std::string& path, const std::string& section,
                              const std::string& key, const std::string& fallback) {
    std::optional<std::string> value = load(path).value(section, key);
    return cutToCharacters(value ? withoutQuotes(*value) : fallback, kProfileValueLimit);
}

bool writeProfileString(const std::string& path, const std::string& section, const std::string& key,
                        const std::string& value) {
    return modify(path, [&](IniDocument& document) { return document.set(section, key, value); });
}

bool deleteProfileKey(const std::string& path, const std::string& section, const std::string& key) {
    return modify(path, [&](IniDocument& document) { return document.removeKey(section, key); });
}

bool eraseProfileSection(const std::string& path, const std::string& section) {
    return modify(path, [&](IniDocument& document) { return document.removeSection(section); });
}

std::vector<std::string> profileSectionNames(const std::string& path) {
    return load(path).sectionNames();
}

std::vector<std::string> profileKeyNames(const std::string& path, const std::string& section) {
    return load(path).keyNames(section);
}

std::vector<ProfileEntry> profileSectionEntries(const std::string& path,
                                                const std::string& section) {
    return load(path).entries(section);
}

}  // namespace platform
