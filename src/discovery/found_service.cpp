#include "discovery/found_service.h"

#include <algorithm>

namespace tarnwick {

namespace {

constexpr ServiceKind kKinds[] = {ServiceKind::sane, ServiceKind::escl, ServiceKind::escls};

std::string lowered(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

void addOnce(std::vector<std::string>& list, const std::string& address) {
    if (list.size() < kMaxHostAddresses &&
        std::find(list.begin(), list.end(), address) == list.end())
        list.push_back(address);
}

}  // namespace

const DnsName& serviceTypeName(ServiceKind kind) {
    static const DnsName sane = dnsName("_sane-port._tcp.local");
    static const DnsName escl = dnsName("_uscan._tcp.local");
    static const DnsName escls = dnsName("_uscans._tcp.local");
    switch (kind) {
        case ServiceKind::sane:
            return sane;
        case ServiceKind::escl:
            return escl;
        case ServiceKind::escls:
            break;
    }
    return escls;
}

std::string serviceKindText(ServiceKind kind) {
    const DnsName& name = serviceTypeName(kind);
    return name[0] + "." + name[1];
}

std::string FoundService::txtValue(const std::string& key) const {
    const std::string wanted = lowered(key);
    for (const auto& [k, value] : txt)
        if (lowered(k) == wanted) return value;
    return {};
}

std::string ServiceRecords::key(const DnsName& name) {
    std::string text;
    // A label may hold dots: the separator is a byte no label of ours carries.
    for (const std::string& label : name) text += lowered(label) + '\0';
    return text;
}

void ServiceRecords::add(const DnsMessage& message) {
    for (const DnsRecord& record : message.records) addRecord(record);
}

ServiceRecords::Instance* ServiceRecords::instance(const DnsName& name) {
    auto found = instances_.find(key(name));
    return found == instances_.end() ? nullptr : &found->second;
}

void ServiceRecords::addRecord(const DnsRecord& record) {
    // A goodbye withdraws the record; a one-shot search has nothing to withdraw.
    if (record.ttl == 0) return;
    switch (record.type) {
        case kDnsPtr:
            for (ServiceKind kind : kKinds) {
                const DnsName& type = serviceTypeName(kind);
                // The instance is one label under the type it was asked for.
                if (!sameDnsName(record.name, type) || record.target.size() != type.size() + 1 ||
                    !sameDnsName(DnsName(record.target.begin() + 1, record.target.end()), type))
                    continue;
                if (!instance(record.target) && instances_.size() < kMaxFoundServices) {
                    Instance entry;
                    entry.kind = kind;
                    entry.name = record.target;
                    instances_.emplace(key(record.target), std::move(entry));
                }
            }
            break;
        case kDnsSrv:
            if (Instance* found = instance(record.name); found && !found->haveService) {
                found->haveService = true;
                found->host = record.target;
                found->port = record.port;
            }
            break;
        case kDnsTxt:
            if (Instance* found = instance(record.name); found && !found->haveText) {
                found->haveText = true;
                found->texts = record.texts;
            }
            break;
        case kDnsA:
        case kDnsAaaa: {
            auto it = hosts_.find(key(record.name));
            if (it == hosts_.end()) {
                if (hosts_.size() >= kMaxFoundServices) return;
                it = hosts_.emplace(key(record.name), Host{record.name, {}, {}}).first;
            }
            addOnce(record.type == kDnsA ? it->second.v4 : it->second.v6, addressText(record));
            break;
        }
        default:
            break;
    }
}

std::vector<std::string> ServiceRecords::addressesOf(const DnsName& host) const {
    auto it = hosts_.find(key(host));
    if (it == hosts_.end()) return {};
    std::vector<std::string> all = it->second.v4;
    all.insert(all.end(), it->second.v6.begin(), it->second.v6.end());
    return all;
}

std::vector<FoundService> ServiceRecords::services() const {
    std::vector<FoundService> found;
    for (const auto& [name, entry] : instances_) {
        if (!entry.haveService) continue;
        FoundService service;
        service.kind = entry.kind;
        service.instance = entry.name.front();
        service.host = dnsNameText(entry.host);
        service.addresses = addressesOf(entry.host);
        service.port = entry.port;
        for (const std::string& text : entry.texts) {
            const std::size_t equals = text.find('=');
            service.txt.emplace_back(text.substr(0, equals),
                                     equals == std::string::npos ? "" : text.substr(equals + 1));
        }
        found.push_back(std::move(service));
    }
    std::stable_sort(found.begin(), found.end(), [](const FoundService& a, const FoundService& b) {
        return a.kind != b.kind ? a.kind < b.kind : a.instance < b.instance;
    });
    return found;
}

std::vector<DnsQuestion> ServiceRecords::missing() const {
    std::vector<DnsQuestion> questions;
    for (const auto& [name, entry] : instances_) {
        if (!entry.haveService)
            questions.push_back({entry.name, kDnsSrv});
        else if (addressesOf(entry.host).empty())
            questions.push_back({entry.host, kDnsA});
    }
    return questions;
}

}  // namespace tarnwick
