// The HTTP response reader over arbitrary bytes: responses one after another, as a kept
// connection carries them, each body bounded.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "escl/http_reader.h"

using namespace tarnwick;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MemorySource source(data, size);
    HttpReader reader(source, 1000);
    for (int i = 0; i < 4; ++i) {
        HttpResponse response;
        if (reader.readHead(response) != HttpError::none) break;
        (void)response.header("content-type");
        std::vector<std::uint8_t> body;
        if (reader.readBody(response, 1 << 16, body) != HttpError::none) break;
    }
    return 0;
}
