// URL, HTML and text helpers over any text; the first byte picks how the rest is split into two
// arguments where a helper takes two.
#include "foundation/string_custom_escaping.h"
#include "foundation/string_custom_search.h"
#include "fuzz/fuzz_input.h"
#include "platform/net/url.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzzText(data, size);
    const std::size_t cut = size ? data[0] % (size + 1) : 0;
    const std::string_view first = text.substr(0, cut), second = text.substr(cut);

    if (auto url = NSURL::URLWithString(text)) (void)url->standardizedPath();
    (void)NSURL::fileURLWithPath(text);
    (void)kv_decodeHTMLCharacterEntities(text);
    (void)kv_encodeHTMLCharacterEntities(text);
    (void)my_unescapeHTML(text);
    (void)my_unescapeString(text);
    std::string copy(text);
    xmlSimpleUnescape(xmlSimpleEscape(copy));
    (void)unescapeURL(escapeURL(text));
    (void)escapeQueryParam(text);
    (void)urlencode(text);
    (void)webQueryDict(text);
    (void)webQueryDict0(text);
    (void)appendRelativedUrl(first, second);
    (void)makeDownloadable(text);
    (void)isDownloadableURL(text);
    (void)validEmail(text);
    (void)validWebsite(text);
    (void)getBetweenText(text, first.substr(0, 4), second.substr(0, 4));
    (void)allRangesOfString(second, first.substr(0, 8));
    return 0;
}
