// Turning typed text into an address.
#include "app/web/typed_address.h"

#include "foundation/links.h"
#include "foundation/string_custom_escaping.h"
#include "foundation/string_custom_trim.h"

namespace {
constexpr const char* kSearchHostKey = "KorvaSearchHost";
constexpr const char* kSearchHostFallback = "search.korva.invalid";
}  // namespace

std::string webSearchHost() {
    return configuredString(kSearchHostKey, kSearchHostFallback);
}

std::string addressFromTypedText(std::string_view typed, std::string_view searchHost) {
    std::string text = trim(typed);
    if (text.rfind("http://", 0) == 0 || text.rfind("https://", 0) == 0) return text;
    if (text.find('.') == std::string::npos || escapeURL(text) != text) {
        // The query value is escaped with its delimiters, so "&" or "=" in the text stay words.
        text = "http://" + std::string(searchHost) + "/search?q=" + escapeQueryParam(text);
    }
    if (text.find("://") == std::string::npos) text = "http://" + text;
    return text;
}
