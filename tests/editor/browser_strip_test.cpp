// The filter strip: tile sizes and the row, which tiles count as on screen, the adaptive redraw
// period, loading with its numbered hand-back, selection by tap and hold, refresh, and the row's
// slide-in, after which its tiles take taps.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "editor/browser/filter_strip_geometry.h"
#include "foundation/last_info.h"
#include "platform/runtime/log.h"
#include "platform/ui/control/ui_activity_indicator_view.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/gesture/ui_touch_dispatcher.h"
#include "tests/editor/browser_test_support.h"

namespace fs = filter_strip;

namespace {

using Events = std::vector<std::string>;

struct Menu : FilterListViewSource, FilterListViewDelegate {
    Value entries;
    int asked = 0;
    Events log;
    std::vector<std::shared_ptr<FilterPersistElement>> elements;
    Value onFilterListViewGetArray(FilterListView&) override {
        ++asked;
        return entries;
    }
    void onFilterListViewFilterSelected(FilterListView&, const std::optional<std::string>& key,
                                        const std::shared_ptr<FilterPersistElement>& element) override {
        log.push_back(key.value_or("nil") + (element ? " element" : " nil"));
        elements.push_back(element);
    }
    void onFilterListViewHolderShow(FilterListView&, Completion) override { log.push_back("holderShow"); }
    void onFilterListViewHolderHide(FilterListView&, Completion) override { log.push_back("holderHide"); }
};

struct StripTest : BrowserTest {
    std::shared_ptr<Menu> menu = std::make_shared<Menu>();
    std::shared_ptr<FilterListView> strip;

    void SetUp() override {
        BrowserTest::SetUp();
        strip = FilterListView::make(screenVC, std::static_pointer_cast<FilterAttrDelegate>(host));
        strip->setSource(menu);
        strip->setDelegate(menu);
        strip->setFrame({{0, 200}, {375, strip->itemSize().height + 4}});
        root()->addSubview(strip);
        settle();
    }
    void load(const std::vector<Value>& descs) {
        menu->entries = entriesOf(0, descs);
        strip->refresh();
        waitForLoad(*strip);
        advance(0.3);  // the row's slide
    }
    std::vector<Value> looks(int n) {
        std::vector<Value> out;
        for (int i = 0; i < n; ++i) out.push_back(sepiaDesc("LOOK " + std::to_string(i + 1), 0.1 * (i % 10)));
        return out;
    }
};

}  // namespace

TEST(FilterStripGeometry, TileSizeGrowsWithTheScreen) {
    auto small = fs::tileMetrics(320), large = fs::tileMetrics(768), larger = fs::tileMetrics(1024);
    EXPECT_EQ(small.itemSize, (CGSize{65, 100}));
    EXPECT_EQ(small.labelHeight, 30);
    EXPECT_EQ(large.itemSize, (CGSize{120, 165}));
    EXPECT_EQ(larger.itemSize, large.itemSize);
    auto middle = fs::tileMetrics(544);
    EXPECT_FLOAT_EQ(middle.itemSize.width, 92.5f);
    EXPECT_FLOAT_EQ(middle.labelHeight, 35.0f);
    EXPECT_FLOAT_EQ(middle.itemSize.height, 92.5f + 5 + 35);
}

TEST(FilterStripGeometry, RowIsCentredWhenNarrowAndContentHoldsEveryTile) {
    CGSize tile{65, 100};
    // Three tiles: 5 + 2 * 71 + 65 + 5 = 217 wide, centred in 375.
    EXPECT_EQ(fs::rowStart(3, 65, 375), (375 - 217) / 2.0);
    EXPECT_EQ(fs::tileFrame(0, 79, tile).origin, (CGPoint{84, 2}));
    EXPECT_EQ(fs::tileFrame(2, 79, tile).origin, (CGPoint{84 + 142, 2}));
    EXPECT_EQ(fs::rowStart(10, 65, 375), 0);  // wider than the strip: from the left edge
    EXPECT_EQ(fs::contentSize(10, tile), (CGSize{720, 103}));
    EXPECT_EQ(fs::rowStart(0, 65, 375), 0);
}

