#include "platform/runtime/format.h"

#include <gtest/gtest.h>

#include <random>

#include "platform/runtime/utf16.h"

TEST(Format, IntegersWithLengthsWidthsAndBases) {
    EXPECT_EQ(formatString("%d items, %i left", {3, -2}), "3 items, -2 left");
    EXPECT_EQ(formatString("%ld|%lld|%lu", {Value(9000000000LL), Value(-5LL), Value(7ul)}), "9000000000|-5|7");
    EXPECT_EQ(formatString("%02d:%02d", {5, 30}), "05:30");
    EXPECT_EQ(formatString("%x %X %#x", {255, 255, 255}), "ff FF 0xff");
    EXPECT_EQ(formatString("%02X%02X", {10, 171}), "0AAB");
    // A 32-bit directive sees the low 32 bits, as the C argument would carry them.
    EXPECT_EQ(formatString("%d", {Value(4294967297LL)}), "1");
    EXPECT_EQ(formatString("%u", {-1}), "4294967295");
    EXPECT_EQ(formatString("%lu", {Value(-1L)}), "18446744073709551615");
    EXPECT_EQ(formatString("%d %d", {true, false}), "1 0");
    EXPECT_EQ(formatString("%*d|%-*d|", {4, 7, 3, 8}), "   7|8  |");
}

TEST(Format, FloatingPointForms) {
    EXPECT_EQ(formatString("%f", {1.5}), "1.500000");
    EXPECT_EQ(formatString("%0.1f %.2f %5.1f %.f", {2.25f, 3.14159, 9.96, 2.5}), "2.2 3.14  10.0 2");
    EXPECT_EQ(formatString("%e|%g|%g", {12345.678, 0.0001, 1e20}), "1.234568e+04|0.0001|1e+20");
    // Numbers convert between kinds instead of printing garbage.
    EXPECT_EQ(formatString("%0.1f|%d", {3, 2.9}), "3.0|2");
}

TEST(Format, ObjectsStringsAndCharacters) {
    EXPECT_EQ(formatString("%@ and %@", {"text", 42}), "text and 42");
    EXPECT_EQ(formatString("[%@]", {Value()}), "[(null)]");
    EXPECT_EQ(formatString("%@", {Value::array({1, "a"})}), Value::array({1, "a"}).description());
    EXPECT_EQ(formatString("%s/%.3s", {"abc", "h\xC3\xA9llo"}), "abc/h\xC3\xA9");  // never splits a character
    EXPECT_EQ(formatString("%C", {0xF030}), "\xEF\x80\xB0");
    EXPECT_EQ(formatString("%C", {0xD83D}), "\xEF\xBF\xBD");  // a lone surrogate cannot stand alone
    EXPECT_EQ(formatString("%c%c", {65, 0xE9}), "A\xC3\xA9");
    EXPECT_EQ(formatString("100%% of %@", {"it"}), "100% of it");
    EXPECT_EQ(formatString("%5@|%-4@|", {"ab", "\xC3\xA9"}), "   ab|\xC3\xA9   |");
}

TEST(Format, PositionalArguments) {
    EXPECT_EQ(formatString("%2$@ %1$@", {"world", "hello"}), "hello world");
    EXPECT_EQ(formatString("%1$@-%1$@ %2$02d", {"x", 7}), "x-x 07");
    EXPECT_EQ(formatString("%3$@|%0$@", {"a"}), "|");
}

TEST(Format, MissingOrMismatchedArgumentsPrintNothing) {
    EXPECT_EQ(formatString("a%@b%dc", {}), "abc");
    EXPECT_EQ(formatString("%d|%f|%s|%C", {"text", "text", 5, "x"}), "|||");
    EXPECT_EQ(formatString("%05d", {Value()}), "");
    EXPECT_EQ(formatString("%ld %@", {1}), "1 ");
}

