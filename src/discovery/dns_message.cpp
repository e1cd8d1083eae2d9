#include "discovery/dns_message.h"

#include <cstdio>

namespace tarnwick {

namespace {

constexpr std::size_t kHeaderBytes = 12;
constexpr std::uint16_t kClassIn = 1;
// The top bit of a record's class is multicast DNS's cache-flush flag.
constexpr std::uint16_t kClassMask = 0x7FFF;

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

class Reader {
  public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool has(std::size_t count) const { return count <= size_ - at; }
    std::uint16_t u16() {
        const std::uint16_t v = static_cast<std::uint16_t>(data_[at] << 8 | data_[at + 1]);
        at += 2;
        return v;
    }
    std::uint32_t u32() {
        const std::uint32_t high = u16();
        return high << 16 | u16();
    }

    // A name at `at`, which moves past its inline part. Each compression pointer must point
    // before the labels that led to it, so the walk always ends; the whole name stays within
    // kMaxDnsNameBytes.
    bool name(DnsName& out) {
        out.clear();
        std::size_t pos = at, limit = at, total = 0;
        bool jumped = false;
        for (;;) {
            if (pos >= size_) return false;
            const std::uint8_t length = data_[pos];
            if ((length & 0xC0) == 0xC0) {
                if (pos + 1 >= size_) return false;
                const std::size_t target =
                    static_cast<std::size_t>(length & 0x3F) << 8 | data_[pos + 1];
                if (target >= limit) return false;
                if (!jumped) at = pos + 2;
                jumped = true;
                pos = limit = target;
                continue;
            }
            if (length & 0xC0) return false;
            if (length == 0) {
                if (!jumped) at = pos + 1;
                return true;
            }
            total += length + 1u;
            if (total + 1 > kMaxDnsNameBytes || pos + 1 + length > size_) return false;
            out.emplace_back(reinterpret_cast<const char*>(data_ + pos + 1), length);
            pos += 1u + length;
        }
    }

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at = 0;
};

// The record data of the types a search uses; false when it is malformed.
bool readData(Reader& in, std::size_t end, DnsRecord& record) {
    Reader bounded = in;
    switch (record.type) {
        case kDnsA:
        case kDnsAaaa: {
            const std::size_t bytes = record.type == kDnsA ? 4 : 16;
            if (end - in.at != bytes) return false;
            for (std::size_t i = 0; i < bytes; ++i) record.address[i] = in.data_[in.at + i];
            return true;
        }
        case kDnsPtr:
            return bounded.name(record.target) && bounded.at <= end;
        case kDnsSrv:
            if (end - in.at < 7) return false;
            bounded.at += 4;  // priority, weight
            record.port = bounded.u16();
            return bounded.name(record.target) && bounded.at <= end;
        case kDnsTxt:
            for (std::size_t pos = in.at; pos < end;) {
                const std::size_t length = in.data_[pos];
                if (pos + 1 + length > end || record.texts.size() == kMaxTxtStrings) return false;
                if (length > 0)
                    record.texts.emplace_back(reinterpret_cast<const char*>(in.data_ + pos + 1),
                                              length);
                pos += 1 + length;
            }
            return true;
        default:
            return true;
    }
}

bool isUsedType(std::uint16_t type) {
    return type == kDnsA || type == kDnsAaaa || type == kDnsPtr || type == kDnsSrv ||
           type == kDnsTxt;
}

void put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v >> 8));
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
}

}  // namespace

DnsName dnsName(const std::string& dotted) {
    DnsName name;
    std::size_t start = 0;
    while (start < dotted.size()) {
        std::size_t dot = dotted.find('.', start);
        if (dot == std::string::npos) dot = dotted.size();
        if (dot > start) name.push_back(dotted.substr(start, dot - start));
        start = dot + 1;
    }
    return name;
}

std::string dnsNameText(const DnsName& name) {
    std::string text;
    for (const std::string& label : name) text += (text.empty() ? "" : ".") + label;
    return text;
}