TEST(FilterStripGeometry, TilesWithAnEdgeExactlyOnTheBoundsAreOnScreen) {
    std::vector<CGRect> frames;
    for (int i = 0; i < 10; ++i) frames.push_back(fs::tileFrame(std::size_t(i), 0, {65, 100}));
    // Tile 0 spans 5..70, tile 4 spans 289..354, tile 5 spans 360..425.
    auto r = fs::visibleRange(frames, 0, 0, 360, 65);
    EXPECT_EQ(r.first, 0);
    EXPECT_EQ(r.last, 5);                          // its left edge lies exactly on the right bound
    r = fs::visibleRange(frames, 70, 0, 200, 65);  // tile 0's right edge exactly on the left bound
    EXPECT_EQ(r.first, 0);
    r = fs::visibleRange(frames, 70.5, 0, 200, 65);
    EXPECT_EQ(r.first, 1);
    EXPECT_EQ(fs::visibleRange({}, 0, 0, 360, 65).first, -1);
    r = fs::visibleRange(frames, 5000, 0, 360, 65);  // scrolled past everything
    EXPECT_EQ(r.first, -1);
    EXPECT_EQ(r.last, -1);
}

TEST(FilterStripGeometry, RedrawPeriodFollowsTheDrawingTime) {
    EXPECT_DOUBLE_EQ(fs::nextRedrawPeriod(0.25, 0.2).value_or(-1), 0.8);
    EXPECT_FALSE(fs::nextRedrawPeriod(0.1, 0.3).has_value());
    EXPECT_DOUBLE_EQ(fs::nextRedrawPeriod(0.01, 0.3).value_or(-1), 0.2);
    EXPECT_FALSE(fs::nextRedrawPeriod(0.01, 0.2).has_value());  // already at the floor
}

TEST_F(StripTest, LoadingShowsTheIndicatorThenTheRowOrTheEmptyLook) {
    menu->entries = entriesOf(0, looks(3));
    strip->updateData();
    EXPECT_EQ(strip->status(), FilterListView::Status::Loading);
    EXPECT_FALSE(strip->act()->isHidden());
    EXPECT_TRUE(strip->scroll()->isHidden());
    EXPECT_TRUE(strip->label()->isHidden());
    waitForLoad(*strip);
    advance(0.3);
    EXPECT_TRUE(strip->act()->isHidden());
    EXPECT_FALSE(strip->scroll()->isHidden());
    ASSERT_EQ(strip->keys(), (std::vector<std::string>{"0-0", "0-1", "0-2"}));
    // Three tiles fit: centred, 6 points apart, 2 from the top.
    CGFloat w = strip->itemSize().width;
    CGFloat x0 = (375 - (5 + 2 * (w + 6) + w + 5)) / 2;
    for (long i = 0; i < 3; ++i) {
        const auto& tile = strip->loadedItems()[std::size_t(i)];
        EXPECT_EQ(tile->tag(), i);
        EXPECT_NEAR(tile->frame().origin.x, x0 + 5 + double(i) * (w + 6), 1e-4);
        EXPECT_EQ(tile->frame().origin.y, 2);
        EXPECT_EQ(tile->element(), strip->loadedElements().at(strip->keys()[std::size_t(i)]));
    }
    EXPECT_NEAR(strip->scroll()->contentSize().width, 3 * (w + 6) + 10, 1e-4);

    // Many tiles start 5 points from the left edge; the first draw comes a second after the load.
    load(looks(12));
    EXPECT_NEAR(strip->loadedItems()[0]->frame().origin.x, 5, 1e-4);
    EXPECT_EQ(strip->loadedItems()[0]->lastImage(), nullptr);
    advance(1.0);
    EXPECT_NE(strip->loadedItems()[0]->lastImage(), nullptr);
    EXPECT_EQ(strip->loadedItems()[11]->lastImage(), nullptr);  // off screen: no thumbnail

    // An empty menu, or none at all: the empty label instead of the row.
    for (Value entries : {Value::array(), Value()}) {
        menu->entries = entries;
        strip->refresh();
        waitForLoad(*strip);
        EXPECT_TRUE(strip->scroll()->isHidden());
        EXPECT_FALSE(strip->label()->isHidden());
        EXPECT_TRUE(strip->keys().empty());
    }
}

