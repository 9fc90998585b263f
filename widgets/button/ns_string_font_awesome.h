// The icon font: its family name and the one-character strings of its code points.
#pragma once

#include <cstdint>
#include <string>

// Family name of the icon font the bundle carries; the toolkit's font catalogue reads it too.
inline constexpr const char* iconFontName = "FontAwesome";

// The one-character string of an icon's code point (in the font's private-use range).
std::string fa_stringForFontAwesomeIcon(std::uint16_t icon);
