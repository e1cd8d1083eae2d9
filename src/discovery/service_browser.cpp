#include "discovery/service_browser.h"

#include <algorithm>
#include <chrono>
#include <memory>

#include "platform/udp_socket.h"

namespace tarnwick {

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kSliceMs = 50;
constexpr std::size_t kMaxQuestions = 16;

// One search: sends its queries at even intervals and hands each parsed reply to `take`, which
// returns true when the search has what it wanted.
class Search {
  public:
    explicit Search(const SearchOptions& options) : options_(options) {
        socket_ = std::make_unique<platform::UdpSocket>();
        // Replies carry the query's id; each search takes a fresh one.
        id_ = static_cast<std::uint16_t>(Clock::now().time_since_epoch().count() & 0xFFFF);
    }

    template <class Questions, class Take>
    void run(const Questions& questions, const Take& take) {
        const auto start = Clock::now();
        const auto end = start + std::chrono::milliseconds(options_.totalMs);
        const int sends = std::max(options_.sends, 1);
        const auto interval = std::chrono::milliseconds(options_.totalMs) / sends;
        auto nextSend = start;
        int sent = 0;
        std::size_t datagrams = 0;
        std::vector<std::uint8_t> buffer(kMaxDnsMessageBytes);
        for (auto now = start; now < end; now = Clock::now()) {
            if (sent < sends && now >= nextSend) {
                send(questions());
                ++sent;
                nextSend += interval;
            }
            if (options_.keepWaiting && !options_.keepWaiting()) return;
            const auto until = std::min(
                {end, sent < sends ? nextSend : end, now + std::chrono::milliseconds(kSliceMs)});
            const auto waitMs =
                std::chrono::duration_cast<std::chrono::milliseconds>(until - now).count();
            const std::size_t size =
                socket_->receive(buffer.data(), buffer.size(), static_cast<int>(waitMs));
            if (size == 0) continue;
            if (++datagrams > options_.maxDatagrams) return;
            const std::optional<DnsMessage> message = parseDnsMessage(buffer.data(), size);
            // Full multicast replies carry id 0; legacy unicast ones the query's.
            if (message && (message->id == id_ || message->id == 0) && take(*message)) return;
        }
    }

  private:
    void send(std::vector<DnsQuestion> questions) {
        if (questions.size() > kMaxQuestions) questions.resize(kMaxQuestions);
        // One question a message: some responders answer only the first.
        for (const DnsQuestion& question : questions) {
            const std::vector<std::uint8_t> query = encodeDnsQuery(id_, {question});
            socket_->sendTo(query.data(), query.size(), options_.address, options_.port);
        }
    }

    const SearchOptions& options_;
    std::unique_ptr<platform::UdpSocket> socket_;
    std::uint16_t id_ = 0;
};

}  // namespace

SearchTarget& defaultSearchTarget() {
    static SearchTarget target;
    return target;
}

std::vector<FoundService> findServices(const std::vector<ServiceKind>& kinds,
                                       const SearchOptions& options) {
    ServiceRecords records;
    try {
        Search search(options);
        search.run(
            [&] {
                std::vector<DnsQuestion> questions;
                for (ServiceKind kind : kinds)
                    questions.push_back({serviceTypeName(kind), kDnsPtr});
                for (DnsQuestion& more : records.missing()) questions.push_back(std::move(more));
                return questions;
            },
            [&](const DnsMessage& message) {
                records.add(message);
                return false;
            });
    } catch (const platform::SocketError&) {
        // No network to search: nothing found.
    }
    std::vector<FoundService> found = records.services();
    found.erase(std::remove_if(found.begin(), found.end(),
                               [&](const FoundService& s) {
                                   return std::find(kinds.begin(), kinds.end(), s.kind) ==
                                          kinds.end();
                               }),
                found.end());
    return found;
}

bool isLocalHostName(const std::string& host) {
    const DnsName name = dnsName(host);
    return name.size() >= 2 && sameDnsName({name.back()}, {"local"});
}

std::optional<std::string> resolveLocalHost(const std::string& host, const SearchOptions& options) {
    if (!isLocalHostName(host)) return std::nullopt;
    const DnsName name = dnsName(host);
    std::optional<std::string> address;
    try {
        Search search(options);
        search.run(
            [&] {
                return std::vector<DnsQuestion>{{name, kDnsA}};
            },
            [&](const DnsMessage& message) {
                for (const DnsRecord& record : message.records)
                    if (record.type == kDnsA && record.ttl > 0 && sameDnsName(record.name, name)) {
                        address = addressText(record);
                        return true;
                    }
                return false;
            });
    } catch (const platform::SocketError&) {
        // No network to ask on.
    }
    return address;
}

}  // namespace tarnwick
