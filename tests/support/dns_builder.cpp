#include "support/dns_builder.h"

namespace tarnwick::testing {

DnsBuilder::DnsBuilder(std::uint16_t id, std::uint16_t questions, std::uint16_t answers,
                       std::uint16_t additional, std::uint16_t flags) {
    u16(id).u16(flags).u16(questions).u16(answers).u16(0).u16(additional);
}

DnsBuilder& DnsBuilder::u8(std::uint8_t v) {
    bytes_.push_back(v);
    return *this;
}

DnsBuilder& DnsBuilder::u16(std::uint16_t v) {
    return u8(static_cast<std::uint8_t>(v >> 8)).u8(static_cast<std::uint8_t>(v & 0xFF));
}

DnsBuilder& DnsBuilder::u32(std::uint32_t v) {
    return u16(static_cast<std::uint16_t>(v >> 16)).u16(static_cast<std::uint16_t>(v & 0xFFFF));
}

DnsBuilder& DnsBuilder::raw(const std::string& bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}

DnsBuilder& DnsBuilder::name(const std::string& dotted, bool open) {
    std::size_t start = 0;
    while (start < dotted.size()) {
        std::size_t dot = dotted.find('.', start);
        if (dot == std::string::npos) dot = dotted.size();
        u8(static_cast<std::uint8_t>(dot - start)).raw(dotted.substr(start, dot - start));
        start = dot + 1;
    }
    return open ? *this : u8(0);
}

DnsBuilder& DnsBuilder::label(const std::string& text) {
    return u8(static_cast<std::uint8_t>(text.size())).raw(text);
}

DnsBuilder& DnsBuilder::pointer(std::size_t offset) {
    return u16(static_cast<std::uint16_t>(0xC000 | offset));
}

DnsBuilder& DnsBuilder::fields(std::uint16_t type, std::uint16_t recordClass, std::uint32_t ttl,
                               std::uint16_t length) {
    return u16(type).u16(recordClass).u32(ttl).u16(length);
}

DnsBuilder& DnsBuilder::patchLength(std::size_t fieldsAt) {
    const std::size_t length = bytes_.size() - fieldsAt - 10;
    bytes_[fieldsAt + 8] = static_cast<std::uint8_t>(length >> 8);
    bytes_[fieldsAt + 9] = static_cast<std::uint8_t>(length & 0xFF);
    return *this;
}

std::vector<std::uint8_t> serviceReply(std::uint16_t id, const ServiceReply& reply) {
    DnsBuilder b(id, 1, 1, 3);
    const std::size_t type = b.at();
    b.name(reply.type).u16(12).u16(1);
    // PTR type -> instance.type
    b.pointer(type);
    std::size_t fields = b.at();
    b.fields(12, 1, 10, 0);
    const std::size_t instance = b.at();
    b.label(reply.instance).pointer(type).patchLength(fields);
    // SRV instance -> host:port
    b.pointer(instance);
    fields = b.at();
    b.fields(33, 0x8001, 10, 0).u16(0).u16(0).u16(reply.port);
    const std::size_t host = b.at();
    b.name(reply.host).patchLength(fields);
    // TXT
    b.pointer(instance);
    fields = b.at();
    b.fields(16, 0x8001, 10, 0);
    for (const std::string& text : reply.txt)
        b.u8(static_cast<std::uint8_t>(text.size())).raw(text);
    b.patchLength(fields);
    // A
    b.pointer(host).fields(1, 0x8001, 10, 4);
    for (std::uint8_t byte : reply.address) b.u8(byte);
    return b.bytes();
}

std::vector<std::uint8_t> addressReply(std::uint16_t id, const std::string& host,
                                       const std::uint8_t (&address)[4]) {
    DnsBuilder b(id, 1, 1);
    b.name(host).u16(1).u16(1);
    b.pointer(12).fields(1, 0x8001, 10, 4);
    for (std::uint8_t byte : address) b.u8(byte);
    return b.bytes();
}

}  // namespace tarnwick::testing
