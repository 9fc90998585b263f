// The table of face names the application asks for and the bundled fonts that draw them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct FontFace {
    const char* name;          // the face name (the font's fontName)
    const char* family;        // the family it belongs to (familyName)
    const char* renderFamily;  // the bundled font family drawing it
    bool bold;
    bool italic;
};

const std::vector<FontFace>& fontFaces();
// Exact name first, then ignoring case, blanks and hyphens; null when unknown.
const FontFace* findFontFace(std::string_view name);
const FontFace* findFontFace(std::string_view family, bool bold, bool italic);
