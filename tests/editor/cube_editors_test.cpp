// The colour cube grid and the one- and two-cube editors: where each cell lies and which entry it
// edits, the stacked and editing states on the virtual clock, tables of the wrong length, and the
// records the editors write and report, in order.
#include <gtest/gtest.h>

#include <cmath>

#include "editor/adjust/pop_adj_stepper_view.h"
#include "editor/color/color_cube_data_view.h"
#include "editor/color/pop_adj_color_cube2_view.h"
#include "editor/color/pop_adj_color_cube_view.h"
#include "editor/color/pop_adj_color_view.h"
#include "filter/color_table.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/control/ui_control.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/draw/color.h"
#include "tests/editor/editor_pop_support.h"
#include "ui/controls/stepper_view.h"
#include "ui/theme/color_custom.h"
#include "widgets/button/icon_button.h"
#include "widgets/scroll/scroll_label.h"

namespace {

Value colour(double r, double g, double b, double a = 1) {
    return Value(ValueArray{Value(r), Value(g), Value(b), Value(a)});
}

// n³ entries whose red, green and blue are their own column, row and level over 64.
Value indexedTable(long n) {
    ValueArray t;
    for (long z = 0; z < n; ++z)
        for (long r = 0; r < n; ++r)
            for (long q = 0; q < n; ++q) t.push_back(colour(q / 64.0, r / 64.0, z / 64.0));
    return Value(std::move(t));
}

struct CubeSource : ColorCubeDataViewDelegate {
    long n = 4;
    Value record = Value::dictionary({{"disp", Value("Cube Data")}});
    int changes = 0;
    long onColorCubeDataViewGetDimension(ColorCubeDataView&) override { return n; }
    Value onColorCubeDataViewGetAttr(ColorCubeDataView&) override { return record; }
    void onColorCubeDataViewValueChanged(ColorCubeDataView&) override { ++changes; }
};

struct CubeGrid : AdjustTest {
    using Rgba = std::array<CGFloat, 4>;
    std::shared_ptr<CubeSource> source = std::make_shared<CubeSource>();
    std::shared_ptr<ColorCubeDataView> grid;

    void build(long n, Value table) {
        source->n = n;
        source->record.set("value", std::move(table));
        grid = ColorCubeDataView::make(screenVC);
        grid->setDelegate(source);
        grid->setFrame({{10, 60}, {238, 255}});
        root()->addSubview(grid);
        grid->updateData();
        grid->updateView();
        settle();
    }
    void tapLabel(long i) {
        grid->menu()->buttons()[static_cast<std::size_t>(i)]->sendActionsForControlEvents(UIControlEventTouchUpInside);
    }
    static Rgba color(const UIColor& c) { return array(c); }
};

TEST_F(CubeGrid, CellsLieByTheirRowColumnAndLevel) {
    EXPECT_EQ(ColorCubeDataView::entryIndex(4, 1, 0, 2), 36);
    struct Case {
        long n;
        CGFloat pitch;
        CGFloat side;
    };
    for (const Case& c : {Case{2, 100, 40}, Case{5, 40, 40}, Case{8, 25, 25}, Case{64, 3, 3}}) {
        SCOPED_TRACE(c.n);
        EXPECT_EQ(ColorPlaneView::pitchFor(c.n, c.n), (CGSize{c.pitch, c.pitch}));
        const CGRect first = ColorPlaneView::cellGeometry(c.n, c.n, 0, 0);
        EXPECT_EQ(first.size, (CGSize{c.side, c.side}));
        // Row 0 is the bottom row, column 0 the left one.
        EXPECT_DOUBLE_EQ(first.origin.x, (0.5 - c.n / 2.0) * c.pitch);
        EXPECT_DOUBLE_EQ(first.origin.y, c.n * c.pitch / 2 - 0.5 * c.pitch);
    }

    build(2, indexedTable(2));
    ASSERT_EQ(grid->planes().size(), 2u);
    EXPECT_EQ(grid->planes()[0]->tag(), 1) << "label Z0 shows blue level 1";
    EXPECT_EQ(grid->menu()->buttons()[0]->titleForState(UIControlStateNormal), "Z0");
    const auto& cells = grid->planes()[1]->buttons();
    ASSERT_EQ(cells.size(), 4u);
    EXPECT_EQ(cells[0]->bounds().size, (CGSize{40, 40}));
    const CGPoint mid{CGRectGetMidX(grid->planes()[1]->bounds()), CGRectGetMidY(grid->planes()[1]->bounds())};
    EXPECT_EQ(cells[0]->center(), (CGPoint{mid.x - 50, mid.y + 50}));
    EXPECT_EQ(cells[3]->center(), (CGPoint{mid.x + 50, mid.y - 50}));
    EXPECT_EQ(cells[1]->tag(), 1);
    // Colour and inverted tint from the table.
    const auto c = color(*cells[2]->backgroundColor());
    EXPECT_DOUBLE_EQ(c[1], 1 / 64.0);
    EXPECT_DOUBLE_EQ(color(*cells[2]->tintColor())[1], 1 - 1 / 64.0);
    EXPECT_FLOAT_EQ(grid->planes()[0]->alpha(), 0.5) << "blue level 1 of 2 at build";
    EXPECT_FLOAT_EQ(grid->planes()[1]->alpha(), 0.7);
}

TEST_F(CubeGrid, EditingACellWritesItsEntryWithTheEditorOpen) {
    build(4, indexedTable(4));
    // Blue level 2 lies at position 1.
    tapLabel(1);
    advance(1.5);
    EXPECT_TRUE(grid->editing());
    auto plane = grid->planes()[1];
    ASSERT_EQ(plane->tag(), 2);
    EXPECT_FALSE(plane->isHidden());
    EXPECT_TRUE(plane->controls()->isUserInteractionEnabled());
    EXPECT_TRUE(grid->planes()[0]->isHidden());
    EXPECT_DOUBLE_EQ(plane->alpha(), 1);

    // Row 1, column 0 through a real tap on the flat plane.
    const auto cell = plane->buttons()[4];
    tap(centreOf(cell));
    advance(1);
    auto editor = plane->popColor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->titleView()->lblTitle()->text(), "COLOR - 1,0");
    EXPECT_FALSE(editor->titleView()->flagShowRight());
    EXPECT_EQ(source->changes, 1) << "the cell is stored on opening";

