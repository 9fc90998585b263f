// Curve files: every shipped file parses into a cube; known curves give known lookups and cube
// entries; malformed files give nothing without a crash.
#include "filter/format_acv.h"

#include <gtest/gtest.h>

#include <random>

#include "filter/color_table.h"
#include "filter/filter_element.h"
#include "filter/filter_preset.h"
#include "foundation/string_custom_paths.h"
#include "platform/storage/file_manager.h"
#include "tests/filter/filter_test_support.h"

namespace {

using Points = std::vector<std::pair<int, int>>;  // (input, output)

Bytes file(const std::vector<Points>& curves, int count = -1) {
    Bytes b;
    auto u16 = [&](int v) {
        b.push_back(static_cast<std::uint8_t>(v >> 8));
        b.push_back(static_cast<std::uint8_t>(v & 0xFF));
    };
    u16(4);
    u16(count < 0 ? static_cast<int>(curves.size()) : count);
    for (const Points& c : curves) {
        u16(static_cast<int>(c.size()));
        for (auto [in, out] : c) {
            u16(out);
            u16(in);
        }
    }
    return b;
}

const Points kIdentity{{0, 0}, {255, 255}};

}  // namespace

TEST(FormatACV, EveryShippedCurveFileBecomesACube) {
    for (const std::string& name : FilterPreset::allCurveNames()) {
        auto path = withBundlePath(name + ".acv");
        ASSERT_TRUE(path.has_value()) << name;
        auto data = readFileData(*path);
        ASSERT_TRUE(data.ok()) << name;
        auto table = FormatACV::lookup(*data);
        ASSERT_TRUE(table.has_value()) << name;
        // Tone curves keep their order: darker inputs never come out brighter.
        for (int i = 1; i < 256; ++i)
            for (int c = 0; c < 3; ++c) ASSERT_LE((*table)[i - 1][c], (*table)[i][c] + 1e-6f) << name << " at " << i;
    }
    EXPECT_EQ(FilterPreset::allCurveNames().size(), 127u);
}

TEST(FormatACV, IdentityCurvesGiveAnIdentityCube) {
    Bytes data = file({kIdentity, kIdentity, kIdentity, kIdentity});
    Value desc = FormatACV::parseNoSelfie(data, "X");
    ASSERT_TRUE(desc.isDictionary());
    EXPECT_TRUE(desc.isEqual(FormatACV::parseSelfie(data, "X")));
    EXPECT_EQ(desc["name"].stringValue(), "CIColorCube");
    EXPECT_EQ(desc["value"]["inputCubeDimension"]["value"].integerValue(), 20);
    const Value& cube = desc["value"]["inputCubeData"]["value"];
    ASSERT_EQ(colorTableCount(cube), 8000u);
    EXPECT_TRUE(
        colorTableEntry(cube, 1).isEqual(Value::array({Value(13 / 255.0f), Value(0.0f), Value(0.0f), Value(1.0f)})));
    EXPECT_TRUE(
        colorTableEntry(cube, 7999).isEqual(Value::array({Value(1.0f), Value(1.0f), Value(1.0f), Value(1.0f)})));
    EXPECT_TRUE(desc["value"]["inputImage"]["editable"].boolValue());
    EXPECT_EQ(FormatACV::gridIndex(3), 40);
}

TEST(FormatACV, ChannelThenCompositeAndKnotsAtTheEnds) {
    // Red lifts 128 to 160; the composite lowers 160 to 150.
    Points red{{0, 0}, {128, 160}, {255, 255}};
    Points composite{{0, 0}, {160, 150}, {255, 255}};
    auto table = FormatACV::lookup(file({composite, red, kIdentity, kIdentity}));
    ASSERT_TRUE(table.has_value());
    EXPECT_FLOAT_EQ((*table)[128][0ul], 150 / 255.0f);
    EXPECT_FLOAT_EQ((*table)[128][1], (*table)[128][1]);

    // Knots at 20 and 200: black below, white above.
    auto ends = FormatACV::getPreparedSplineCurve({{20, 20}, {200, 200}});
    ASSERT_EQ(ends.size(), 256u);
    EXPECT_FLOAT_EQ(ends[10], -10.0f);
    EXPECT_FLOAT_EQ(ends[20], 0.0f);
    EXPECT_FLOAT_EQ(ends[230], 25.0f);

    // Points out of order are sorted first.
    EXPECT_EQ(FormatACV::getPreparedSplineCurve({{255, 255}, {0, 0}, {128, 128}}),
              FormatACV::getPreparedSplineCurve({{0, 0}, {128, 128}, {255, 255}}));
}

