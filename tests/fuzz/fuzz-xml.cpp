// The XML reader over arbitrary text, and what the scanner's documents are read into.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "escl/escl_capabilities.h"
#include "escl/escl_options.h"
#include "escl/escl_status.h"
#include "escl/xml_reader.h"

using namespace tarnwick;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const XmlResult xml = parseXml(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!xml.root) return 0;
    if (const auto caps = parseCapabilities(*xml.root)) {
        EsclOptions options(*caps);
        (void)options.descriptors();
        (void)options.parameters();
    }
    if (const auto status = parseStatus(*xml.root)) (void)statusOfAdfState(status->adfState);
    return 0;
}
