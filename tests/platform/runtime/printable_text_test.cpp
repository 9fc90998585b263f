// Text from outside made safe for a terminal: what a terminal acts on is spelled out, and nothing
// printable is touched.
#include "platform/runtime/printable_text.h"

#include <gtest/gtest.h>

#include <string>

TEST(PrintableText, SpellsOutWhatATerminalWouldActOnAndKeepsEveryScript) {
    // Kept: ASCII, and UTF-8 of any script.
    EXPECT_EQ(printableText("/home/ann/Kuvat/kesä 日本 😀.mp4"), "/home/ann/Kuvat/kesä 日本 😀.mp4");
    // C0 controls and DEL, with the usual spellings for tab, newline and return.
    EXPECT_EQ(printableText(std::string("a\x1b[2Jb\x07\x7f\0z", 10)), "a\\x1B[2Jb\\x07\\x7F\\x00z");
    EXPECT_EQ(printableText("1\t2\n3\r"), "1\\t2\\n3\\r");
    // C1 controls (the one-character escape introducer among them) in their UTF-8 form.
    EXPECT_EQ(printableText("\xc2\x9b"
                            "31m"),
              "\\xC2\\x9B31m");
    // Bytes that are not UTF-8: stray, cut short, overlong, a surrogate, past U+10FFFF.
    EXPECT_EQ(printableText("\x9b\xff"), "\\x9B\\xFF");
    EXPECT_EQ(printableText("x\xe6\x97"), "x\\xE6\\x97");
    EXPECT_EQ(printableText("\xc0\xaf"), "\\xC0\\xAF");
    EXPECT_EQ(printableText("\xed\xa0\x80"), "\\xED\\xA0\\x80");
    EXPECT_EQ(printableText("\xf4\x90\x80\x80"), "\\xF4\\x90\\x80\\x80");
    // The backslash is doubled, so that no spelling can be passed off as another.
    EXPECT_EQ(printableText("\\x1B"), "\\\\x1B");
}