bool sameDnsName(const DnsName& a, const DnsName& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].size() != b[i].size()) return false;
        for (std::size_t k = 0; k < a[i].size(); ++k)
            if (lower(a[i][k]) != lower(b[i][k])) return false;
    }
    return true;
}

std::optional<DnsMessage> parseDnsMessage(const std::uint8_t* data, std::size_t size) {
    if (size < kHeaderBytes || size > kMaxDnsMessageBytes) return std::nullopt;
    Reader in(data, size);
    DnsMessage message;
    message.id = in.u16();
    const std::uint16_t flags = in.u16();
    const bool response = flags & 0x8000;
    const int opcode = (flags >> 11) & 15, rcode = flags & 15;
    if (!response || opcode != 0 || rcode != 0) return std::nullopt;
    const std::size_t questions = in.u16();
    const std::size_t records = std::size_t{in.u16()} + in.u16() + in.u16();
    if (questions > kMaxDnsRecords || records > kMaxDnsRecords) return std::nullopt;
    DnsName name;
    for (std::size_t i = 0; i < questions; ++i) {
        if (!in.name(name) || !in.has(4)) return std::nullopt;
        in.at += 4;
    }
    for (std::size_t i = 0; i < records; ++i) {
        DnsRecord record;
        if (!in.name(record.name) || !in.has(10)) return std::nullopt;
        record.type = in.u16();
        const std::uint16_t recordClass = in.u16() & kClassMask;
        record.ttl = in.u32();
        const std::size_t length = in.u16();
        if (!in.has(length)) return std::nullopt;
        const std::size_t end = in.at + length;
        if (recordClass == kClassIn && isUsedType(record.type)) {
            if (!readData(in, end, record)) return std::nullopt;
            message.records.push_back(std::move(record));
        }
        in.at = end;
    }
    return message;
}

std::vector<std::uint8_t> encodeDnsQuery(std::uint16_t id,
                                         const std::vector<DnsQuestion>& questions) {
    std::vector<std::uint8_t> out;
    put16(out, id);
    put16(out, 0);
    put16(out, static_cast<std::uint16_t>(questions.size()));
    for (int i = 0; i < 3; ++i) put16(out, 0);
    for (const DnsQuestion& question : questions) {
        for (const std::string& label : question.name) {
            const std::size_t length =
                label.size() < kMaxDnsLabelBytes ? label.size() : kMaxDnsLabelBytes;
            out.push_back(static_cast<std::uint8_t>(length));
            out.insert(out.end(), label.begin(), label.begin() + static_cast<long>(length));
        }
        out.push_back(0);
        put16(out, question.type);
        put16(out, kClassIn);
    }
    return out;
}

std::string addressText(const DnsRecord& record) {
    const auto& a = record.address;
    char text[48];
    if (record.type == kDnsA) {
        std::snprintf(text, sizeof text, "%u.%u.%u.%u", a[0], a[1], a[2], a[3]);
        return text;
    }
    // The longest run of zero groups (two or more) becomes "::".
    unsigned groups[8];
    for (int i = 0; i < 8; ++i) groups[i] = static_cast<unsigned>(a[2 * i] << 8 | a[2 * i + 1]);
    int bestStart = -1, bestLength = 1;
    for (int i = 0; i < 8;) {
        int j = i;
        while (j < 8 && groups[j] == 0) ++j;
        if (j - i > bestLength) bestStart = i, bestLength = j - i;
        i = j > i ? j : i + 1;
    }
    std::string out;
    for (int i = 0; i < 8; ++i) {
        if (i == bestStart) {
            out += "::";
            i += bestLength - 1;
            continue;
        }
        if (!out.empty() && out.back() != ':') out += ':';
        std::snprintf(text, sizeof text, "%x", groups[i]);
        out += text;
    }
    return out;
}

}  // namespace tarnwick
