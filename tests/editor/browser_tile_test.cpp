// The filter tile: tap or hold told apart on the virtual clock through real touch delivery, a
// cancelled touch ending like a release, the thumbnail and its ring, and the edit relay's order.
#include <gtest/gtest.h>

#include "editor/adjust/pop_adj_h_view.h"
#include "editor/adjust/pop_adj_slider_view.h"
#include "editor/browser/filter_item_view.h"
#include "platform/ui/control/ui_image_view.h"
#include "platform/ui/control/ui_scroll_view.h"
#include "platform/ui/draw/image.h"
#include "platform/ui/gesture/ui_touch_dispatcher.h"
#include "tests/editor/browser_test_support.h"
#include "widgets/progress/ring_progress_view.h"

namespace {

struct TileLog : FilterItemViewDelegate {
    std::vector<std::string> log;
    void onFilterItemViewDidTap(FilterItemView&) override { log.push_back("tap"); }
    void onFilterItemViewDidLongTapDown(FilterItemView&) override { log.push_back("down"); }
    void onFilterItemViewDidLongTapUp(FilterItemView&) override { log.push_back("up"); }
    void onFilterItemViewHolderShow(FilterItemView&, Completion c) override {
        log.push_back("holderShow");
        if (c) c();
    }
    void onFilterItemViewHolderHide(FilterItemView&, Completion) override { log.push_back("holderHide"); }
};

using Events = std::vector<std::string>;

struct TileTest : BrowserTest {
    std::shared_ptr<TileLog> events = std::make_shared<TileLog>();
    std::shared_ptr<UIScrollView> strip;
    std::shared_ptr<FilterItemView> tile;
    std::shared_ptr<FilterPersistElement> element;

    void SetUp() override {
        BrowserTest::SetUp();
        strip = UIScrollView::make(CGRect{{0, 100}, {375, 110}});
        strip->setContentSize({1000, 110});
        root()->addSubview(strip);
        tile = FilterItemView::make(screenVC, 30.0, std::static_pointer_cast<FilterAttrDelegate>(host));
        tile->setFrame({{10, 2}, {70, 105}});
        tile->setDelegate(events);
        strip->addSubview(tile);
        element = FilterPersistElement::withKey("0-1", sepiaDesc("BRIGHT 2"));
        tile->setElement(element);
        settle();
    }
    void TearDown() override {
        // A pending edit is written now, while the test's folders are still there.
        element->flushPendingSave();
        BrowserTest::TearDown();
    }
    void touch(UITouchPhase phase, long id = 7) {
        UITouchDispatcher::shared()->touchEvent({Clock::now(), {{id, CGPoint{40, 150}, phase}}});
    }
};

}  // namespace

TEST_F(TileTest, ATapShorterThanTheHoldDelayIsOneTap) {
    touch(UITouchPhase::Began);
    advance(0.03);
    touch(UITouchPhase::Ended);
    advance(1);
    EXPECT_EQ(events->log, (Events{"tap"}));
    EXPECT_FALSE(tile->holdTimerPending());
    EXPECT_EQ(tile->label()->text().value_or(""), "BRIGHT 2");
}

TEST_F(TileTest, AHoldGivesDownThenExactlyOneUpWhicheverPathSeesTheRelease) {
    // Through touch delivery: the tap recogniser takes the lift and cancels the touch.
    touch(UITouchPhase::Began);
    advance(0.04);
    EXPECT_TRUE(events->log.empty());
    advance(0.02);
    EXPECT_EQ(events->log, (Events{"down"}));
    advance(1.0);
    touch(UITouchPhase::Ended);
    advance(1);
    EXPECT_EQ(events->log, (Events{"down", "up"}));

    // The touch-ended path alone, and the recogniser's path alone.
    auto event = UIEvent::make(Clock::now(), UITouchSet{});
    for (int path = 0; path < 2; ++path) {
        events->log.clear();
        tile->touchesBegan({}, *event);
        advance(0.1);
        if (path == 0) tile->touchesEnded({}, *event);
        tile->onTap();
        EXPECT_EQ(events->log, (Events{"down", "up"})) << "path " << path;
        EXPECT_FALSE(tile->longTapDown());
    }
}

TEST_F(TileTest, ACancelledTouchEndsLikeARelease) {
    // After a hold: one release, and nothing more later.
    touch(UITouchPhase::Began);
    advance(0.1);
    touch(UITouchPhase::Cancelled);
    advance(1);
    EXPECT_EQ(events->log, (Events{"down", "up"}));

    // Before the hold delay: the pending hold never fires.
    events->log.clear();
    touch(UITouchPhase::Began, 8);
    advance(0.02);
    touch(UITouchPhase::Cancelled, 8);
    advance(1);
    EXPECT_TRUE(events->log.empty());
    EXPECT_FALSE(tile->holdTimerPending());

    // The strip starts to scroll under a held finger: one release, no tap.
    touch(UITouchPhase::Began, 9);
    advance(0.1);
    for (int i = 1; i <= 10; ++i) {
        advance(0.02);
        UITouchDispatcher::shared()->touchEvent({Clock::now(), {{9, CGPoint{40.0 - 6 * i, 150}, UITouchPhase::Moved}}});
    }
    UITouchDispatcher::shared()->touchEvent({Clock::now(), {{9, CGPoint{-20, 150}, UITouchPhase::Ended}}});
    advance(1);
    EXPECT_GT(strip->contentOffset().x, 0);
    EXPECT_EQ(events->log, (Events{"down", "up"}));
}

