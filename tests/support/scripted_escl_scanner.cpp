#include "support/scripted_escl_scanner.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <sstream>
#include <stdexcept>

#include "support/loopback_listener.h"

namespace tarnwick::testing {

namespace {

// Every wait is bounded, so a test that goes wrong still ends.
constexpr int kWaitMs = 5000;
constexpr std::size_t kMaxRequest = 1 << 20;

bool readable(int fd, int ms) {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, ms) > 0;
}

void sendAll(int fd, const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return;
        sent += static_cast<std::size_t>(n);
    }
}

std::string reply(const std::string& status, const std::string& contentType,
                  const std::string& body, const std::string& headers = {}) {
    std::string head = "HTTP/1.1 " + status + "\r\nConnection: close\r\n";
    if (!contentType.empty()) head += "Content-Type: " + contentType + "\r\n";
    return head + "Content-Length: " + std::to_string(body.size()) + "\r\n" + headers + "\r\n" +
           body;
}

// The request's head and, by its Content-Length, its body.
bool readRequest(int fd, std::string& head, std::string& body) {
    std::string data;
    char buffer[4096];
    std::size_t end = std::string::npos, length = 0;
    while (data.size() < kMaxRequest) {
        if (end == std::string::npos && (end = data.find("\r\n\r\n")) != std::string::npos) {
            head = data.substr(0, end);
            std::string lowered = head;
            for (char& c : lowered)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            const std::size_t at = lowered.find("content-length:");
            length = at == std::string::npos ? 0 : std::stoul(head.substr(at + 15));
        }
        if (end != std::string::npos && data.size() >= end + 4 + length) {
            body = data.substr(end + 4, length);
            return true;
        }
        if (!readable(fd, kWaitMs)) return false;
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) return false;
        data.append(buffer, static_cast<std::size_t>(n));
    }
    return false;
}

}  // namespace

ScriptedEsclScanner::ScriptedEsclScanner(std::string capabilities)
    : capabilities_(std::move(capabilities)) {
    const LoopbackListener listener = listenOnLoopback(8);
    if (listener.fd < 0) throw std::runtime_error("bind/listen");
    listener_ = listener.fd;
    port_ = listener.port;
    thread_ = std::thread([this] { run(); });
}

ScriptedEsclScanner::~ScriptedEsclScanner() {
    stopping_ = true;
    thread_.join();
    ::close(listener_);
}

std::string ScriptedEsclScanner::url() const {
    return "http://127.0.0.1:" + std::to_string(port_) + "/eSCL";
}

void ScriptedEsclScanner::setPages(std::vector<ScriptedPage> pages) {
    std::lock_guard lock(mutex_);
    pages_ = std::move(pages);
}

std::vector<std::string> ScriptedEsclScanner::jobSettings() {
    std::lock_guard lock(mutex_);
    return settings_;
}

void ScriptedEsclScanner::run() {
    while (!stopping_) {
        if (!readable(listener_, 50)) continue;
        const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        answer(fd);
        ::close(fd);
    }
}

void ScriptedEsclScanner::answer(int fd) {
    std::string head, body;
    if (!readRequest(fd, head, body)) return;
    std::istringstream line(head);
    std::string method, path;
    line >> method >> path;
    const std::string jobs = "/eSCL/ScanJobs";
    std::lock_guard lock(mutex_);
    if (method == "GET" && path == "/eSCL/ScannerCapabilities")
        return sendAll(fd, reply("200 OK", "text/xml", capabilities_));
    if (method == "GET" && path == "/eSCL/ScannerStatus")
        return sendAll(fd, reply("200 OK", "text/xml",
                                 "<scan:ScannerStatus xmlns:pwg='http://www.pwg.org/schemas/2010/"
                                 "12/sm' xmlns:scan='http://schemas.hp.com/imaging/escl/2011/05/"
                                 "03'><pwg:State>Idle</pwg:State></scan:ScannerStatus>"));
    if (method == "POST" && path == jobs) {
        settings_.push_back(body);
        served_.push_back(0);
        return sendAll(fd,
                       reply("201 Created", {}, {},
                             "Location: " + jobs + "/" + std::to_string(served_.size()) + "\r\n"));
    }
    // /eSCL/ScanJobs/N[/NextDocument]
    std::size_t job = 0;
    if (path.rfind(jobs + "/", 0) == 0)
        job = std::strtoul(path.c_str() + jobs.size() + 1, nullptr, 10);
    if (job == 0 || job > served_.size()) return sendAll(fd, reply("404 Not Found", {}, {}));
    if (method == "DELETE") return sendAll(fd, reply("200 OK", {}, {}));
    const bool next = path.size() > 13 && path.compare(path.size() - 13, 13, "/NextDocument") == 0;
    if (method != "GET" || !next || served_[job - 1] >= pages_.size())
        return sendAll(fd, reply("404 Not Found", {}, {}));
    const ScriptedPage& page = pages_[served_[job - 1]++];
    sendAll(fd, reply("200 OK", page.contentType, page.body));
}

std::string scriptedCapabilities(const std::vector<std::string>& modes,
                                 const std::vector<int>& resolutions,
                                 const std::vector<std::string>& formats) {
    std::string xml =
        "<?xml version='1.0' encoding='UTF-8'?><scan:ScannerCapabilities "
        "xmlns:pwg='http://www.pwg.org/schemas/2010/12/sm' "
        "xmlns:scan='http://schemas.hp.com/imaging/escl/2011/05/03'><pwg:Version>2.0</pwg:Version>"
        "<pwg:MakeAndModel>Scripted scanner</pwg:MakeAndModel><scan:Platen><scan:PlatenInputCaps>"
        "<scan:MinWidth>1</scan:MinWidth><scan:MaxWidth>2362</scan:MaxWidth><scan:MinHeight>1"
        "</scan:MinHeight><scan:MaxHeight>2362</scan:MaxHeight><scan:SettingProfiles>"
        "<scan:SettingProfile><scan:ColorModes>";
    for (const std::string& mode : modes) xml += "<scan:ColorMode>" + mode + "</scan:ColorMode>";
    xml += "</scan:ColorModes><scan:SupportedResolutions><scan:DiscreteResolutions>";
    for (int r : resolutions)
        xml += "<scan:DiscreteResolution><scan:XResolution>" + std::to_string(r) +
               "</scan:XResolution><scan:YResolution>" + std::to_string(r) +
               "</scan:YResolution></scan:DiscreteResolution>";
    xml += "</scan:DiscreteResolutions></scan:SupportedResolutions><scan:DocumentFormats>";
    for (const std::string& format : formats)
        xml += "<pwg:DocumentFormat>" + format + "</pwg:DocumentFormat>";
    xml +=
        "</scan:DocumentFormats></scan:SettingProfile></scan:SettingProfiles>"
        "</scan:PlatenInputCaps></scan:Platen></scan:ScannerCapabilities>";
    return xml;
}

}  // namespace tarnwick::testing
