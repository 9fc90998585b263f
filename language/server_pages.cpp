// Addressing server pages and reading their payloads.
#include "language/server_pages.h"

#include "foundation/dictionary_custom.h"
#include "foundation/string_custom_payload.h"
#include "language/server_host.h"
#include "platform/storage/json.h"

namespace server_pages {

std::string pageAddress(std::string_view path) {
    return downloadHost() + std::string(path);
}

std::string pageRequest(std::string_view address, const Value& query) {
    return std::string(address) + "?" + queryString(query);
}

std::optional<Value> replyPayload(std::string_view page) {
    std::optional<std::string> payload = dravelinqt(page);
    if (!payload) return std::nullopt;
    Value value = json(*payload);
    if (value.isNull()) return std::nullopt;
    return value;
}

std::string replyPage(const Value& payload) {
    Result<std::string> text = NSJSONSerialization::stringWithJSONObject(payload);
    // A ">" can only stand inside a JSON string; escaped, no text of the payload can close the
    // comment early.
    std::string json;
    for (char c : text.ok() ? text.value() : std::string("null")) {
        if (c == '>') {
            json += "\\u003e";
        } else {
            json += c;
        }
    }
    return "<!DOCTYPE html>\n<html><body>\n<!-- " + std::string(kPayloadTag) + ":" + json + "-->\n</body></html>\n";
}

}  // namespace server_pages