    // A swatch of (0.2, 0.4, 0.6) reaches entry 36 and the cell's tint inverts it.
    editor->value().set("value", colour(0.2, 0.4, 0.6));
    plane->onPopAdjGeneralBaseValueChanged(*editor, editor->value());
    EXPECT_EQ(source->changes, 2);
    const Value entry = source->record["value"][36];
    EXPECT_FLOAT_EQ(entry[std::size_t{0}].floatValue(), 0.2f);
    EXPECT_FLOAT_EQ(entry[std::size_t{2}].floatValue(), 0.6f);
    const auto tint = color(*cell->tintColor());
    EXPECT_NEAR(tint[0], 0.8, 1e-6);
    EXPECT_NEAR(tint[1], 0.6, 1e-6);
    EXPECT_NEAR(tint[2], 0.4, 1e-6);
    EXPECT_EQ(source->record["value"].count(), 64u);

    // Done puts the stack back; the alphas now follow positions.
    ASSERT_NE(grid->btnDone()->superview(), nullptr);
    grid->btnDone()->sendActionsForControlEvents(UIControlEventTouchUpInside);
    advance(1.5);
    EXPECT_FALSE(grid->editing());
    for (std::size_t p = 0; p < 4; ++p) {
        EXPECT_FALSE(grid->planes()[p]->isHidden());
        EXPECT_FALSE(grid->planes()[p]->controls()->isUserInteractionEnabled());
        EXPECT_NEAR(grid->planes()[p]->alpha(), 0.7 - 0.2 * p / 3, 1e-6);
    }
}

