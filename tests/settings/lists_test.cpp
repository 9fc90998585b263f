// The value lists and the language list, on real tables: rows, check marks, search, sections and
// the side index, the placeholder texts and what a choice reports.
#include <algorithm>

#include "app/base/portrait_controller.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/controller/ui_navigation_controller.h"
#include "platform/ui/text/attributed_string.h"
#include "settings/empty/empty_state_view.h"
#include "settings/empty/scroll_view_empty_state.h"
#include "settings/lists/language_controller.h"
#include "settings/lists/value_table_basic_controller.h"
#include "settings/lists/value_table_controller.h"
#include "tests/settings/settings_screen_support.h"

namespace {
struct Chooser : ValueTableBasicControllerDelegate, ValueTableControllerDelegate, LanguageControllerDelegate {
    std::vector<std::string> events;
    void onValueTableBasicControllerCanceled(ValueTableBasicController&) override { events.push_back("cancel"); }
    void onValueTableBasicControllerSelected(ValueTableBasicController&, const std::string& s, long i) override {
        events.push_back(s + "@" + std::to_string(i));
    }
    void onValueTableControllerCanceled(ValueTableController&) override { events.push_back("cancel"); }
    void onValueTableControllerSelected(ValueTableController&, const std::string& s, long i) override {
        events.push_back(s + "@" + std::to_string(i));
    }
    void onLanguageControllerSelected(LanguageController&, const std::string& code) override { events.push_back(code); }
    void onLanguageControllerCanceled(LanguageController&) override { events.push_back("cancel"); }
};

std::string placeholderText(UIScrollView& list) {
    if (!isEmptyStateVisible(list)) return "<hidden>";
    auto view = emptyStateView(list);
    return view->hasDetailLabel() ? view->detailLabel()->attributedText()->string() : "<no text>";
}

std::vector<std::string> labels(const Value& rows) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < rows.count(); ++i) out.push_back(rows[i]["label"].stringValue());
    return out;
}
}  // namespace

struct Lists : SettingsScreenTest {
    template <class T>
    std::shared_ptr<T> show(std::shared_ptr<T> screen) {
        window->setRootViewController(screen);
        settle();
        return screen;
    }
    void search(const std::shared_ptr<UISearchBar>& bar, const std::string& text, UISearchBarDelegate& delegate) {
        bar->setText(text);
        delegate.textDidChange(*bar, text);
        settle();
    }
    std::shared_ptr<Chooser> chooser = std::make_shared<Chooser>();
};

TEST_F(Lists, TheBasicListChecksTheCurrentValueAndReportsTheRow) {
    auto list = ValueTableBasicController::make();
    list->setArr({"", "Small", "Default"});
    list->setDef("Default");
    list->setDelegate(chooser);
    show(list);
    auto table = list->tableView();
    ASSERT_EQ(table->numberOfRowsInSection(0), 3u);
    EXPECT_EQ(table->cellForRowAtIndexPath({0, 2})->accessoryType(), UITableViewCellAccessoryType::Checkmark);
    EXPECT_EQ(table->cellForRowAtIndexPath({0, 1})->accessoryType(), UITableViewCellAccessoryType::None);
    table->tapRowAtIndexPath({0, 1});
    EXPECT_EQ(chooser->events, (std::vector<std::string>{"Small@1"}));
    EXPECT_EQ(list->def(), "Default") << "the screen does not mark the new value itself";

    list->setDef("");
    list->updateView();
    settle();
    EXPECT_EQ(table->cellForRowAtIndexPath({0, 0})->accessoryType(), UITableViewCellAccessoryType::None)
        << "an empty current value checks no row, not even the empty one";
}

TEST_F(Lists, AnEmptyBasicListShowsNoItems) {
    auto list = show(ValueTableBasicController::make());
    EXPECT_EQ(list->tableView()->numberOfRowsInSection(0), 0u);
    EXPECT_EQ(placeholderText(*list->tableView()), "No Items");
}

