// The name of the bundled icon font whose glyphs the interface addresses by code point.
#pragma once

inline constexpr const char* kIconFontName = "FontAwesome";
