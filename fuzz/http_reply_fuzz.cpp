// HTTP replies as the URL session hands them on: header lines ("Name: value", one a line) made
// into a response, whose content type, text encoding and fields are then read.
#include "fuzz/fuzz_input.h"
#include "platform/net/url.h"
#include "platform/net/url_response.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text = fuzzText(data, size);
    std::vector<NSHTTPURLResponse::HeaderField> headers;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        headers.emplace_back(std::string(line.substr(0, colon)), std::string(line.substr(colon + 1)));
    }
    const std::int64_t status = size ? 100 + data[0] % 500 : 200;
    auto response = NSHTTPURLResponse::make(NSURL::URLWithString("http://127.0.0.1/reply"), status, headers);
    if (!response) return 0;
    (void)response->MIMEType();
    (void)response->textEncodingName();
    (void)response->expectedContentLength();
    for (const auto& [name, value] : headers) (void)response->valueForHTTPHeaderField(name);
    return 0;
}
