#include "platform/profile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <ctime>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/file_attributes.h"
#include "platform/posix/ini_document.h"
#include "platform/posix/profile_text.h"

namespace platform {
namespace {

// A settings file is a few kilobytes; a larger one is not read past this, and not rewritten.
constexpr std::size_t kMaxFileSize = 16 * 1024 * 1024;

struct FileText {
    enum State { missing, readable, unreadable } state = missing;
    bool complete = true;
    std::string content;
};

// Only a file that does not exist may be created in its place: one that cannot be read (no
// permission, not a regular file) is never written over. A FIFO is not waited on.
FileText readFile(const std::string& path) {
    FileText file;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        file.state = errno == ENOENT || errno == ENOTDIR ? FileText::missing : FileText::unreadable;
        return file;
    }
    struct stat info {};
    file.state = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) ? FileText::readable
                                                                  : FileText::unreadable;
    // Read in pieces: the size on disk may change under us and must not size the buffer.
    char chunk[8192];
    while (file.state == FileText::readable) {
        ssize_t count = ::read(fd, chunk, sizeof chunk);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) file.state = FileText::unreadable;
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
    if (file.state == FileText::unreadable) file.content.clear();
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

// Serialises read-modify-rename among processes, so that no process renames its copy over
// keys another has just written. The lock is on the folder: the file itself is replaced. A
// lock held for longer than kLockWaitMs (a hung writer) fails the write.
class FolderLock {
  public:
    explicit FolderLock(const std::string& path) {
        const std::size_t slash = path.rfind('/');
        const std::string folder = slash == std::string::npos ? "."
                                   : slash == 0               ? "/"
                                                              : path.substr(0, slash);
        fd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        // A folder that does not exist holds no file to lose; the write fails by itself.
        if (fd_ < 0) {
            locked_ = true;
            return;
        }
        for (int waited = 0; waited <= kLockWaitMs; waited += kLockPollMs) {
            if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
                locked_ = true;
                return;
            }
            if (errno != EWOULDBLOCK && errno != EINTR) return;
            ::usleep(kLockPollMs * 1000);
        }
    }
    ~FolderLock() {
        if (fd_ >= 0) ::close(fd_);
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    bool locked() const { return locked_; }

  private:
    static constexpr int kLockWaitMs = 5000;
    static constexpr int kLockPollMs = 5;
    int fd_ = -1;
    bool locked_ = false;
};

// Parsed files by path, trusted while the file keeps its identity, size and modification time:
// a session reads the settings many times, and a large file would be parsed each time. A file
// modified within the last kRacySeconds is not kept, as a change in the same clock tick would
// leave its time as it was.
class ParseCache {
  public:
    std::shared_ptr<const IniDocument> load(const std::string& path) {
        struct stat info {};
        const bool found = ::stat(path.c_str(), &info) == 0;
        std::lock_guard lock(mutex_);
        if (found)
            for (const Entry& e : entries_)
                if (e.path == path && same(e.info, info)) return e.document;
        drop(path);
        const FileText file = readFile(path);
        auto document = std::make_shared<const IniDocument>(decodeProfileText(file.content).utf8);
        if (found && file.state == FileText::readable && settled(info)) {
            if (entries_.size() == kEntries) entries_.erase(entries_.begin());
            entries_.push_back({path, info, document});
        }
        return document;
    }
    void forget(const std::string& path) {
        std::lock_guard lock(mutex_);
        drop(path);
    }

  private:
    struct Entry {
        std::string path;
        struct stat info;
        std::shared_ptr<const IniDocument> document;
    };
    static constexpr std::size_t kEntries = 8;
    static constexpr long kRacySeconds = 2;
    static bool same(const struct stat& a, const struct stat& b) {
        return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
               a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
    }
    static bool settled(const struct stat& info) {
        return ::time(nullptr) - info.st_mtim.tv_sec > kRacySeconds;
    }
    void drop(const std::string& path) {
        std::erase_if(entries_, [&](const Entry& e) { return e.path == path; });
    }
    std::mutex mutex_;
    std::vector<Entry> entries_;
};

ParseCache& parseCache() {
    static ParseCache cache;
    return cache;
}

// Applies a change to the file; a change that alters nothing leaves the file as it is.
bool modify(const std::string& path, const std::function<bool(IniDocument&)>& change) {
    const FolderLock lock(path);
    if (!lock.locked()) return false;
    FileText file = readFile(path);
    if (file.state == FileText::unreadable) return false;
    if (file.state == FileText::readable && (!file.complete || fileIsReadOnly(path))) return false;
    const ProfileText text = decodeProfileText(file.content);
    IniDocument document(text.utf8);
    if (!change(document)) return true;
    parseCache().forget(path);
    return replaceFile(path, encodeProfileText(document.text(), text.encoding));
}

std::shared_ptr<const IniDocument> load(const std::string& path) {
    return parseCache().load(path);
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
    std::optional<std::string> value = load(path)->value(section, key);
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
    return load(path)->sectionNames();
}

std::vector<std::string> profileKeyNames(const std::string& path, const std::string& section) {
    return load(path)->keyNames(section);
}

std::vector<ProfileEntry> profileSectionEntries(const std::string& path,
                                                const std::string& section) {
    return load(path)->entries(section);
}

}  // namespace platform
