// Measuring strings for the form's rows, and the kit's own resource bundle and localised texts.
// Main-thread only (text layout).
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/runtime/geometry.h"

class UIFont;
class NSBundle;

// The sizes found are remembered (per thread, a few hundred at most) by text, face, point size and
// the size laid out within, so rows that measure their value on every layout lay out no text again.
// The size of the text on one line in the font.
CGSize form_sizeWithFont(std::string_view text, const std::shared_ptr<UIFont>& font);
// The bounding size of the text laid out within `size` from the top-left.
CGSize form_sizeWithFont(std::string_view text, const std::shared_ptr<UIFont>& font, CGSize size);

// "FormTableViewManager.bundle" inside the main bundle; null when absent. Kept once found (for as
// long as the main bundle stays where it was); a miss is looked up again on the next call.
std::shared_ptr<NSBundle> FormTableViewManagerBundle();
// The main bundle's translation of a text of the kit (the text itself when there is none).
std::string form_localized(std::string_view key);