TEST(FormatACV, ACubeFromAKnownCurveMapsColoursThroughTheFilter) {
    // Blue inverted, others identity: a blue input becomes black in blue, black becomes blue.
    Bytes data = file({kIdentity, kIdentity, kIdentity, {{0, 255}, {255, 0}}});
    Value desc = FormatACV::parse0(data, "Inverted blue", Value());
    desc["value"].dictionaryPtr()->remove("inputImage");
    auto e = FilterElement::withDesc(desc);
    ASSERT_NE(e, nullptr);
    auto context = unmanagedContext();
    auto px = firstPixel(*context, e->make(solidImage(4, 4, 255, 0, 255)));
    ASSERT_EQ(px.size(), 4u);
    EXPECT_NEAR(px[0ul], 255, 2);
    EXPECT_NEAR(px[1], 0, 2);
    EXPECT_NEAR(px[2], 0, 2);
    px = firstPixel(*context, e->make(solidImage(4, 4, 0, 0, 0)));
    EXPECT_NEAR(px[2], 255, 2);
}

TEST(FormatACV, MalformedFilesGiveNothing) {
    EXPECT_FALSE(FormatACV::parse0(Bytes{}).has_value());
    EXPECT_FALSE(FormatACV::parse0(Bytes{0, 4}).has_value());
    Bytes good = file({kIdentity, kIdentity, kIdentity, kIdentity});
    for (std::size_t n = 0; n < good.size(); ++n) {
        Bytes truncated(good.begin(), good.begin() + static_cast<long>(n));
        EXPECT_TRUE(FormatACV::parse0(truncated, "T", Value()).isNull()) << n;
    }
    EXPECT_TRUE(FormatACV::parse0(file({kIdentity, kIdentity, kIdentity}), "three", Value()).isNull());
    EXPECT_TRUE(FormatACV::parse0(file({kIdentity, {}, kIdentity, kIdentity}), "zero points", Value()).isNull());
    EXPECT_TRUE(FormatACV::parse0(file({kIdentity, {{0, 0}}, kIdentity, kIdentity}), "one point", Value()).isNull());
    EXPECT_TRUE(FormatACV::parse0(file({kIdentity, kIdentity, kIdentity, kIdentity}, 65535), "huge", Value()).isNull());
    Bytes hugePoints = file({kIdentity});
    hugePoints[4] = 0xFF;
    hugePoints[5] = 0xFF;
    EXPECT_FALSE(FormatACV::parse0(hugePoints).has_value());
    // Repeated inputs: the later point wins; a curve left with one input is refused.
    EXPECT_TRUE(FormatACV::parse0(file({{{0, 0}, {0, 50}}, kIdentity, kIdentity, kIdentity}), "dup", Value()).isNull());
    auto dup = FormatACV::getPreparedSplineCurve({{0, 0}, {128, 100}, {128, 140}, {255, 255}});
    ASSERT_EQ(dup.size(), 256u);
    EXPECT_FLOAT_EQ(dup[128], 12.0f);
    // A point past the last level (or at 65535) cannot come from a writer: the file is refused,
    // whichever curve holds it; 255 itself is the last valid input.
    for (int curve = 0; curve < 4; ++curve) {
        std::vector<Points> curves(4, kIdentity);
        curves[curve] = {{0, 0}, {128, 128}, {256, 255}};
        EXPECT_FALSE(FormatACV::parse0(file(curves)).has_value()) << curve;
        EXPECT_TRUE(FormatACV::parse0(file(curves), "past", Value()).isNull()) << curve;
        curves[curve] = {{0, 0}, {65535, 255}};
        EXPECT_FALSE(FormatACV::lookup(file(curves)).has_value()) << curve;
    }
    EXPECT_TRUE(FormatACV::parse0(file({{{0, 0}, {255, 255}}, kIdentity, kIdentity, kIdentity})).has_value());
    // Five or more curves: the extra ones are read and ignored.
    EXPECT_TRUE(FormatACV::parse0(file({kIdentity, kIdentity, kIdentity, kIdentity, kIdentity}), "five", Value())
                    .isDictionary());
}

TEST(FormatACV, RandomBytesNeverCrash) {
    std::mt19937 random(7);
    Bytes seed = file({kIdentity, {{0, 10}, {90, 120}, {255, 250}}, kIdentity, kIdentity});
    for (int round = 0; round < 300; ++round) {
        Bytes data = seed;
        if (round % 3 == 0) data.resize(random() % 64);
        for (auto& b : data)
            if (random() % 4 == 0) b = static_cast<std::uint8_t>(random());
        auto table = FormatACV::lookup(data);
        if (table) {
            for (const auto& rgb : *table)
                for (float v : rgb) ASSERT_TRUE(v >= 0 && v <= 1);
        }
    }
}