TEST_F(CubeGrid, APackedTableShowsItsColoursAndAnEditTurnsItIntoEntries) {
    // The presets' form: the same table as floats, four to an entry.
    const ValueArray entries = *indexedTable(3).arrayPtr();
    std::vector<std::array<float, 4>> floats;
    for (const Value& e : entries)
        floats.push_back({e[std::size_t{0}].floatValue(), e[1].floatValue(), e[2].floatValue(), 1});
    const Value packed = packedColorTable(floats);
    build(3, packed);
    const auto& cells = grid->planes()[0]->buttons();  // blue level 2
    EXPECT_FLOAT_EQ(color(*cells[5]->backgroundColor())[0], 2 / 64.0f);
    EXPECT_FLOAT_EQ(color(*cells[5]->backgroundColor())[2], 2 / 64.0f);

    tapLabel(0);
    advance(1.5);
    grid->planes()[0]->onButton(*cells[5]);
    advance(1);
    auto editor = grid->planes()[0]->popColor();
    ASSERT_NE(editor, nullptr);
    editor->value().set("value", colour(0.2, 0.4, 0.6));
    grid->planes()[0]->onPopAdjGeneralBaseValueChanged(*editor, editor->value());
    const ValueArray* table = source->record["value"].arrayPtr();
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->size(), 27u);
    const long edited = ColorCubeDataView::entryIndex(3, 1, 2, 2);
    for (std::size_t i = 0; i < 27; ++i) {
        if (static_cast<long>(i) == edited) continue;
        EXPECT_TRUE((*table)[i].isEqual(entries[i])) << i;
    }
    EXPECT_FLOAT_EQ((*table)[static_cast<std::size_t>(edited)][std::size_t{1}].floatValue(), 0.4f);
    EXPECT_EQ(packed.bytes()->size(), 27u * 16) << "the packed table itself is never written";
}

TEST_F(CubeGrid, ShortTablesAndOddDimensionsShowSomethingDefined) {
    // A table stored for two holds 8 entries; the cells past them show black.
    build(3, indexedTable(2));
    const auto& far = grid->planes()[0]->buttons();  // blue level 2
    EXPECT_EQ(color(*far[0]->backgroundColor()), (Rgba{0, 0, 0, 1}));
    tapLabel(0);
    advance(1.5);
    grid->planes()[0]->onButton(*far[8]);
    advance(1);
    const ValueArray* table = source->record["value"].arrayPtr();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->size(), 27u) << "padded to n³ before the edit";
    EXPECT_EQ((*table)[20][std::size_t{3}].doubleValue(), 1);
    EXPECT_DOUBLE_EQ((*table)[1][std::size_t{0}].doubleValue(), 1 / 64.0) << "stored entries kept";

    build(1, Value("junk"));
    ASSERT_EQ(grid->planes().size(), 1u);
    EXPECT_FLOAT_EQ(grid->planes()[0]->alpha(), 0.7);
    EXPECT_EQ(grid->planes()[0]->transform().tx, 0) << "a single plane is not fanned";
    EXPECT_EQ(grid->planes()[0]->buttons().size(), 1u);

    for (long n : {0L, -3L, 65L, 1000000L}) {
        build(n, indexedTable(2));
        EXPECT_TRUE(grid->planes().empty()) << n;
        EXPECT_TRUE(grid->menu()->buttons().empty()) << n;
    }
}

// Dimension and tables, each record with a default.
struct CubeEditors : EditorPopTest {
    Value dimension = adjRecord("Cube Dimension", 5, {{"value", Value(20)}, {"def", Value(2)}});
    Value data = adjRecord("Cube Data", 23, {{"value", indexedTable(2)}, {"def", indexedTable(2)}});
    Value data1 = adjRecord("Cube 1 Data", 23, {{"value", indexedTable(2)}, {"def", indexedTable(2)}});

    void SetUp() override {
        EditorPopTest::SetUp();
        dimension.set("disp", Value("Cube Dimension"));
    }
    std::vector<std::string> reported() const {
        std::vector<std::string> out;
        for (const auto& r : host->changed) out.push_back(r["disp"].stringValue());
        return out;
    }
    void step(PopAdjStepperView& stepper, bool up) {
        (up ? stepper.stepper()->btnUp() : stepper.stepper()->btnDown())
            ->sendActionsForControlEvents(UIControlEventTouchUpInside);
    }
};

TEST_F(CubeEditors, ANewDimensionGivesARandomOpaqueTableReportedAfterIt) {
    open(adjAttrs("CIColorCube", {{"inputCubeDimension", dimension}, {"inputCubeData", data}}));
    auto e = pop->popColorCube();
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->titleView()->lblTitle()->text(), "COLOR CUBE");
    EXPECT_EQ(e->size(), (CGSize{240, 345}));
    e->btnDimension()->sendActionsForControlEvents(UIControlEventTouchUpInside);
    advance(0.5);
    step(*e->popDimension(), true);
    EXPECT_EQ(dimension["value"].doubleValue(), 21);
    const ValueArray* table = data["value"].arrayPtr();
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->size(), 9261u);
    for (const Value& c : *table) {
        ASSERT_EQ(c.count(), 4u);
        for (int k = 0; k < 3; ++k) {
            const double v = c[static_cast<std::size_t>(k)].doubleValue() * 255;
            ASSERT_NEAR(v, std::round(v), 1e-9);
        }
        ASSERT_EQ(c[std::size_t{3}].doubleValue(), 1);
    }
    EXPECT_EQ(reported(), (std::vector<std::string>{"Cube Dimension", "Cube Data"}));
    EXPECT_EQ(e->dataView()->planes().size(), 21u);
}

