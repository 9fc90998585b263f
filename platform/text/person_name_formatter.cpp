// Person-name formatting: initials from the first composed character of each used part.
#include "platform/text/person_name_formatter.h"

#include "platform/runtime/utf16.h"
#include "platform/text/text_breaks.h"

namespace {

std::string firstCharacter(const std::optional<std::string>& part) {
    if (!part || part->empty()) return {};
    std::u16string units = toUtf16(*part);
    NSRange first = rangeOfComposedCharacterSequenceAtIndex(units, 0);
    if (!first.found()) return {};
    return fromUtf16(std::u16string_view(units).substr(first.location, first.length));
}

void appendPart(std::string& out, const std::optional<std::string>& part) {
    if (!part || part->empty()) return;
    if (!out.empty()) out += ' ';
    out += *part;
}

}  // namespace

std::string NSPersonNameComponentsFormatter::stringFromPersonNameComponents(
    const NSPersonNameComponents& components) const {
    if (style_ == NSPersonNameComponentsFormatterStyle::Abbreviated) {
        return firstCharacter(components.givenName) + firstCharacter(components.familyName);
    }
    std::string out;
    appendPart(out, components.givenName);
    if (style_ == NSPersonNameComponentsFormatterStyle::Long) appendPart(out, components.middleName);
    if (style_ != NSPersonNameComponentsFormatterStyle::Short) appendPart(out, components.familyName);
    return out;
}
