// Text from outside made safe for a terminal: what a terminal acts on is spelled out, and nothing
// printable is touched.
#include "platform/runtime/printable_text.h"

#include <gtest/gtest.h>

#include <string>

TEST(PrintableText, SpellsOutWhatATerminalWouldActOnAndKeepsEveryScript) {
    EXPECT_EQ(printableText("/home/ann/kesä 日本 😀.mp4"), "/home/ann/kesä 日本 😀.mp4");
    // C0 controls and DEL; C1 controls (the escape introducer among them) in their UTF-8 form.
    EXPECT_EQ(printableText(std::string("a\x1b[2J\x07\x7f\0\t\n", 10)), "a\\x1B[2J\\x07\\x7F\\x00\\t\\n");
    EXPECT_EQ(printableText("\xc2\x9b"
                            "31m"),
              "\\xC2\\x9B31m");
    // Bidirectional controls, which would show "gpj.exe" as "exe.jpg": the override, the marks, the
    // isolates and the embeddings. Text in a right-to-left script is kept.
    EXPECT_EQ(printableText("a\u202Egpj.exe|\u200E\u200F\u061C|\u2066\u2069|\u202A"),
              "a\\xE2\\x80\\xAEgpj.exe|\\xE2\\x80\\x8E\\xE2\\x80\\x8F\\xD8\\x9C|\\xE2\\x81\\xA6\\xE2\\x81\\xA9|"
              "\\xE2\\x80\\xAA");
    EXPECT_EQ(printableText("שלום عربي"), "שלום عربي");
    // Not UTF-8: stray, cut short, overlong, a surrogate, past U+10FFFF.
    EXPECT_EQ(printableText("\x9b|\xe6\x97|\xc0\xaf|\xed\xa0\x80|\xf4\x90\x80\x80"),
              "\\x9B|\\xE6\\x97|\\xC0\\xAF|\\xED\\xA0\\x80|\\xF4\\x90\\x80\\x80");
    // The backslash is doubled, so that no spelling can be passed off as another.
    EXPECT_EQ(printableText("\\x1B"), "\\\\x1B");
}
