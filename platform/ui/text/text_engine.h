// Process-wide Pango state (text sources only): the font map over the bundled fonts and the lock
// that serialises every Pango call.
#pragma once

#include <pango/pangocairo.h>

#include <mutex>
#include <string>
#include <vector>

class UIFont;

std::recursive_mutex& textEngineMutex();
// Owned by the engine; never null (an empty font map when no fonts could be found).
PangoFontMap* textFontMap();
// A new context (caller unrefs) laid out without hinting or glyph rounding, so that positions
// and sizes do not depend on the device scale.
PangoContext* createTextContext();
// A new description (caller frees) of the font's bundled face at its point size.
PangoFontDescription* createFontDescription(const UIFont& font);
// The folder the bundled fonts were loaded from.
std::string textFontDirectory();
// The bundle's font folder (else the source tree's), with links resolved.
std::string bundledFontDirectory(const std::string& bundlePath);
// The machine's font that draws the Chinese, Japanese and Korean characters the bundled fonts
// lack (through fontconfig's fallback); empty when the machine has none.
std::string textCJKFontFile();
void setTextEngineUsesSystemFonts(bool enabled);
// Where fontconfig keeps the bundled fonts' cache: the user's own cache folder, else a private
// folder of the user's under TMPDIR, else none (the fonts are scanned at each start). Never a
// folder at a name another user could have taken first: such a folder is named in the log with the
// reason it is refused.
std::vector<std::string> fontCacheFolders();
