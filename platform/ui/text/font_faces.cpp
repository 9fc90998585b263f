// Face names mapped to bundled families: a sans face for the text and system faces, a serif face,
// and the icon font.
#include "platform/ui/text/font_faces.h"

#include <cctype>

namespace {
constexpr const char* kSans = "DejaVu Sans";
constexpr const char* kSerif = "DejaVu Serif";
constexpr const char* kIcons = "FontAwesome";

std::string folded(std::string_view s) {
    std::string out;
    for (char c : s)
        if (c != ' ' && c != '-' && c != '_') out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}
}  // namespace

const std::vector<FontFace>& fontFaces() {
    static const std::vector<FontFace> faces = {
        {"System", "System", kSans, false, false},
        {"System-Bold", "System", kSans, true, false},
        {"System-Italic", "System", kSans, false, true},
        {"System-BoldItalic", "System", kSans, true, true},
        {"GillSans", "Gill Sans", kSans, false, false},
        {"GillSans-SemiBold", "Gill Sans", kSans, true, false},
        {"GillSans-Bold", "Gill Sans", kSans, true, false},
        {"GillSans-Italic", "Gill Sans", kSans, false, true},
        {"GillSans-BoldItalic", "Gill Sans", kSans, true, true},
        {"GillSans-Light", "Gill Sans", kSans, false, false},
        {"AvenirNext-Regular", "Avenir Next", kSans, false, false},
        {"AvenirNext-Medium", "Avenir Next", kSans, false, false},
        {"AvenirNext-DemiBold", "Avenir Next", kSans, true, false},
        {"AvenirNext-Bold", "Avenir Next", kSans, true, false},
        {"AvenirNext-Italic", "Avenir Next", kSans, false, true},
        {"Copperplate", "Copperplate", kSerif, false, false},
        {"Copperplate-Bold", "Copperplate", kSerif, true, false},
        {"FontAwesome", "FontAwesome", kIcons, false, false},
        {"DejaVuSans", "DejaVu Sans", kSans, false, false},
        {"DejaVuSans-Bold", "DejaVu Sans", kSans, true, false},
        {"DejaVuSans-Oblique", "DejaVu Sans", kSans, false, true},
        {"DejaVuSans-BoldOblique", "DejaVu Sans", kSans, true, true},
        {"DejaVuSerif", "DejaVu Serif", kSerif, false, false},
        {"DejaVuSerif-Bold", "DejaVu Serif", kSerif, true, false},
    };
    return faces;
}

const FontFace* findFontFace(std::string_view name) {
    for (const auto& face : fontFaces())
        if (name == face.name) return &face;
    // A family name alone ("Gill Sans") names the family's first, regular face.
    for (const auto& face : fontFaces())
        if (name == face.family) return &face;
    std::string key = folded(name);
    if (key.empty()) return nullptr;
    for (const auto& face : fontFaces())
        if (key == folded(face.name) || key == folded(face.family)) return &face;
    return nullptr;
}

const FontFace* findFontFace(std::string_view family, bool bold, bool italic) {
    for (const auto& face : fontFaces())
        if (family == face.family && face.bold == bold && face.italic == italic) return &face;
    return nullptr;
}
