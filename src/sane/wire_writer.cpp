#include "sane/wire_writer.h"

namespace tarnwick {

WireWriter& WireWriter::word(Word value) {
    auto v = static_cast<std::uint32_t>(value);
    data_.push_back(static_cast<std::uint8_t>(v >> 24));
    data_.push_back(static_cast<std::uint8_t>(v >> 16));
    data_.push_back(static_cast<std::uint8_t>(v >> 8));
    data_.push_back(static_cast<std::uint8_t>(v));
    ended(WireItem::word);
    return *this;
}

WireWriter& WireWriter::string(const std::string& text) {
    word(static_cast<Word>(text.size() + 1));
    data_.insert(data_.end(), text.begin(), text.end());
    data_.push_back(0);
    ended(WireItem::string);
    return *this;
}

WireWriter& WireWriter::bytes(const void* data, std::size_t count) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    data_.insert(data_.end(), p, p + count);
    ended(WireItem::bytes);
    return *this;
}

WireItem Request::itemAt(std::size_t offset) const {
    for (const auto& [end, kind] : itemEnds)
        if (offset < end) return kind;
    return itemEnds.empty() ? WireItem::bytes : itemEnds.back().second;
}

}  // namespace tarnwick