TEST_F(CubeEditors, StepsStopAtTheBoundAndResetReportsBothRecords) {
    dimension.set("value", Value(2));
    open(adjAttrs("CIColorCube", {{"inputCubeDimension", dimension}, {"inputCubeData", data}}));
    auto e = pop->popColorCube();
    e->onDimension();
    advance(0.5);
    step(*e->popDimension(), false);
    EXPECT_TRUE(host->changed.empty());
    EXPECT_EQ(data["value"].count(), 8u);

    dimension.set("value", Value(3));
    data.set("value", indexedTable(3));
    e->titleView()->btnRight()->sendActionsForControlEvents(UIControlEventTouchUpInside);
    EXPECT_EQ(dimension["value"].doubleValue(), 2);
    EXPECT_EQ(data["value"].count(), 8u);
    EXPECT_NE(data["value"].identity(), data["def"].identity());
    EXPECT_EQ(reported(), (std::vector<std::string>{"Cube Dimension", "Cube Data"}));
    EXPECT_EQ(e->dataView()->planes().size(), 2u);

    // A packed default (as a preset's) comes back as its entries.
    data.set("def", packedColorTable(std::vector<std::array<float, 4>>(8, {0.5f, 0.25f, 0.125f, 1})));
    e->titleView()->btnRight()->sendActionsForControlEvents(UIControlEventTouchUpInside);
    ASSERT_EQ(data["value"].count(), 8u);
    EXPECT_TRUE(data["value"][7].isEqual(colour(0.5, 0.25, 0.125)));
}

TEST_F(CubeEditors, TheTwoCubeEditorKeepsItsTableAndReportsTheOneEdited) {
    dimension.set("value", Value(2));
    open(adjAttrs("CIColorCubesMixedWithMask",
                  {{"inputCubeDimension", dimension}, {"inputCube0Data", data}, {"inputCube1Data", data1}}));
    auto e = pop->popColorCube2();
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->titleView()->lblTitle()->text(), "COLOR CUBES");
    EXPECT_EQ(e->dataView1()->attr().identity(), data1.identity());
    EXPECT_FALSE(e->dataView0()->isHidden());
    EXPECT_TRUE(e->dataView1()->isHidden());
    e->menu()->buttons()[1]->sendActionsForControlEvents(UIControlEventTouchUpInside);
    advance(0.5);
    EXPECT_TRUE(e->dataView0()->isHidden());
    EXPECT_FALSE(e->dataView1()->isHidden());

    tap({5, 5});
    advance(1);
    open(adjAttrs("CIColorCubesMixedWithMask",
                  {{"inputCubeDimension", dimension}, {"inputCube0Data", data}, {"inputCube1Data", data1}}));
    EXPECT_EQ(e->dataCursor(), 1);
    EXPECT_FALSE(e->dataView1()->isHidden());

    auto plane = e->dataView1()->planes()[0];
    plane->onButton(*plane->buttons()[0]);
    advance(1);
    EXPECT_EQ(reported(), (std::vector<std::string>{"Cube 1 Data"}));

    host->changed.clear();
    e->onDimension();
    advance(0.5);
    step(*e->popDimension(), true);
    EXPECT_EQ(reported(), (std::vector<std::string>{"Cube Dimension", "Cube Data", "Cube 1 Data"}));
    EXPECT_EQ(data["value"].count(), 27u);
    EXPECT_EQ(data1["value"].count(), 27u);
    EXPECT_FALSE(data["value"].isEqual(data1["value"])) << "two tables drawn independently";

    host->changed.clear();
    e->titleView()->btnRight()->sendActionsForControlEvents(UIControlEventTouchUpInside);
    EXPECT_EQ(reported(), (std::vector<std::string>{"Cube Dimension", "Cube Data", "Cube 1 Data"}));
    EXPECT_EQ(data1["value"].count(), 8u);
}

}  // namespace
