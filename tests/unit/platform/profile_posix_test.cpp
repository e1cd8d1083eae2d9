// The Linux settings file layer beyond what the Windows functions share with it: files it must
// not write over, writers in several processes, the parse cache and the Windows encodings.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "platform/profile.h"
#include "support/scoped_environment.h"

namespace {

using testing_support::readWholeFile;
using testing_support::TemporaryFolder;
using testing_support::writeWholeFile;

class ProfilePosix : public ::testing::Test {
  protected:
    std::string read(const std::string& section, const std::string& key) {
        return platform::readProfileString(path, section, key, "<default>");
    }
    // Sets the file's modification time to seconds ago.
    void age(int seconds) {
        const timeval then{::time(nullptr) - seconds, 0};
        const timeval times[2] = {then, then};
        ASSERT_EQ(::utimes(path.c_str(), times), 0);
    }
    TemporaryFolder folder;
    std::string path = folder.file("test.ini");
};

TEST_F(ProfilePosix, AFileThatCannotBeReadIsNeverWrittenOver) {
    // A FIFO stands for any file that exists but cannot be read: root reads every mode.
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    EXPECT_EQ(read("S", "k"), "<default>") << "and no wait for a writer";
    EXPECT_FALSE(platform::writeProfileString(path, "S", "k", "1"));
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    if (::geteuid() == 0) return;
    const std::string secret = folder.file("secret.ini");
    writeWholeFile(secret, "[S]\nkept=1\n");
    ::chmod(secret.c_str(), 0);
    EXPECT_FALSE(platform::writeProfileString(secret, "S", "k", "1"));
    ::chmod(secret.c_str(), 0600);
    EXPECT_EQ(readWholeFile(secret), "[S]\nkept=1\n");
}

TEST_F(ProfilePosix, WritersInSeveralProcessesLoseNoKey) {
    constexpr int kKeys = 150;
    pid_t children[2];
    for (int c = 0; c < 2; ++c) {
        children[c] = ::fork();
        ASSERT_GE(children[c], 0);
        if (children[c] == 0) {
            bool ok = true;
            for (int k = 0; k < kKeys; ++k) {
                // Appended, not joined to a literal: g++ 12 warns falsely on "p" + string&&.
                std::string key = "p";
                key.append(std::to_string(c)).append("k").append(std::to_string(k));
                ok = platform::writeProfileString(path, "S", key, "1") && ok;
            }
            ::_exit(ok ? 0 : 1);
        }
    }
    for (pid_t child : children) {
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(platform::profileKeyNames(path, "S").size(), 2u * kKeys);
}

TEST_F(ProfilePosix, ParsedFilesAreKeptWhileIdentitySizeAndTimeStay) {
    writeWholeFile(path, "[S]\nk=1\n");
    age(10);
    EXPECT_EQ(read("S", "k"), "1");
    // The same size and time: taken for the same file, not read again.
    writeWholeFile(path, "[S]\nk=2\n");
    age(10);
    EXPECT_EQ(read("S", "k"), "1");
    age(20);
    EXPECT_EQ(read("S", "k"), "2") << "another time is another file";
    writeWholeFile(path, "[S]\nk=33\n");
    age(20);
    EXPECT_EQ(read("S", "k"), "33") << "so is another size";
    EXPECT_TRUE(platform::writeProfileString(path, "S", "k", "4"));
    EXPECT_EQ(read("S", "k"), "4") << "and every write of our own";
}

TEST_F(ProfilePosix, Utf16AndWindows1252FilesReadAndStayInTheirEncoding) {
    // "[S]\r\nName=Grün\r\n" as Notepad's "Unicode", big-endian Unicode, and ANSI.
    const std::string text = "[S]\r\nName=Gr\xC3\xBCn\r\n";
    std::string le = "\xFF\xFE", be = "\xFE\xFF";
    for (unsigned char ch : std::string("[S]\r\nName=Gr\xFCn\r\n")) {
        le += static_cast<char>(ch);
        le += '\0';
        be += '\0';
        be += static_cast<char>(ch);
    }
    for (const std::string& raw : {le, be, std::string("[S]\r\nName=Gr\xFCn \x80\r\n")}) {
        writeWholeFile(path, raw);
        EXPECT_EQ(read("S", "Name").substr(0, 5), "Gr\xC3\xBCn");
        EXPECT_TRUE(platform::writeProfileString(path, "S", "Other", "x"));
        EXPECT_EQ(read("S", "Name").substr(0, 5), "Gr\xC3\xBCn");
        EXPECT_EQ(readWholeFile(path).substr(0, 2), raw.substr(0, 2)) << "the encoding stays";
    }
    EXPECT_EQ(read("S", "Name"), "Gr\xC3\xBCn \xE2\x82\xAC") << "0x80 is the euro sign";
}

}  // namespace