TEST_F(Lists, TheSearchableListKeepsStringsWithEveryWordAndCountsInItsKeys) {
    auto list = ValueTableController::make();
    list->setArr({"banana split", "Apple pie", "apple", "Cherry", "banana"});
    list->setDelegate(chooser);
    show(list);
    EXPECT_EQ(list->keys(), (std::vector<std::string>{"apple", "Apple pie", "banana", "banana split", "Cherry"}));
    EXPECT_EQ(list->ia()->getIndexTitles(), (std::vector<std::string>{"a", "b", "c"}));

    search(list->searchBar(), "ban SPL", *list);
    EXPECT_EQ(list->keys(), (std::vector<std::string>{"banana split"}));
    search(list->searchBar(), "an", *list);
    EXPECT_EQ(list->keys(), (std::vector<std::string>{"banana", "banana split"}));
    list->tableView()->tapRowAtIndexPath({0, 1});
    EXPECT_EQ(chooser->events, (std::vector<std::string>{"banana split@1"}));

    search(list->searchBar(), "kiwi", *list);
    EXPECT_EQ(placeholderText(*list->tableView()), "No Results Found");
    search(list->searchBar(), "", *list);
    EXPECT_EQ(placeholderText(*list->tableView()), "<hidden>");
}

TEST_F(Lists, TheLanguageListOffersEveryKeyAfterTheRecents) {
    auto list = LanguageController::make();
    list->setLocalizeCount(3);
    list->setDelegate(chooser);
    show(list);
    const Value& rows = list->rows();
    ASSERT_EQ(rows.count(), 3u + 198u);
    EXPECT_EQ(list->ia()->getSectionTitle(0), "-");
    const auto all = labels(rows);
    for (const std::string code : {"zh-cn", "he", "pt-br"}) {
        const std::string label = languages()->base()[code]["iso"].stringValue();
        EXPECT_EQ(std::count(all.begin() + 3, all.end(), label), 2) << label << " appears for its alias too";
    }
    EXPECT_TRUE(std::is_sorted(all.begin() + 3, all.end()));
    EXPECT_FALSE(list->sectionIndexTitles(*list->tableView()).empty());
    EXPECT_TRUE(list->titleForHeaderInSection(*list->tableView(), 1).has_value());
}

TEST_F(Lists, SearchingTheLanguageListAlsoLooksAtNativeNamesAndCodes) {
    auto list = show(LanguageController::make());
    search(list->searchBar(), "deutsch", *list);
    const auto german = labels(list->rows());
    EXPECT_NE(std::find(german.begin(), german.end(), "German"), german.end()) << "found by its native name";
    search(list->searchBar(), "fr en", *list);
    const auto found = labels(list->rows());
    EXPECT_NE(std::find(found.begin(), found.end(), "French"), found.end());
    EXPECT_NE(std::find(found.begin(), found.end(), "English"), found.end());
    search(list->searchBar(), "zzzz", *list);
    EXPECT_EQ(placeholderText(*list->tableView()), "No Results Found");
}

TEST_F(Lists, HeaderTitlesAndTheSideIndexNeedALongList) {
    auto few = LanguageController::make();
    few->setLimitedCodes(std::vector<std::string>{"de", "fr", "fi"});
    show(few);
    EXPECT_TRUE(few->sectionIndexTitles(*few->tableView()).empty());
    EXPECT_FALSE(few->titleForHeaderInSection(*few->tableView(), 0));
    EXPECT_EQ(few->ia()->arrSectionName(), (std::vector<std::string>{"f", "g"}))
        << "no \"-\" section with localizeCount 0";

    auto one = LanguageController::make();
    one->setLimitedCodes(std::vector<std::string>(20, "sv"));
    show(one);
    EXPECT_EQ(one->sectionIndexTitles(*one->tableView()), (std::vector<std::string>{"s"})) << "20 rows: an index";
    EXPECT_FALSE(one->titleForHeaderInSection(*one->tableView(), 0)) << "one section: no header titles";

    auto empty = LanguageController::make();
    empty->setLimitedCodes(std::vector<std::string>{});
    show(empty);
    EXPECT_EQ(placeholderText(*empty->tableView()), "No Items");
}

