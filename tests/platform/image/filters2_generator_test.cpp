// Generated codes read back by a real decoder (zbarimg, when installed), and their geometry.
#include <gtest/gtest.h>

#include "code_reader.h"

using namespace imagetest;
using namespace codereader;

namespace {

const char* const kAztecReader = "ZXingReader -format Aztec -bytes";

}  // namespace

TEST(Filters2Generators, QRCodesAreReadBackAtEveryLevelAndSize) {
    if (auto why = testsupport::missingTool("zbarimg")) GTEST_SKIP() << *why;
    struct Case {
        std::string message;
        const char* level;
    };
    // Short (version 1), medium with several blocks, and long enough for version information.
    const std::string longText(180, 'k');
    for (const Case& c : {Case{"Korva", "L"}, Case{"https://example.org/korva?frame=42", "M"},
                          Case{"Quartile level: some blocks are longer than others.", "Q"},
                          Case{"H level " + std::string(40, '7'), "H"}, Case{longText + "!", "M"}}) {
        SCOPED_TRACE(c.level);
        auto f = CIFilter::filterWithName(
            "CIQRCodeGenerator", {{"inputMessage", bytesOf(c.message)}, {"inputCorrectionLevel", Value(c.level)}});
        auto code = f->outputImage();
        ASSERT_NE(code, nullptr);
        // Square, an odd number of modules of 4v + 17 plus one module of margin on each side.
        const int side = static_cast<int>(code->extent().size.width);
        EXPECT_EQ(code->extent().size.height, side);
        EXPECT_EQ((side - 2 - 17) % 4, 0);
        EXPECT_EQ(decode(code, 4, "qr"), c.message);
    }
}

TEST(Filters2Generators, QRRejectsWhatItCannotEncode) {
    auto make = [](const ValueDictionary& in) {
        return CIFilter::filterWithName("CIQRCodeGenerator", in)->outputImage();
    };
    EXPECT_EQ(make({}), nullptr);                                                                      // no message
    EXPECT_EQ(make({{"inputMessage", bytesOf("x")}, {"inputCorrectionLevel", Value("Z")}}), nullptr);  // no such level
    EXPECT_EQ(make({{"inputMessage", Value::data(Bytes(3000, 'a'))}}), nullptr);  // beyond version 40
    EXPECT_NE(make({{"inputMessage", Value::data(Bytes(2300, 'a'))}, {"inputCorrectionLevel", Value("L")}}), nullptr);
}

TEST(Filters2Generators, Code128IsReadBackAndSizedByItsInputs) {
    auto make = [](const std::string& m, double quiet = 10, double height = 32) {
        return CIFilter::filterWithName("CICode128BarcodeGenerator", {{"inputMessage", bytesOf(m)},
                                                                      {"inputQuietSpace", Value(quiet)},
                                                                      {"inputBarcodeHeight", Value(height)}})
            ->outputImage();
    };
    auto code = make("Korva-128");
    ASSERT_NE(code, nullptr);
    // Start, nine symbols, check (11 modules each) and the 13-module stop, plus the quiet space.
    EXPECT_EQ(code->extent(), CGRectMake(0, 0, 11 * 11 + 13 + 20, 32 + 20));
    EXPECT_EQ(make("123456", 0, 5)->extent(), CGRectMake(0, 0, 11 * 5 + 13, 5));  // set C packs digit pairs
    EXPECT_EQ(make("caf\xC3\xA9"), nullptr);                                      // not ASCII
    if (auto why = testsupport::missingTool("zbarimg")) GTEST_SKIP() << *why;
    for (const std::string m : {"Korva-128", "0123456789", "AB12345678cd", "x", "Tab\there 99 {}"}) {
        SCOPED_TRACE(m);
        auto c = make(m, 10, 40);
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(decode(c, 3, "code128"), m);
    }
}

TEST(Filters2Generators, AztecSymbolsAreReadBackCompactAndFull) {
    auto make = [](const std::string& m, const ValueDictionary& extra = {}) {
        auto f = CIFilter::filterWithName("CIAztecCodeGenerator", extra);
        f->setValue(bytesOf(m), "inputMessage");
        return f->outputImage();
    };
    // Compact symbols are 15, 19, 23 or 27 modules; full-range ones from 31 (four layers) up.
    auto small = make("Korva");
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(small->extent().size.width, 15 + 2);
    auto full = make("x", {{"inputCompactStyle", Value(0)}, {"inputLayers", Value(1)}});
    ASSERT_NE(full, nullptr);
    EXPECT_EQ(full->extent().size.width, 19 + 2);
    EXPECT_EQ(make(""), nullptr);
    EXPECT_EQ(make("x", {{"inputLayers", Value(40)}}), nullptr);
    EXPECT_EQ(make(std::string(100, 'q'), {{"inputCompactStyle", Value(1)}, {"inputLayers", Value(1)}}), nullptr);
    if (auto why = testsupport::missingTool("ZXingReader")) GTEST_SKIP() << *why;
    std::string binary;
    for (int i = 0; i < 256; ++i) binary.push_back(static_cast<char>(i));
    struct Case {
        std::string message;
        ValueDictionary extra;
    };
    for (const Case& c : {Case{"Korva", {}}, Case{"Compact, four layers: " + std::string(20, '#'), {}},
                          Case{"Full range with a reference grid " + std::string(300, 'g'), {}},
                          Case{binary, {{"inputCorrectionLevel", Value(50)}}},
                          Case{"full, two layers", {{"inputCompactStyle", Value(0)}, {"inputLayers", Value(2)}}}}) {
        SCOPED_TRACE(c.message.substr(0, 24));
        auto code = make(c.message, c.extra);
        ASSERT_NE(code, nullptr);
        EXPECT_EQ(decode(code, 3, "aztec", kAztecReader), c.message);
    }
}
