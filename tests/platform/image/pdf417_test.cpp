// PDF417 symbols: read back by a real decoder, shaped by their inputs, refused when they cannot be.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "code_reader.h"

using namespace imagetest;
using namespace codereader;

namespace {

const char* const kReader = "ZXingReader -format PDF417 -bytes";
constexpr int kQuiet = 2, kRowHeight = 3;

std::shared_ptr<CIImage> pdf417Value(const Value& message, const ValueDictionary& extra = {}) {
    auto f = CIFilter::filterWithName("CIPDF417BarcodeGenerator", extra);
    if (!message.isNull()) f->setValue(message, "inputMessage");
    return f->outputImage();
}
std::shared_ptr<CIImage> pdf417(const std::string& message, const ValueDictionary& extra = {}) {
    return pdf417Value(bytesOf(message), extra);
}

// Symbol size in modules and rows, quiet zone and row height taken off.
int columnsWide(const std::shared_ptr<CIImage>& code) {
    return static_cast<int>(code->extent().size.width) - 2 * kQuiet;
}
int rowsHigh(const std::shared_ptr<CIImage>& code) {
    return (static_cast<int>(code->extent().size.height) - 2 * kQuiet) / kRowHeight;
}

std::string binaryMessage() {
    std::string s;
    for (int i = 0; i < 256; ++i) s.push_back(static_cast<char>(255 - i));  // 0xFF first, 0x00 last
    return s + "after zero";
}

}  // namespace

TEST(PDF417Generator, SymbolsAreReadBackByARealDecoder) {
    if (auto why = testsupport::missingTool("ZXingReader")) GTEST_SKIP() << *why;
    std::string mixed;
    for (int i = 0; i < 40; ++i)
        mixed += "Frame " + std::to_string(i * 37) + ", exposure 1/" + std::to_string(60 + i) + "; ";
    struct Case {
        std::string message;
        ValueDictionary extra;
    };
    for (const Case& c : {Case{"Korva", {}}, Case{"HELLO korva 42 / mixed Case!", {}},
                          Case{"0123456789012345678901234567890123456789012345678901", {}}, Case{binaryMessage(), {}},
                          Case{mixed.substr(0, 600), {}}, Case{"compact style", {{"inputCompactStyle", Value(1)}}},
                          Case{binaryMessage(), {{"inputCompactStyle", Value(1)}, {"inputDataColumns", Value(12)}}},
                          Case{"strongest level", {{"inputCorrectionLevel", Value(8)}}},
                          Case{"one column, many rows", {{"inputDataColumns", Value(1)}}},
                          Case{"wide and low", {{"inputPreferredAspectRatio", Value(12)}}}}) {
        SCOPED_TRACE(c.message.substr(0, 24));
        auto code = pdf417(c.message, c.extra);
        ASSERT_NE(code, nullptr);
        EXPECT_EQ(decode(code, 2, "pdf417", kReader), c.message);
    }
}

TEST(PDF417Generator, ModulesAreOpaqueBlackOnWhiteAndRowsCarryTheGuardPatterns) {
    auto code = pdf417("Korva");
    ASSERT_NE(code, nullptr);
    EXPECT_EQ(code->extent().origin.x, 0);
    EXPECT_EQ(code->extent().origin.y, 0);
    const int w = static_cast<int>(code->extent().size.width), h = static_cast<int>(code->extent().size.height);
    auto bitmap = render(plainContext(1), code, CGRectMake(0, 0, w, h));
    ASSERT_FALSE(bitmap.rgba.empty());
    for (std::size_t i = 0; i < bitmap.rgba.size(); i += 4) {
        ASSERT_EQ(bitmap.rgba[i + 3], 255);
        ASSERT_TRUE(bitmap.rgba[i] == 0 || bitmap.rgba[i] == 255) << int(bitmap.rgba[i]);
    }
    auto dark = [&](int x, int y) { return bitmap.at(x, y)[0] == 0; };
    for (int x = 0; x < w; ++x) EXPECT_FALSE(dark(x, 0) || dark(x, kQuiet - 1) || dark(x, h - 1)) << x;
    for (int y = 0; y < h; ++y) EXPECT_FALSE(dark(0, y) || dark(kQuiet - 1, y) || dark(w - 1, y)) << y;
    // Every row opens with the start pattern and closes with the stop pattern.
    const std::string start = "11111111010101000", stop = "111111101000101001";
    for (int y = kQuiet; y < h - kQuiet; ++y) {
        std::string first, last;
        for (int x = 0; x < 17; ++x) first += dark(kQuiet + x, y) ? '1' : '0';
        for (int x = w - kQuiet - 18; x < w - kQuiet; ++x) last += dark(x, y) ? '1' : '0';
        EXPECT_EQ(first, start) << "row " << y;
        EXPECT_EQ(last, stop) << "row " << y;
    }
}

TEST(PDF417Generator, RequestedColumnsAndRowsAreHonoured) {
    for (int columns : {1, 3, 10, 30}) {
        SCOPED_TRACE(columns);
        auto full = pdf417("Korva", {{"inputDataColumns", Value(columns)}});
        auto compact = pdf417("Korva", {{"inputDataColumns", Value(columns)}, {"inputCompactStyle", Value(1)}});
        ASSERT_NE(full, nullptr);
        ASSERT_NE(compact, nullptr);
        EXPECT_EQ(columnsWide(full), 17 * (columns + 4) + 1);
        EXPECT_LT(columnsWide(compact), columnsWide(full));
        EXPECT_EQ(rowsHigh(compact), rowsHigh(full));
    }
    auto shaped = pdf417("Korva", {{"inputDataColumns", Value(5)}, {"inputRows", Value(20)}});
    ASSERT_NE(shaped, nullptr);
    EXPECT_EQ(columnsWide(shaped), 17 * 9 + 1);
    EXPECT_EQ(shaped->extent().size.height, 20 * kRowHeight + 2 * kQuiet);
    auto rowsOnly = pdf417(std::string(200, 'r'), {{"inputRows", Value(6)}});
    ASSERT_NE(rowsOnly, nullptr);
    EXPECT_EQ(rowsHigh(rowsOnly), 6);
}

