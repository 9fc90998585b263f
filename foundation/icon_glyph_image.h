// The built-in drawing of an icon-font glyph as an image: white on clear, centred and sized to fit.
#pragma once

#include <memory>

#include "platform/runtime/geometry.h"

class UIImage;

// The glyph (a code point of the bundled icon font) drawn white on a clear square of `size` points
// at the main screen's scale, as large as fits and centred. None when the size is empty or the
// icon font is missing.
std::shared_ptr<UIImage> iconGlyphImage(int glyph, CGSize size);
