// The camera filter pop-up and the editor's filter panel over a stand-in host: the catalogue and
// its keys, the remembered key and "Reset", the category row, full-screen editors, the panel's
// slide, edits shared by preset key, and bad store files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "editor/adjust/pop_adj_h_view.h"
#include "editor/browser/edit_filter_host_view.h"
#include "editor/browser/pop_filter_main_view.h"
#include "foundation/last_info.h"
#include "foundation/string_custom_paths.h"
#include "platform/ui/animation/ca_animation_engine.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/control/ui_label.h"
#include "tests/editor/browser_test_support.h"
#include "ui/popup/title_view.h"
#include "widgets/scroll/scroll_label.h"

namespace {

using Log = std::vector<std::string>;

struct Screen : PopFilterMainViewDelegate, EditFilterHostViewDelegate {
    Log log;
    std::vector<std::shared_ptr<FilterPersistElement>> chosen;
    void onPopFilterMainViewFilterSelected(PopFilterMainView&,
                                           const std::shared_ptr<FilterPersistElement>& e) override {
        log.push_back(e ? "selected " + e->displayName() : "selected nil");
        chosen.push_back(e);
    }
    void onPopFilterMainViewDidShow(PopFilterMainView&) override { log.push_back("didShow"); }
    void onEditFilterHostViewFilterSelected(EditFilterHostView&,
                                            const std::shared_ptr<FilterPersistElement>& e) override {
        log.push_back(e ? "panel " + e->displayName() : "panel nil");
        chosen.push_back(e);
    }
};

struct FilterPopupTest : BrowserTest {
    std::shared_ptr<Screen> screen = std::make_shared<Screen>();
    std::shared_ptr<UIView> anchor = UIView::make(CGRect{{150, 560}, {60, 40}});

    void SetUp() override {
        BrowserTest::SetUp();
        root()->addSubview(anchor);
    }
    std::shared_ptr<PopFilterMainView> makePop() {
        auto pop = PopFilterMainView::make(screenVC, std::static_pointer_cast<FilterAttrDelegate>(host));
        pop->setDelegate(screen);
        return pop;
    }
    std::shared_ptr<EditFilterHostView> makePanel() {
        auto panel = EditFilterHostView::make(screenVC, std::static_pointer_cast<FilterAttrDelegate>(host));
        panel->setDelegate(screen);
        panel->setFrame(root()->bounds());
        root()->addSubview(panel);
        return panel;
    }
    void showAndLoad(const std::shared_ptr<PopFilterMainView>& pop) {
        pop->show(anchor, nullptr);
        advance(0.5);  // the pop-up grows in and the first label is chosen
        waitForLoad(*pop->fv()->itemList());
        advance(1);
    }
    static Value storedKey() {
        return LastInfo::make(withLibraryPath(PopFilterMainView::kStoreName))->get(PopFilterMainView::kLastKey);
    }
    static std::shared_ptr<FilterItemView> tile(const std::shared_ptr<FilterListView>& strip, std::size_t i) {
        return strip->loadedItems().at(i);
    }
};

}  // namespace

TEST_F(FilterPopupTest, TheCatalogueHasFourMenusKeyedByMenuAndItem) {
    auto pop = makePop();
    const Value& menus = pop->catalogue().filterArray();
    ASSERT_EQ(menus.count(), 4u);
    EXPECT_EQ(menus[0ul]["label"].stringValue(), "BRIGHT");
    EXPECT_EQ(menus[3]["label"].stringValue(), "CYAN");
    EXPECT_EQ(menus[1]["arr"][1]["key"].stringValue(), "1-1");
    EXPECT_EQ(menus[1]["arr"][1]["desc"]["disp"].stringValue(), "WARM 2");
    EXPECT_EQ(pop->catalogue().filterDictionary()["0-2"]["disp"].stringValue(), "BRIGHT 3");
    // The panel makes the same keys.
    auto panel = makePanel();
    EXPECT_TRUE(panel->catalogue().filterArray().isEqual(menus));

    // The label row shows the titles; the first menu is chosen and loaded.
    showAndLoad(pop);
    EXPECT_EQ(pop->fv()->menu()->buttons().size(), 4u);
    EXPECT_EQ(pop->fv()->lastMenuIndex(), 0);
    EXPECT_EQ(pop->fv()->itemList()->keys(), (std::vector<std::string>{"0-0", "0-1", "0-2"}));
    EXPECT_EQ(pop->titleView()->lblTitle()->text().value_or(""), "IMAGE FILTER");
    EXPECT_EQ(screen->log, (Log{"didShow"}));
    // Sized to the screen and the strip's tiles, inside the 15 points the pop-up keeps from the
    // screen's sides, so that it is not cut off.
    EXPECT_EQ(pop->size().width, 375 - 30);
    CGRect box = pop->container()->convertRectToView(pop->container()->bounds(), nullptr);
    EXPECT_GE(box.origin.x, 15);
    EXPECT_LE(CGRectGetMaxX(box), 375 - 15);
    EXPECT_EQ(pop->size().height, pop->fv()->itemList()->itemSize().height + 93);
}