TEST_F(StripTest, AnEntryWithoutAnElementIsLeftOutAndTagsStayConsecutive) {
    load({sepiaDesc("A"), brokenDesc(), sepiaDesc("C"), Value(42)});
    ASSERT_EQ(strip->keys(), (std::vector<std::string>{"0-0", "0-2"}));
    EXPECT_EQ(strip->loadedItems()[1]->tag(), 1);
    EXPECT_EQ(strip->loadedItems()[1]->label()->text().value_or(""), "C");
    // A tap on the second tile selects the third entry's key.
    strip->onFilterItemViewDidTap(*strip->loadedItems()[1]);
    EXPECT_EQ(menu->log, (Events{"0-2 element"}));
}

TEST_F(StripTest, TapsSelectAndAHoldShowsThePictureBareUntilRelease) {
    load(looks(12));
    auto& tiles = strip->loadedItems();
    strip->onFilterItemViewDidTap(*tiles[6]);
    EXPECT_EQ(strip->lastSelected(), 6);
    EXPECT_EQ(menu->log, (Events{"0-6 element"}));
    EXPECT_EQ(menu->elements.back(), strip->loadedElements().at("0-6"));
    advance(0.3);
    // Centred: the tile's middle at the strip's middle.
    EXPECT_NEAR(tiles[6]->frame().origin.x - strip->scroll()->contentOffset().x + tiles[6]->frame().size.width / 2,
                187.5, 1e-3);

    // A hold on another tile: selected at once, the host told "nothing", no scrolling yet.
    CGFloat before = strip->scroll()->contentOffset().x;
    strip->onFilterItemViewDidLongTapDown(*tiles[10]);
    advance(0.5);
    EXPECT_EQ(menu->log.back(), "nil nil");
    EXPECT_EQ(strip->scroll()->contentOffset().x, before);
    EXPECT_FALSE(tiles[6]->backgroundColor()->isEqual(*tiles[10]->backgroundColor()));
    strip->onFilterItemViewDidLongTapUp(*tiles[10]);
    EXPECT_EQ(menu->log.back(), "0-10 element");
    advance(0.3);
    EXPECT_GT(strip->scroll()->contentOffset().x, before);

    // Reset: no selection, the host told, nothing selected on screen.
    strip->resetSelection();
    EXPECT_EQ(strip->lastSelected(), -1);
    EXPECT_EQ(menu->log.back(), "nil nil");
}

TEST_F(StripTest, TheRedrawTimerAdaptsToTheDrawingTime) {
    load(looks(4));
    strip->startUpdateTimer();
    EXPECT_DOUBLE_EQ(strip->timerPeriod(), 0.2);
    host->drawCost = 0.25 / 4;  // each of the four tiles asks for the picture
    advance(0.2);
    EXPECT_DOUBLE_EQ(strip->timerPeriod(), 0.8);
    host->drawCost = 0.01 / 4;
    advance(0.8);
    EXPECT_DOUBLE_EQ(strip->timerPeriod(), 0.2);
    strip->stopUpdateTimer();
    EXPECT_FALSE(strip->drawTimerRunning());
    int requests = host->pictureRequests;
    advance(2);
    EXPECT_EQ(host->pictureRequests, requests);
}