TEST_F(Lists, NativeNamesInLowerCaseMakeASecondSection) {
    const std::vector<std::string> codes{"de", "da", "hu", "fr", "fi", "es", "it", "nl", "sv", "nb",
                                         "pl", "pt", "cs", "sk", "sl", "hr", "ro", "et", "lv", "lt"};
    auto list = LanguageController::make();
    list->setLimitedCodes(codes);
    list->setNameAsPrimary(true);
    show(list);
    ASSERT_GE(list->rows().count(), 20u);
    auto index = list->sectionIndexTitles(*list->tableView());
    EXPECT_EQ(std::count(index.begin(), index.end(), "d"), 2) << "\"Deutsch\" and \"dansk\" head separate sections";
    const auto all = labels(list->rows());
    auto deutsch = std::find(all.begin(), all.end(), "Deutsch");
    auto dansk = std::find(all.begin(), all.end(), "dansk");
    ASSERT_NE(deutsch, all.end());
    ASSERT_NE(dansk, all.end());
    EXPECT_LT(deutsch, dansk) << "capitals sort first";
}

TEST_F(Lists, AChoiceWithoutDelegateStillMovesTheCodeToTheFront) {
    auto list = show(LanguageController::make());
    search(list->searchBar(), "deutsch", *list);
    ASSERT_GT(list->rows().count(), 0u);
    const std::string code = list->rows()[std::size_t{0}]["code"].stringValue();
    list->tableView()->tapRowAtIndexPath({0, 0});
    EXPECT_EQ(languages()->recents().front(), code);
    auto fresh = LanguageCode::make();
    EXPECT_EQ(fresh->recents().front(), code) << "saved";
}

struct TabletLists : Lists {
    const char* deviceName() const override { return "tablet"; }
};

// The language list is a portrait screen: in its navigation controller on a phone it turns to
// portrait only, on a tablet every way; the value lists turn every way on either.
TEST_F(Lists, TheLanguageListTurnsOnlyToPortraitOnAPhone) {
    auto list = LanguageController::make();
    EXPECT_TRUE(std::dynamic_pointer_cast<PortraitController>(list));
    auto nav = show(UINavigationController::withRoot(list));
    EXPECT_EQ(nav->supportedInterfaceOrientations(), UIInterfaceOrientationMaskPortrait);
    EXPECT_FALSE(list->shouldAutorotate());
    EXPECT_TRUE(nav->shouldAutorotateToInterfaceOrientation(UIInterfaceOrientation::Portrait));
    EXPECT_FALSE(nav->shouldAutorotateToInterfaceOrientation(UIInterfaceOrientation::LandscapeLeft));
    EXPECT_FALSE(nav->shouldAutorotateToInterfaceOrientation(UIInterfaceOrientation::PortraitUpsideDown));
    EXPECT_GT(list->rows().count(), 0u) << "still the searchable list";

    auto values = ValueTableController::make();
    EXPECT_FALSE(std::dynamic_pointer_cast<PortraitController>(values));
    EXPECT_EQ(values->supportedInterfaceOrientations(), UIViewController::make()->supportedInterfaceOrientations());
}

TEST_F(TabletLists, TheLanguageListTurnsEveryWayOnATablet) {
    auto list = LanguageController::make();
    auto nav = show(UINavigationController::withRoot(list));
    EXPECT_TRUE(list->shouldAutorotate());
    EXPECT_EQ(nav->supportedInterfaceOrientations(), UIInterfaceOrientationMaskAll);
    EXPECT_TRUE(nav->shouldAutorotateToInterfaceOrientation(UIInterfaceOrientation::LandscapeLeft));
}