TEST(Format, HostileDirectivesAreHarmless) {
    // Unknown directives are copied as written and consume nothing.
    EXPECT_EQ(formatString("%k %@ %", {"v"}), "%k v %");
    EXPECT_EQ(formatString("%lk%@", {"v"}), "%lkv");
    // %n writes nothing anywhere and prints nothing.
    EXPECT_EQ(formatString("a%nb%@", {1, "c"}), "abc");
    // Widths and precisions from a server cannot ask for gigabytes.
    EXPECT_EQ(formatString("%999999999999d", {1}).size(), static_cast<std::size_t>(kFormatMaxWidth));
    EXPECT_LE(formatString("%.999999999f", {1.0}).size(), static_cast<std::size_t>(kFormatMaxWidth) + 2);
    EXPECT_EQ(formatString("%*d", {Value(-3), 1}), "1  ");
}

TEST(Format, SurvivesThousandsOfRandomFormatsAndArguments) {
    std::mt19937 rng(20261206);
    const std::vector<std::string> pieces = {"%",
                                             "%",
                                             "%",
                                             "@",
                                             "d",
                                             "i",
                                             "u",
                                             "x",
                                             "X",
                                             "f",
                                             "e",
                                             "g",
                                             "s",
                                             "C",
                                             "c",
                                             "p",
                                             "n",
                                             "l",
                                             "ll",
                                             "h",
                                             "q",
                                             "z",
                                             "L",
                                             ".",
                                             "*",
                                             "$",
                                             "1$",
                                             "2$",
                                             "9$",
                                             "0",
                                             "5",
                                             "12",
                                             "-",
                                             "+",
                                             " ",
                                             "#",
                                             "'",
                                             "a",
                                             "%%",
                                             "\xC3\xA9",
                                             "\xF0\x9F\x98\x80",
                                             "\xFF",
                                             "\xE2\x82",
                                             "99999999999",
                                             "x"};
    auto randomValue = [&](int which) -> Value {
        switch (which % 14) {
            case 0: return Value();
            case 1: return Value(static_cast<int>(rng()));
            case 2: return Value(static_cast<long long>(rng()) << 32 | rng());
            case 3: return Value(static_cast<unsigned long long>(rng()) << 33);
            case 4: return Value(static_cast<float>(rng()) / 7.0f);
            case 5: return Value(-static_cast<double>(rng()) * 1e290);
            case 6: return Value(std::nan(""));
            case 7: return Value("str\xFF\xC3");
            case 8: return Value(rng() % 2 == 0);
            case 9: return Value::data({1, 2, 3});
            case 10: return Value::date(1e9);
            case 11: return Value::array({1, Value::dictionary({{"k", "v"}})});
            case 12: return Value(-static_cast<int>(rng() % 100000));
            default: return Value(std::numeric_limits<double>::infinity());
        }
    };
    for (int round = 0; round < 4000; ++round) {
        std::string format;
        int parts = static_cast<int>(rng() % 12);
        for (int i = 0; i < parts; ++i) format += pieces[rng() % pieces.size()];
        std::vector<Value> args;
        int count = static_cast<int>(rng() % 5);
        for (int i = 0; i < count; ++i) args.push_back(randomValue(static_cast<int>(rng())));
        std::string out = formatString(format, args);
        EXPECT_EQ(out, formatString(format, args)) << format;
        // Every directive prints at most a capped width plus its argument's own text.
        std::size_t bound = format.size() + 1;
        for (const auto& a : args) bound += a.description().size();
        bound += static_cast<std::size_t>(parts) * (kFormatMaxWidth + 400);
        EXPECT_LE(out.size(), bound) << format;
    }
}

TEST(Format, LiteralTextPassesThroughUnchanged) {
    EXPECT_EQ(formatString("no directives \xF0\x9F\x98\x80 here", {1, 2}), "no directives \xF0\x9F\x98\x80 here");
    EXPECT_EQ(formatString("", {1}), "");
}
