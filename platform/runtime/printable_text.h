// Text from outside the program (environment values, paths, messages that quote them) made safe to
// print on a terminal.
#pragma once

#include <string>
#include <string_view>

// The text with what a terminal would act on or mangle spelled out: control characters (C0, DEL
// and C1, which start terminal escapes), the bidirectional controls (U+061C, U+200E, U+200F,
// U+202A to U+202E, U+2066 to U+2069, which reorder what is shown) and bytes that are not UTF-8 as
// \xHH, byte by byte (tab, newline and carriage return as \t, \n, \r), and the backslash doubled so
// that the spelling cannot be forged.
// Printable characters, in any script, are kept as they are.
std::string printableText(std::string_view text);