TEST_F(StripTest, ASettledScrollRedrawsOnceAndStopsItsCheck) {
    load(looks(12));
    advance(1.0);
    strip->scrollViewWillBeginDragging(*strip->scroll());
    EXPECT_TRUE(strip->scrollCheckRunning());
    int requests = host->pictureRequests;
    strip->drawRefiltered();  // held back while scrolling
    EXPECT_EQ(host->pictureRequests, requests);
    strip->scroll()->setContentOffset({100, 0});
    advance(0.3);  // still moving
    EXPECT_TRUE(strip->scrollItemScrolling());
    EXPECT_EQ(host->pictureRequests, requests);
    advance(0.3);  // settled: one redraw of the tiles now on screen
    EXPECT_FALSE(strip->scrollItemScrolling());
    EXPECT_FALSE(strip->scrollCheckRunning());
    int drawn = host->pictureRequests - requests;
    EXPECT_EQ(drawn, strip->visibleItem1() - strip->visibleItem0() + 1);
    advance(2);
    EXPECT_EQ(host->pictureRequests - requests, drawn);
    EXPECT_EQ(strip->loadedItems()[0]->lastImage(), nullptr);  // scrolled off: dropped
}

TEST_F(StripTest, RefreshDuringALoadAdoptsOnlyTheNewestLoad) {
    menu->entries = entriesOf(0, looks(5));
    strip->updateData();
    // A second load starts before the first one's result has reached the main thread.
    menu->entries = entriesOf(1, {xrayDesc("X"), xrayDesc("Y")});
    strip->refresh();
    EXPECT_EQ(strip->loadNumber(), 2u);
    waitForLoad(*strip);
    pumpMainUntil([] { return false; }, 0.2);  // the first result, if it were to come, would come now
    EXPECT_EQ(strip->keys(), (std::vector<std::string>{"1-0", "1-1"}));
    EXPECT_EQ(strip->loadedElements().size(), 2u);
    EXPECT_EQ(strip->loadedItems().size(), 2u);
}

TEST_F(StripTest, AnEditPendingAtRefreshReachesTheFreshElement) {
    load(looks(3));
    auto old = strip->loadedElements().at("0-1");
    const Value& record = old->attrs()["value"]["inputIntensity"];
    FilterElement::setAttrValueFloat(record, 0.77);
    old->save(record);  // written only after 3 s of quiet
    strip->onFilterItemViewDidTap(*strip->loadedItems()[1]);
    strip->refresh();
    EXPECT_EQ(strip->lastSelected(), -1);
    waitForLoad(*strip);
    auto fresh = strip->loadedElements().at("0-1");
    ASSERT_NE(fresh, old);
    EXPECT_DOUBLE_EQ(fresh->attrs()["value"]["inputIntensity"]["value"].doubleValue(), 0.77);
    // The refresh cleared the selection without telling the host.
    EXPECT_EQ(menu->log, (Events{"0-1 element"}));
}

