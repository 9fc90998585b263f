// Tagged comment payloads, comment stripping and the JSON readers of text.
#include "foundation/string_custom_payload.h"

#include "foundation/string_custom_escaping.h"
#include "platform/runtime/utf16.h"
#include "platform/storage/json.h"
#include "platform/text/regular_expression.h"

namespace {

std::u16string withoutLineBreaks(std::string_view text) {
    std::u16string units = toUtf16(text);
    std::erase_if(units, [](char16_t c) { return c == u'\n' || c == u'\r' || c == u'\t'; });
    return units;
}

}  // namespace

std::optional<std::string> dravelinqt0(std::string_view page, std::string_view tag) {
    // The tag goes into the pattern as it is; a tag that breaks the pattern finds nothing.
    auto expression = NSRegularExpression::regularExpressionWithPattern("<!-- " + std::string(tag) + ":(.+?)-->",
                                                                        NSRegularExpressionCaseInsensitive);
    if (!expression.ok()) return std::nullopt;
    std::u16string text = withoutLineBreaks(page);
    auto matches = (*expression)->matchesInUtf16(text, {0, text.size()});
    if (matches.empty()) return std::nullopt;
    NSRange payload = matches.front().rangeAtIndex(1);
    if (!payload.found()) return std::nullopt;
    return fromUtf16(std::u16string_view(text).substr(payload.location, payload.length));
}

std::optional<std::string> dravelinqt(std::string_view page) {
    return dravelinqt0(page, "DRAVELINQT");
}

std::optional<std::string> dravelinerror(std::string_view page) {
    return dravelinqt0(page, "DRAVELINERROR");
}

std::string removeCommentsNewLines(std::string_view text) {
    static const auto comment =
        NSRegularExpression::regularExpressionWithPattern("<!--.*?-->", NSRegularExpressionCaseInsensitive);
    std::u16string units = withoutLineBreaks(text);
    if (!comment.ok()) return fromUtf16(units);
    return fromUtf16((*comment)->replacingMatchesInUtf16(units, {0, units.size()}, u""));
}

Bytes utf8Data(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

Value json(std::string_view text) {
    if (text.empty()) return Value();
    Result<Value> parsed = NSJSONSerialization::JSONObjectWithString(text);
    return parsed.ok() ? parsed.value() : Value();
}

Value jsonDictionary_unescapeString(std::string_view text) {
    Value value = jsonDictionary(text);
    return value.isNull() ? jsonDictionary(my_unescapeString(text)) : value;
}

Value jsonArray_unescapeString(std::string_view text) {
    Value value = jsonArray(text);
    return value.isNull() ? jsonArray(my_unescapeString(text)) : value;
}
