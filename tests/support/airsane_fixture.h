// AirSane, a real eSCL server, on a free loopback port over the SANE test backend of a private
// configuration folder, unannounced; scanimage reads the same backend for comparison.
#pragma once

#include <sys/types.h>
#include <string>

namespace tarnwick::testing {

class AirSaneFixture {
  public:
    // Starts the server built into this build folder; `testConf` lines are appended to the test
    // backend's settings.
    explicit AirSaneFixture(const std::string& testConf = {});
    // Stops it by its process group and removes the folder.
    ~AirSaneFixture();
    AirSaneFixture(const AirSaneFixture&) = delete;
    AirSaneFixture& operator=(const AirSaneFixture&) = delete;

    bool running() const { return pid_ > 0; }
    // Why it is not running; a skip when no server was built.
    const std::string& error() const { return error_; }
    bool built() const;
    int port() const { return port_; }
    // "http://127.0.0.1:PORT/eSCL": the first device of the test backend.
    std::string url() const;
    const std::string& configDir() const { return configDir_; }
    // A GET on the server: the body, "" on any failure.
    std::string get(const std::string& path) const;

  private:
    bool startOnce(int port);

    std::string configDir_, error_;
    int port_ = 0;
    pid_t pid_ = -1;
};

}  // namespace tarnwick::testing