TEST_F(FilterPopupTest, AChoiceIsStoredAtOnceAndAHoldRemovesItUntilRelease) {
    auto pop = makePop();
    showAndLoad(pop);
    auto strip = pop->fv()->itemList();
    strip->onFilterItemViewDidTap(*tile(strip, 1));
    EXPECT_EQ(storedKey().stringValue(), "0-1");
    EXPECT_EQ(pop->lastKey(), std::optional<std::string>("0-1"));
    EXPECT_TRUE(pop->titleView()->flagShowRight());
    EXPECT_EQ(screen->log.back(), "selected BRIGHT 2");
    EXPECT_EQ(screen->chosen.back(), strip->loadedElements().at("0-1"));

    strip->onFilterItemViewDidLongTapDown(*tile(strip, 2));
    EXPECT_TRUE(storedKey().isNull());
    EXPECT_FALSE(pop->titleView()->flagShowRight());
    EXPECT_EQ(screen->log.back(), "selected nil");
    strip->onFilterItemViewDidLongTapUp(*tile(strip, 2));
    EXPECT_EQ(storedKey().stringValue(), "0-2");
    EXPECT_TRUE(pop->titleView()->flagShowRight());

    // "Reset": the key goes, the button hides, the screen is told to use no filter.
    advance(1);
    pop->onRightButton(*pop->titleView()->btnRight());
    EXPECT_TRUE(storedKey().isNull());
    EXPECT_FALSE(pop->titleView()->flagShowRight());
    EXPECT_EQ(screen->log.back(), "selected nil");
    EXPECT_EQ(strip->lastSelected(), -1);
    // With nothing chosen, "Reset" still tells the screen.
    screen->log.clear();
    pop->onRightButton(*pop->titleView()->btnRight());
    EXPECT_EQ(screen->log, (Log{"selected nil"}));
}

TEST_F(FilterPopupTest, CategoryLabelsReloadTheStrip) {
    auto pop = makePop();
    showAndLoad(pop);
    auto strip = pop->fv()->itemList();
    strip->onFilterItemViewDidTap(*tile(strip, 0));
    pop->fv()->onMenuLabelViewLabelTap(*pop->fv()->menu(), 1, *pop->fv()->menu()->buttons()[1]);
    waitForLoad(*strip);
    EXPECT_EQ(strip->keys(), (std::vector<std::string>{"1-0", "1-1"}));
    EXPECT_EQ(strip->lastSelected(), -1);
    // The chosen label again: reloads and clears the selection.
    strip->onFilterItemViewDidTap(*tile(strip, 1));
    pop->fv()->onMenuLabelViewLabelTap(*pop->fv()->menu(), 1, *pop->fv()->menu()->buttons()[1]);
    EXPECT_EQ(strip->status(), FilterListView::Status::Loading);
    waitForLoad(*strip);
    EXPECT_EQ(strip->lastSelected(), -1);
    // An empty menu, and an index past the end: the empty look.
    for (long index : {3L, 9L}) {
        pop->fv()->onMenuLabelViewLabelTap(*pop->fv()->menu(), index, *pop->fv()->menu()->buttons()[0]);
        waitForLoad(*strip);
        EXPECT_TRUE(strip->keys().empty());
        EXPECT_FALSE(strip->label()->isHidden());
        EXPECT_TRUE(strip->scroll()->isHidden());
    }
}

TEST_F(FilterPopupTest, ACatalogueWithoutMenusShowsTheEmptyStrip) {
    struct Empty : FilterMenuListViewSource {
        Value onFilterMenuListViewGetArray(FilterMenuListView&) override { return Value::array(); }
    };
    auto source = std::make_shared<Empty>();
    auto list = FilterMenuListView::make(screenVC, std::static_pointer_cast<FilterAttrDelegate>(host));
    list->setSource(source);
    list->setFrame({{0, 100}, {375, 160}});
    root()->addSubview(list);
    list->updateData();
    waitForLoad(*list->itemList());
    EXPECT_TRUE(list->menu()->buttons().empty());
    EXPECT_TRUE(list->itemList()->keys().empty());
    EXPECT_FALSE(list->itemList()->label()->isHidden());
}

TEST_F(FilterPopupTest, AFullScreenEditorHidesThePopupAndStopsItsTimerUntilItCloses) {
    auto pop = makePop();
    showAndLoad(pop);
    auto strip = pop->fv()->itemList();
    ASSERT_TRUE(strip->drawTimerRunning());
    host->drawCost = 0.1;  // slow drawing lengthens the period
    advance(0.25);
    host->drawCost = 0;
    EXPECT_GT(strip->timerPeriod(), 0.2);
    tile(strip, 0)->onPopAdjViewFullScreenRequested(*tile(strip, 0)->popAdj());
    EXPECT_FALSE(strip->drawTimerRunning());
    advance(1);
    EXPECT_EQ(pop->phase(), PopPhase::Hidden);
    screen->log.clear();
    tile(strip, 0)->onPopAdjViewFullScreenFinished(*tile(strip, 0)->popAdj());
    advance(1);
    EXPECT_EQ(pop->phase(), PopPhase::Shown);
    EXPECT_TRUE(strip->drawTimerRunning());
    EXPECT_DOUBLE_EQ(strip->timerPeriod(), 0.2);
    EXPECT_EQ(screen->log, (Log{"didShow"}));
    EXPECT_EQ(pop->last(), anchor);
}