TEST_F(TileTest, TheThumbnailFollowsTheHostsPicture) {
    // No picture yet: the ring keeps spinning and no thumbnail is made.
    host->picture = nullptr;
    tile->drawRefiltered();
    tile->updateImage();
    EXPECT_EQ(tile->lastImage(), nullptr);
    EXPECT_FALSE(tile->progress()->isHidden());
    EXPECT_TRUE(tile->imageView()->isHidden());

    // A lost drawing context draws nothing either.
    host->picture = syntheticPicture(40, 30);
    host->context->gl()->setLost(true);
    tile->drawRefiltered();
    EXPECT_EQ(tile->lastImage(), nullptr);
    host->context->gl()->setLost(false);

    // A picture: the thumbnail at the picture's size, shown, and the ring closing.
    tile->drawRefiltered();
    auto first = tile->lastImage();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->size(), (CGSize{40, 30}));
    EXPECT_FALSE(tile->imageView()->isHidden());
    EXPECT_EQ(tile->imageView()->image(), first);
    EXPECT_TRUE(tile->progressHiding());
    advance(2);
    EXPECT_TRUE(tile->progress()->isHidden());
    EXPECT_FALSE(tile->progressHiding());

    // A result that cannot be drawn keeps the last thumbnail.
    host->picture = CIImage::emptyImage();
    tile->drawRefiltered();
    EXPECT_EQ(tile->lastImage(), first);

    // Dropped: the ring spins again; the next picture brings a new thumbnail.
    tile->resetLastImage();
    EXPECT_EQ(tile->lastImage(), nullptr);
    EXPECT_FALSE(tile->progress()->isHidden());
    EXPECT_TRUE(tile->progress()->indeterminate());
    host->picture = syntheticPicture(20, 20);
    tile->drawRefiltered();
    ASSERT_NE(tile->lastImage(), nullptr);
    EXPECT_EQ(tile->lastImage()->size(), (CGSize{20, 20}));
}

TEST_F(TileTest, AnEditIsSavedThenTheElementResetThenTheHostTold) {
    host->picture = syntheticPicture();
    tile->drawRefiltered();
    ASSERT_FALSE(element->lastFilter().isNull());  // the graph of the last render is kept
    const Value& record = element->attrs()["value"]["inputIntensity"];
    FilterElement::setAttrValueFloat(record, 0.33);
    bool savedFirst = false, resetFirst = false;
    host->onChanged = [&](const std::shared_ptr<FilterElement>&) {
        savedFirst = element->timerSave() != nullptr;
        resetFirst = element->lastFilter().isNull();
    };
    tile->onPopAdjViewValueChanged(*tile->popAdj(), record);
    ASSERT_EQ(host->changed.size(), 1u);
    EXPECT_EQ(host->changed[0], element);
    EXPECT_TRUE(savedFirst);
    EXPECT_TRUE(resetFirst);

    // The preprocess goes to the host; the initialisation puts the saved value back.
    tile->onPopAdjViewPreprocess(*tile->popAdj(), "CISepiaTone", "inputIntensity", record);
    EXPECT_EQ(host->log.back(), "before CISepiaTone inputIntensity");
    FilterElement::setAttrValueFloat(record, 0.9);
    tile->onPopAdjViewValueInitialize(*tile->popAdj(), record);
    EXPECT_DOUBLE_EQ(record["value"].doubleValue(), 0.33);

    // A full-screen editor closing brings the holder back and redraws the thumbnail.
    tile->resetLastImage();
    tile->onPopAdjViewFullScreenFinished(*tile->popAdj());
    EXPECT_EQ(events->log, (Events{"holderShow"}));
    EXPECT_NE(tile->lastImage(), nullptr);
}

TEST_F(TileTest, TheBadgeAndTheParametersFollowTheEditableItems) {
    // One editable item: the badge shows on selection, and opening goes straight to its editor,
    // anchored on the badge, after the host's adjustment.
    tile->setSelected();
    EXPECT_FALSE(tile->settings()->isHidden());
    tile->showAdj(tile);
    advance(0.5);
    ASSERT_NE(tile->popAdj()->popSlider(), nullptr);
    EXPECT_EQ(tile->popAdj()->popSlider()->last(), tile->settings());
    EXPECT_TRUE(tile->popAdj()->hidden());
    EXPECT_EQ(host->log, (Events{"before CISepiaTone inputIntensity"}));

    // Several: the label pop-up on the tile.
    auto editable = [](double v) { return Value::dictionary({{"value", Value(v)}, {"editable", Value(true)}}); };
    auto controls = Value::dictionary(
        {{"name", Value("CIColorControls")},
         {"disp", Value("CONTROLS")},
         {"value", Value::dictionary({{"inputSaturation", editable(1.2)}, {"inputContrast", editable(1.1)}})}});
    tile->setElement(FilterPersistElement::withKey("0-5", controls));
    tile->showAdj(tile);
    advance(0.5);
    EXPECT_FALSE(tile->popAdj()->hidden());
    EXPECT_EQ(tile->popAdj()->last(), tile);
    EXPECT_GE(tile->popAdj()->arr().size(), 2u);
    tile->hideAdj();
    advance(0.5);
    EXPECT_TRUE(tile->popAdj()->hidden());

    // None: the badge stays hidden, and opening shows nothing.
    tile->setElement(FilterPersistElement::withKey("1-0", xrayDesc("WARM 1")));
    tile->setSelected();
    EXPECT_TRUE(tile->settings()->isHidden());
    tile->showAdj(tile);
    advance(0.5);
    EXPECT_TRUE(tile->popAdj()->hidden());
    tile->setUnselected();
    EXPECT_TRUE(tile->settings()->isHidden());
}
