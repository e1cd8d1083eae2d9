// An eSCL scanner scripted on loopback, for what no real server here offers (black and white,
// JPEG only): its capabilities as given, a job per ScanJobs request whose documents are the
// pages given, then 404; one request per connection, each closed after its answer. It records
// the ScanSettings of every job.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tarnwick::testing {

struct ScriptedPage {
    std::string contentType;  // "image/png"
    std::string body;
};

class ScriptedEsclScanner {
  public:
    // Listens on 127.0.0.1, on a free port.
    explicit ScriptedEsclScanner(std::string capabilities);
    ~ScriptedEsclScanner();
    ScriptedEsclScanner(const ScriptedEsclScanner&) = delete;
    ScriptedEsclScanner& operator=(const ScriptedEsclScanner&) = delete;

    // "http://127.0.0.1:PORT/eSCL".
    std::string url() const;
    // The documents of every job made from now on.
    void setPages(std::vector<ScriptedPage> pages);
    // The ScanSettings bodies of the jobs so far.
    std::vector<std::string> jobSettings();

  private:
    void run();
    void answer(int fd);

    std::string capabilities_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::mutex mutex_;
    std::vector<ScriptedPage> pages_;
    std::vector<std::string> settings_;
    std::vector<std::size_t> served_;  // pages served per job
    std::thread thread_;
};

// Capabilities of a flatbed of 2362 x 2362 (1/300 inch) with these colour modes, resolutions
// and document formats.
std::string scriptedCapabilities(const std::vector<std::string>& modes,
                                 const std::vector<int>& resolutions,
                                 const std::vector<std::string>& formats);

}  // namespace tarnwick::testing