TEST_F(FilterPopupTest, ATapOutsideClosesThePopupAndOneInsideDoesNot) {
    auto pop = makePop();
    showAndLoad(pop);
    CGRect box = pop->container()->convertRectToView(pop->container()->bounds(), nullptr);
    tap({CGRectGetMidX(box), box.origin.y + 10});  // on the title bar
    advance(1);
    EXPECT_EQ(pop->phase(), PopPhase::Shown);
    tap({CGRectGetMidX(box), box.origin.y - 30});
    advance(1);
    EXPECT_EQ(pop->phase(), PopPhase::Hidden);
    EXPECT_FALSE(pop->fv()->itemList()->drawTimerRunning());
}

TEST_F(FilterPopupTest, ABadStoreReadsAsNoKeyAndTheNextChoiceWritesAGoodOne) {
    const std::string path = withLibraryPath(PopFilterMainView::kStoreName);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    // A good archive cut short, junk, and a key of the wrong kind.
    auto good = LastInfo::make(path);
    good->set(Value("0-1"), PopFilterMainView::kLastKey);
    ASSERT_TRUE(good->save());
    std::string bytes;
    {
        std::ifstream in(path, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    auto wrongKind = [&] {
        auto info = LastInfo::make(path);
        info->set(Value::array({Value(1)}), PopFilterMainView::kLastKey);
        info->save();
    };
    std::vector<std::function<void()>> spoilers = {
        [&] { std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes.substr(0, bytes.size() / 2); },
        [&] { std::ofstream(path, std::ios::binary | std::ios::trunc) << "bplist00\x01\x02junk"; },
        wrongKind,
        [&] {
            auto info = LastInfo::make(path);
            info->set(Value(""), PopFilterMainView::kLastKey);
            info->save();
        },
    };
    for (std::size_t i = 0; i < spoilers.size(); ++i) {
        spoilers[i]();
        auto pop = makePop();
        EXPECT_EQ(pop->lastKey(), std::nullopt) << i;
        pop->setLastKey(std::string("2-0"));
        EXPECT_EQ(storedKey().stringValue(), "2-0") << i;
        std::filesystem::remove(path);
    }
}

TEST_F(FilterPopupTest, AnEditSavedFromThePopupIsInThePanelsElementAfterItsNextLoad) {
    auto pop = makePop();
    showAndLoad(pop);
    auto strip = pop->fv()->itemList();
    auto element = strip->loadedElements().at("0-2");
    const Value& record = element->attrs()["value"]["inputIntensity"];
    FilterElement::setAttrValueFloat(record, 0.15);
    tile(strip, 2)->onPopAdjViewValueChanged(*tile(strip, 2)->popAdj(), record);
    advance(FilterPersistElement::kSaveDelay + 0.1);

    auto panel = makePanel();
    waitForLoad(*panel->fv()->itemList());
    auto mine = panel->fv()->itemList()->loadedElements().at("0-2");
    ASSERT_NE(mine, element);
    EXPECT_DOUBLE_EQ(mine->attrs()["value"]["inputIntensity"]["value"].doubleValue(), 0.15);
}

TEST_F(FilterPopupTest, ThePanelSlidesInAndOutAndOffersResetWhileAPresetIsChosen) {
    auto panel = makePanel();
    waitForLoad(*panel->fv()->itemList());
    panel->setHidden(true);
    panel->show(nullptr);
    EXPECT_FALSE(panel->isHidden());
    advance(0.1);
    CAValue centre = CAAnimationEngine::presentedValue(*panel->layer(), "position");
    ASSERT_TRUE(std::holds_alternative<CGPoint>(centre));
    CGFloat halfway = std::get<CGPoint>(centre).x - 375 / 2.0;
    EXPECT_GT(halfway, 0);
    EXPECT_LT(halfway, 375);
    advance(0.2);
    EXPECT_EQ(panel->frame().origin.x, 0);

    auto strip = panel->fv()->itemList();
    strip->onFilterItemViewDidTap(*tile(strip, 0));
    EXPECT_TRUE(panel->titleView()->flagShowRight());
    EXPECT_EQ(screen->log.back(), "panel BRIGHT 1");
    advance(1);
    panel->onTitleViewRight(*panel->titleView(), *panel->titleView()->btnRight());
    EXPECT_FALSE(panel->titleView()->flagShowRight());
    EXPECT_EQ(screen->log.back(), "panel nil");
    // The panel keeps no key and runs no redraw timer.
    EXPECT_FALSE(std::filesystem::exists(withLibraryPath(PopFilterMainView::kStoreName)));
    EXPECT_FALSE(strip->drawTimerRunning());

    bool hidden = false;
    panel->hide([&] { hidden = true; });
    advance(0.3);
    EXPECT_TRUE(hidden);
    EXPECT_TRUE(panel->isHidden());
    EXPECT_EQ(panel->frame().origin.x, 375);
}