TEST_F(StripTest, ABadPresetStoreGivesTheDefaultsAndTheNextSaveWritesAGoodOne) {
    const std::string path = FilterPersistElement::storePath("0-1");
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    auto intensity = [](const std::shared_ptr<FilterPersistElement>& e) {
        return e->attrs()["value"]["inputIntensity"]["value"];
    };
    // A good store, cut short; junk; and entries of the wrong kinds.
    load(looks(3));
    auto element = strip->loadedElements().at("0-1");
    const Value& record = element->attrs()["value"]["inputIntensity"];
    const std::string disp = record["disp"].stringValue();
    FilterElement::setAttrValueFloat(record, 0.66);
    element->save(record);
    element->flushPendingSave();
    std::string bytes;
    {
        std::ifstream in(path, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    ASSERT_FALSE(bytes.empty());
    auto storeWith = [&](Value dict) {
        auto info = LastInfo::make(path);
        info->set(std::move(dict), "dict");
        info->save();
    };
    std::vector<std::function<void()>> spoilers = {
        [&] { std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes.substr(0, bytes.size() / 2); },
        [&] { std::ofstream(path, std::ios::binary | std::ios::trunc) << "{\"dict\": 3}"; },
        [&] { storeWith(Value("not a dictionary")); },
        [&] {
            storeWith(Value::dictionary({{disp, Value("not an entry")}}));
        },
        [&] {
            storeWith(Value::dictionary({{disp, Value::dictionary({{"value", Value("a text for a number")}})}}));
        },
        [&] {
            storeWith(Value::dictionary({{disp, Value::dictionary({{"value", Value::array({Value(1)})}})}}));
        },
    };
    for (std::size_t i = 0; i < spoilers.size(); ++i) {
        spoilers[i]();
        strip->refresh();
        waitForLoad(*strip);
        auto fresh = strip->loadedElements().at("0-1");
        EXPECT_DOUBLE_EQ(intensity(fresh).doubleValue(), 0.1) << i;  // the look's own value
        const Value& r = fresh->attrs()["value"]["inputIntensity"];
        FilterElement::setAttrValueFloat(r, 0.25);
        fresh->save(r);
        fresh->flushPendingSave();
        EXPECT_DOUBLE_EQ(intensity(FilterPersistElement::withKey("0-1", sepiaDesc("x", 0.9))).doubleValue(), 0.25) << i;
    }
}

TEST_F(StripTest, FingersOnTheTilesSelectAndHoldThroughTouchDelivery) {
    load(looks(3));
    auto touchTile = [&](std::size_t i, UITouchPhase phase) {
        const auto& tile = strip->loadedItems()[i];
        CGPoint p = tile->convertPointToView({10, 10}, nullptr);
        UITouchDispatcher::shared()->touchEvent({Clock::now(), {{long(40 + i), p, phase}}});
    };
    touchTile(0, UITouchPhase::Began);
    advance(0.02);
    touchTile(0, UITouchPhase::Ended);
    EXPECT_EQ(menu->log, (Events{"0-0 element"}));
    advance(1);
    touchTile(2, UITouchPhase::Began);
    advance(0.2);
    EXPECT_EQ(menu->log.back(), "nil nil");
    EXPECT_EQ(strip->lastSelected(), 2);
    touchTile(2, UITouchPhase::Ended);
    EXPECT_EQ(menu->log, (Events{"0-0 element", "nil nil", "0-2 element"}));
}

// A row slides in from the left edge as it is laid out. A tap at a tile's place while the row
// slides is not the tile's; once the row stands in place the strip says so, and from that line on
// the same tap selects the tile.
TEST_F(StripTest, TheTilesTakeTapsFromTheLineThatSaysTheRowIsInPlace) {
    LogCapture log;
    auto inPlaceLines = [&] {
        auto lines = log.lines();
        return std::count_if(lines.begin(), lines.end(), [](const std::string& l) {
            return l.find("the row of 3 tiles is in place on UIViewController") != l.npos;
        });
    };
    auto inPlace = [&] { return inPlaceLines() > 0; };
    auto tapTile = [&](std::size_t i, long finger) {
        CGPoint p = strip->loadedItems()[i]->convertPointToView({20, 20}, nullptr);
        UITouchDispatcher::shared()->touchEvent({Clock::now(), {{finger, p, UITouchPhase::Began}}});
        UITouchDispatcher::shared()->touchEvent({Clock::now(), {{finger, p, UITouchPhase::Ended}}});
    };
    menu->entries = entriesOf(0, looks(3));
    strip->refresh();
    waitForLoad(*strip);
    advance(0.1);
    EXPECT_FALSE(inPlace());
    tapTile(1, 50);
    advance(0.02);
    EXPECT_EQ(strip->lastSelected(), -1);
    EXPECT_TRUE(menu->log.empty());

    advance(FilterListView::kLayoutDuration);
    ASSERT_TRUE(inPlace());
    tapTile(1, 51);
    EXPECT_EQ(menu->log, (Events{"0-1 element"}));

    // A new row slides in afresh, and one cut short by a newer row says nothing: a tap waits for
    // the line of the row that stands.
    log.clear();
    strip->refresh();
    waitForLoad(*strip);
    advance(0.1);
    strip->refresh();
    waitForLoad(*strip);
    advance(0.02);
    EXPECT_FALSE(inPlace());
    tapTile(2, 52);
    EXPECT_EQ(menu->log, (Events{"0-1 element"}));
    advance(FilterListView::kLayoutDuration);
    ASSERT_TRUE(inPlace());
    EXPECT_EQ(inPlaceLines(), 1);
    tapTile(2, 53);
    EXPECT_EQ(menu->log, (Events{"0-1 element", "0-2 element"}));
}
