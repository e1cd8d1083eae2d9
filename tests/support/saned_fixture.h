// A private saned with the SANE test backend on a free loopback port, and the local
// scanimage over the same configuration, for the tests against a real daemon.
#pragma once

#include <sys/types.h>
#include <string>
#include <utility>
#include <vector>

namespace tarnwick::testing {

// scanimage reaches saned through the net backend only on the port /etc/services names.
inline constexpr int kSanePort = 6566;

// The account saned.users grants when the fixture protects the test backend.
inline constexpr const char* kSanedUser = "user";
inline constexpr const char* kSanedPassword = "password";

// What the fixture's daemon serves. By default the SANE test backend with the fixture's test.conf.
struct SanedSetup {
    // saned.users restricts the test backend to kSanedUser / kSanedPassword.
    bool protect = false;
    // 0: a free loopback port.
    int port = 0;
    // Appended to test.conf, so they override its defaults ("enable-test-options true",
    // "read-return-value SANE_STATUS_JAMMED").
    std::vector<std::string> testConf;
    // A device listing for the replay backend, which saned then loads in place of the SANE
    // library (see replayLibraryDir()); the test backend is not served.
    std::string replayListing;
    // Set for saned only (SANE_REPLAY_NAME, SANE_REPLAY_PAGES, SANE_REPLAY_STATUS).
    std::vector<std::pair<std::string, std::string>> environment;
};

class SanedFixture {
  public:
    // Writes the configuration into a fresh temporary folder and starts saned on a free port,
    // or on `port` when one is given. With protect, saned.users restricts the test backend to
    // kSanedUser / kSanedPassword.
    explicit SanedFixture(bool protect = false, int port = 0);
    explicit SanedFixture(const SanedSetup& setup);
    // Stops saned by its process id and removes the folder.
    ~SanedFixture();
    SanedFixture(const SanedFixture&) = delete;
    SanedFixture& operator=(const SanedFixture&) = delete;

    // True when saned accepts connections; otherwise error() says why.
    bool running() const { return pid_ > 0; }
    const std::string& error() const { return error_; }
    int port() const { return port_; }
    pid_t pid() const { return pid_; }
    const std::string& configDir() const { return configDir_; }
    // The daemon quit on a signal: the test backend's reader thread writes into the pipe that a
    // cancel has just closed, and saned's handler for SIGPIPE ends the session. A peer fault.
    bool diedOfSignal() const;

  private:
    bool writeConfig();
    bool startOnce(int port);
    void stop();

    SanedSetup setup_;
    std::string configDir_;
    std::string error_;
    int port_ = 0;
    pid_t pid_ = -1;
};

// The test backend's settings with that test picture, written out so that nothing depends on
// /etc/sane.d.
std::string testBackendConf(const std::string& picture);
// A free loopback port (0 when none could be probed).
int freeLoopbackPort();

// The folder of the replay backend's libsane.so.1 in this build.
std::string replayLibraryDir();

// What scanimage's option listing tells of an option's type. It prints integers and
// fixed-point numbers alike where no value has a fraction, so such numbers stay `number`.
enum class ListedKind { group, boolean, integer, fixed, number, string, button };

struct ListedOption {
    std::string name;   // empty for a group
    std::string title;  // groups only
    ListedKind kind;
};

// Runs `scanimage -A -d device` with the fixture's configuration (the test backend used
// locally, without saned) and parses its option listing; empty when scanimage failed.
std::vector<ListedOption> scanimageOptions(const std::string& configDir,
                                           const std::string& device = "test");
// The parser alone, for the listing text.
std::vector<ListedOption> parseScanimageListing(const std::string& listing);

}  // namespace tarnwick::testing
