// What a search finds: services of the kinds the source reaches, gathered from the records of
// every reply (a responder may send the pointer, the service, its text and its addresses in one
// reply or in several).
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "discovery/dns_message.h"

namespace tarnwick {

enum class ServiceKind { sane, escl, escls };

// "_sane-port._tcp.local", "_uscan._tcp.local", "_uscans._tcp.local".
const DnsName& serviceTypeName(ServiceKind kind);
// "_sane-port._tcp" and so on, for listings.
std::string serviceKindText(ServiceKind kind);

struct FoundService {
    ServiceKind kind = ServiceKind::sane;
    std::string instance;                // the first label of the instance name
    std::string host;                    // the SRV target, "scanhost.local"
    std::vector<std::string> addresses;  // IPv4 first, then IPv6
    int port = 0;
    std::vector<std::pair<std::string, std::string>> txt;  // keys as sent; bare keys: ""

    // A TXT key's value (keys compare without case; the first copy wins); "" when absent.
    std::string txtValue(const std::string& key) const;
};

// Bounds what one search keeps, whatever the responders send.
inline constexpr std::size_t kMaxFoundServices = 64;
inline constexpr std::size_t kMaxHostAddresses = 8;

class ServiceRecords {
  public:
    void add(const DnsMessage& message);
    // The services whose SRV record came, by kind and then instance name.
    std::vector<FoundService> services() const;
    // Instances seen by pointer whose SRV record is still missing; hosts named by a service
    // with no address yet: the next query asks for them by name.
    std::vector<DnsQuestion> missing() const;
    // The addresses seen for a host, IPv4 first.
    std::vector<std::string> addressesOf(const DnsName& host) const;

  private:
    struct Instance {
        ServiceKind kind = ServiceKind::sane;
        DnsName name;
        bool haveService = false;
        DnsName host;
        int port = 0;
        bool haveText = false;
        std::vector<std::string> texts;
    };
    struct Host {
        DnsName name;
        std::vector<std::string> v4, v6;
    };
    static std::string key(const DnsName& name);
    void addRecord(const DnsRecord& record);
    Instance* instance(const DnsName& name);

    std::map<std::string, Instance> instances_;
    std::map<std::string, Host> hosts_;
};

}  // namespace tarnwick
