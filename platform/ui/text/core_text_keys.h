// The layout engine's own attribute names. Those equal to the platform's text attributes name the
// same thing; the colour names differ, and the layout reads either.
#pragma once

#include <cstring>

#include "platform/ui/text/attributed_string.h"

inline constexpr const char* kCTFontAttributeName = NSFontAttributeName;
inline constexpr const char* kCTKernAttributeName = NSKernAttributeName;
inline constexpr const char* kCTLigatureAttributeName = NSLigatureAttributeName;
inline constexpr const char* kCTParagraphStyleAttributeName = NSParagraphStyleAttributeName;
inline constexpr const char* kCTUnderlineStyleAttributeName = NSUnderlineStyleAttributeName;
inline constexpr const char* kCTStrokeWidthAttributeName = NSStrokeWidthAttributeName;
inline constexpr const char* kCTForegroundColorAttributeName = "CTForegroundColor";  // UIColor
inline constexpr const char* kCTUnderlineColorAttributeName = "CTUnderlineColor";    // UIColor
inline constexpr const char* kCTStrokeColorAttributeName = "CTStrokeColor";          // UIColor
// Marks text drawn in the colour of the context rather than its own (a number, true).
inline constexpr const char* kCTForegroundColorFromContextAttributeName = "CTForegroundColorFromContext";
// A number: 1 superscript, -1 subscript.
inline constexpr const char* kCTSuperscriptAttributeName = "NSSuperScript";

// The layout engine's name for a platform colour attribute; none when the two share one name.
inline const char* coreTextColorKey(const char* platformKey) {
    if (std::strcmp(platformKey, NSForegroundColorAttributeName) == 0) return kCTForegroundColorAttributeName;
    if (std::strcmp(platformKey, NSUnderlineColorAttributeName) == 0) return kCTUnderlineColorAttributeName;
    if (std::strcmp(platformKey, NSStrokeColorAttributeName) == 0) return kCTStrokeColorAttributeName;
    return nullptr;
}
