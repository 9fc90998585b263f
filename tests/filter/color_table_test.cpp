// Colour tables in their two forms: a preset's packed cube reads back as the entries it stands for,
// is written out as they are and renders as they do; malformed tables are no tables and fail
// without a crash.
#include "filter/color_table.h"

#include <gtest/gtest.h>

#include "filter/filter_element.h"
#include "filter/filter_preset.h"
#include "filter/format_acv.h"
#include "foundation/string_custom_paths.h"
#include "platform/image/cg_image.h"
#include "platform/storage/file_manager.h"
#include "platform/storage/json.h"
#include "tests/filter/filter_test_support.h"

namespace {

constexpr int kDim = FormatACV::kCubeDimension;

// The cube of a lookup as entries, [r, g, b, 1] of floats, red fastest: how descriptions give it.
ValueArray entriesOf(const std::vector<std::array<float, 3>>& lookup) {
    ValueArray out;
    for (int b = 0; b < kDim; ++b)
        for (int g = 0; g < kDim; ++g)
            for (int r = 0; r < kDim; ++r)
                out.push_back(
                    Value::array({Value(lookup[FormatACV::gridIndex(r)][0]), Value(lookup[FormatACV::gridIndex(g)][1]),
                                  Value(lookup[FormatACV::gridIndex(b)][2]), Value(1.0f)}));
    return out;
}

std::vector<std::array<float, 3>> shippedLookup() {
    auto path = withBundlePath(FilterPreset::namesMagenta()[0] + ".acv");
    if (!path) return {};
    auto data = readFileData(*path);
    if (!data) return {};
    return FormatACV::lookup(*data).value_or(std::vector<std::array<float, 3>>{});
}

// 64 x 64 pixels through every level of red and green, blue by quarters.
std::shared_ptr<CIImage> sweep() {
    std::vector<std::uint8_t> px(64 * 64 * 4);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            std::uint8_t* p = &px[static_cast<std::size_t>(y * 64 + x) * 4];
            p[0] = static_cast<std::uint8_t>(x * 4 + y % 4);
            p[1] = static_cast<std::uint8_t>(y * 4 + x % 4);
            p[2] = static_cast<std::uint8_t>((x / 16) * 85);
            p[3] = 255;
        }
    return CIImage::imageWithBitmapData(std::move(px), 64 * 4, 64, 64, CIFormat::RGBA8, CIAlphaMode::Premultiplied,
                                        nullptr);
}

Bytes rendered(const Value& desc) {
    auto e = FilterElement::withDesc(desc);
    if (!e) return {};
    auto out = e->make(sweep());
    if (!out) return {};
    auto bitmap = unmanagedContext()->createCGImage(out, CGRectMake(0, 0, 64, 64),
                                                    CGImagePixelLayout::RGBA8Premultiplied, nullptr);
    if (!bitmap) return {};
    return Bytes(bitmap->data(), bitmap->data() + bitmap->bytesPerRow() * static_cast<std::size_t>(bitmap->height()));
}

Value cubeDesc(Value dimension, Value data) {
    return Value::dictionary(
        {{"name", Value("CIColorCube")},
         {"value", Value::dictionary({{"inputCubeDimension", Value::dictionary({{"value", std::move(dimension)}})},
                                      {"inputCubeData", Value::dictionary({{"value", std::move(data)}})}})}});
}

}  // namespace

TEST(ColorTable, APresetCubeRoundTripsThroughItsPackedForm) {
    const auto lookup = shippedLookup();
    ASSERT_EQ(lookup.size(), 256u);
    const Value entries(entriesOf(lookup));
    const Value packed = FormatACV::cube(lookup);
    ASSERT_TRUE(isPackedColorTable(packed));
    EXPECT_EQ(packed.bytes()->size(), 8000u * 16);
    EXPECT_EQ(colorTableCount(packed), 8000u);
    EXPECT_EQ(colorTableCount(entries), 8000u);

    // Read back as entries: equal to the original, and written out as the same JSON text.
    auto unpacked = colorTableEntries(packed);
    ASSERT_TRUE(unpacked.has_value());
    EXPECT_TRUE(Value(*unpacked).isEqual(entries));
    auto written = NSJSONSerialization::stringWithJSONObject(Value(*unpacked));
    auto original = NSJSONSerialization::stringWithJSONObject(entries);
    ASSERT_TRUE(written.ok() && original.ok());
    EXPECT_EQ(*written, *original);
    EXPECT_TRUE(colorTableEntry(packed, 4321).isEqual(entries[4321]));
    EXPECT_TRUE(colorTableEntry(packed, 8000).isNull());

    // The filter's data: the entries pack to the same bytes, and the packed table is handed on
    // as it is.
    EXPECT_EQ(*colorTableData(entries).bytes(), *packed.bytes());
    EXPECT_EQ(colorTableData(packed).identity(), packed.identity());

    // An element keeps the packed table shared (value and default) and renders as the entries do.
    Value desc = cubeDesc(Value(kDim), packed);
    auto e = FilterElement::withDesc(desc);
    ASSERT_NE(e, nullptr);
    const Value& record = recordOf(e->attrs(), "inputCubeData");
    EXPECT_EQ(record["type"].stringValue(), "NSData.NSArray");
    EXPECT_EQ(record["value"].identity(), packed.identity());
    EXPECT_EQ(record["def"].identity(), packed.identity());
    const Bytes fromPacked = rendered(desc);
    ASSERT_EQ(fromPacked.size(), 64u * 64 * 4);
    EXPECT_EQ(fromPacked, rendered(cubeDesc(Value(kDim), entries)));
    const Value grey = FormatACV::cube(std::vector<std::array<float, 3>>(256, {0.5f, 0.5f, 0.5f}));
    EXPECT_NE(fromPacked, rendered(cubeDesc(Value(kDim), grey))) << "the sweep tells cubes apart";
}

TEST(ColorTable, MalformedTablesAreNoTablesAndFailCleanly) {
    // Data of no whole entry, of none at all, and values of other kinds.
    for (const Value& bad : {Value::data(Bytes(17, 0)), Value::data(Bytes{}), Value("text"), Value(3), Value()}) {
        EXPECT_FALSE(isPackedColorTable(bad));
        EXPECT_EQ(colorTableCount(bad), 0u);
        EXPECT_TRUE(colorTableEntry(bad, 0).isNull());
        EXPECT_FALSE(colorTableEntries(bad).has_value());
        EXPECT_TRUE(colorTableData(bad).isNull());
    }

    // A packed table of no whole cube gives the filter the largest cube it holds (as entries do).
    std::vector<std::array<float, 4>> nine(9, {0.25f, 0.5f, 0.75f, 1});
    Value packed = packedColorTable(nine);
    EXPECT_EQ(colorTableData(packed).bytes()->size(), 8u * 16);
    EXPECT_EQ(*colorTableData(packed).bytes(), *colorTableData(Value(*colorTableEntries(packed))).bytes());

    // Given to an element: malformed data falls back to the platform's identity entries; a table
    // whose size does not match its dimension, or entries that are not numbers, render something
    // or nothing, never crash.
    auto e = FilterElement::withDesc(cubeDesc(Value(2), Value::data(Bytes(17, 0))));
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(recordOf(e->attrs(), "inputCubeData")["value"].count(), 8u);
    EXPECT_EQ(rendered(cubeDesc(Value(2), Value::data(Bytes(17, 0)))).size(), 64u * 64 * 4);
    (void)rendered(cubeDesc(Value(3), packed));
    (void)rendered(cubeDesc(Value(2), Value::array({Value("red"), Value::array({Value("x"), Value::dictionary()})})));
}
