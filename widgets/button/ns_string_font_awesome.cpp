#include "widgets/button/ns_string_font_awesome.h"

#include "platform/runtime/utf16.h"

std::string fa_stringForFontAwesomeIcon(std::uint16_t icon) {
    return utf8FromUnit(static_cast<char16_t>(icon));
}