TEST(PDF417Generator, HigherCorrectionLevelsMakeBiggerSymbols) {
    int previous = 0;
    const std::string m = "Each level doubles the check words: " + std::string(24, 'w');
    for (int level : {0, 3, 5, 7, 8}) {
        SCOPED_TRACE(level);
        auto code = pdf417(m, {{"inputCorrectionLevel", Value(level)}, {"inputDataColumns", Value(10)}});
        ASSERT_NE(code, nullptr);
        EXPECT_GT(rowsHigh(code), previous);
        previous = rowsHigh(code);
    }
}

TEST(PDF417Generator, SizeLimitsAndAspectRatioChooseTheShape) {
    const std::string m(250, 'k');
    auto tall = pdf417(m, {{"inputPreferredAspectRatio", Value(0.5)}});
    auto wide = pdf417(m, {{"inputPreferredAspectRatio", Value(8)}});
    ASSERT_NE(tall, nullptr);
    ASSERT_NE(wide, nullptr);
    const CGSize t = tall->extent().size, w = wide->extent().size;
    EXPECT_LT(t.width / t.height, w.width / w.height);
    EXPECT_NEAR(std::log(t.width / t.height / 0.5), 0, 0.7);
    EXPECT_NEAR(std::log(w.width / w.height / 8), 0, 0.7);

    auto narrow = pdf417(m, {{"inputMaxWidth", Value(200)}});
    ASSERT_NE(narrow, nullptr);
    EXPECT_LE(narrow->extent().size.width, 200);
    auto low = pdf417(m, {{"inputMaxHeight", Value(60)}, {"inputMinWidth", Value(300)}});
    ASSERT_NE(low, nullptr);
    EXPECT_LE(low->extent().size.height, 60);
    EXPECT_GE(low->extent().size.width, 300);
    // Limits no symbol can meet, or that contradict each other.
    EXPECT_EQ(pdf417(m, {{"inputMaxWidth", Value(90)}}), nullptr);
    EXPECT_EQ(pdf417(m, {{"inputMinWidth", Value(400)}, {"inputMaxWidth", Value(300)}}), nullptr);
    EXPECT_EQ(pdf417(m, {{"inputDataColumns", Value(2)}, {"inputMinWidth", Value(500)}}), nullptr);
}

TEST(PDF417Generator, BadInputGivesNoImage) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(pdf417Value(Value()), nullptr);
    EXPECT_EQ(pdf417(std::string()), nullptr);
    EXPECT_EQ(pdf417Value(Value(17)), nullptr);
    EXPECT_EQ(pdf417(std::string(2000, 'a')), nullptr);     // beyond any symbol as text
    EXPECT_EQ(pdf417(std::string(1200, '\xF0')), nullptr);  // beyond any symbol as bytes
    EXPECT_EQ(pdf417(std::string(1'000'000, 'b')), nullptr);
    EXPECT_NE(pdf417(std::string(1100, '\xF0')), nullptr);  // fits at a lower level
    // A shape that cannot hold the message is refused, never silently widened.
    EXPECT_EQ(pdf417(std::string(100, 'q'), {{"inputDataColumns", Value(1)}, {"inputRows", Value(3)}}), nullptr);
    EXPECT_EQ(pdf417(std::string(900, '\xF0'), {{"inputDataColumns", Value(1)}}), nullptr);
    EXPECT_EQ(pdf417(std::string(900, '\xF0'), {{"inputRows", Value(3)}}), nullptr);
    struct Bad {
        const char* key;
        Value value;
    };
    for (const Bad& b :
         {Bad{"inputCorrectionLevel", Value(9)}, Bad{"inputCorrectionLevel", Value(-1)},
          Bad{"inputCorrectionLevel", Value(nan)}, Bad{"inputDataColumns", Value(31)}, Bad{"inputRows", Value(2)},
          Bad{"inputRows", Value(91)}, Bad{"inputRows", Value("6")}, Bad{"inputCompactionMode", Value(4)},
          Bad{"inputCompactStyle", Value(2)}, Bad{"inputAlwaysSpecifyCompaction", Value(-1)},
          Bad{"inputMinWidth", Value(-5)}, Bad{"inputMaxHeight", Value(std::numeric_limits<double>::infinity())},
          Bad{"inputPreferredAspectRatio", Value(nan)}}) {
        SCOPED_TRACE(b.key);
        EXPECT_EQ(pdf417("Korva", {{b.key, b.value}}), nullptr);
    }
    // Compaction hints in range are accepted; a string message is read as its UTF-8 bytes.
    for (int mode = 0; mode <= 3; ++mode)
        EXPECT_NE(pdf417("Korva", {{"inputCompactionMode", Value(mode)}, {"inputAlwaysSpecifyCompaction", Value(1)}}),
                  nullptr);
    EXPECT_NE(pdf417Value(Value("Korva")), nullptr);
}
