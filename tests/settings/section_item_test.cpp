// Sections and items: back-references after every operation that puts something in, the style
// fallback, collected errors, the widest title and row operations through the table.
#include "form_test_support.h"
#include "settings/form/form_choice_items.h"
#include "settings/form/form_text_item.h"

namespace {

struct SectionTest : FormHarness {};

// An item with a fixed validation answer.
struct AnsweringItem : FormTableViewItem {
    KORVA_MAKE(AnsweringItem)
    std::optional<FormErrors> answer;
    std::optional<FormErrors> errors() const override { return answer; }
};

std::shared_ptr<FormTableViewItem> titled(const std::string& t) {
    return FormTableViewItem::itemWithTitle(t);
}

TEST_F(SectionTest, EveryOperationThatPutsItemsInSetsTheirSection) {
    auto s = FormTableViewSection::make();
    std::vector<std::shared_ptr<FormTableViewItem>> made;
    auto fresh = [&] {
        made.push_back(titled("i" + std::to_string(made.size())));
        return made.back();
    };
    s->addItem(fresh());
    s->addItemsFromArray({fresh(), fresh()});
    s->insertItem(fresh(), 1);
    s->insertItems({fresh(), fresh()}, {0, 5});
    s->replaceItemAtIndex(2, fresh());
    s->replaceItemsInRange({0, 1}, {fresh(), fresh()});
    s->replaceItemsInRange({0, 1}, {fresh(), fresh(), fresh()}, {1, 1});
    s->replaceItemsAtIndexes({3}, {fresh()});
    for (std::size_t i = 0; i < s->items().size(); ++i) {
        auto item = formItemObject(s->items()[i]);
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->section(), s) << "row " << i;
    }
    auto replaced = made[0];
    s->replaceItemsWithItemsFromArray({fresh(), std::string("text")});
    EXPECT_EQ(s->items().size(), 2u);
    EXPECT_EQ(replaced->section(), s) << "removal leaves the back-reference";
    EXPECT_EQ(made.back()->section(), s);

    // Indexes past the end change nothing.
    s->insertItem(fresh(), 99);
    s->removeItemAtIndex(99);
    s->replaceItemsInRange({1, 5}, {fresh()});
    EXPECT_EQ(s->items().size(), 2u);

    auto a = FormTableViewSection::make(), b = FormTableViewSection::make(), c = FormTableViewSection::make();
    manager->addSection(a);
    manager->insertSection(b, 0);
    manager->replaceSectionAtIndex(1, c);
    EXPECT_EQ(a->tableViewManager(), manager);
    EXPECT_EQ(b->tableViewManager(), manager);
    EXPECT_EQ(c->tableViewManager(), manager);
    EXPECT_EQ(c->index(), std::optional<std::size_t>(1));
    manager->exchangeSectionAtIndex(0, 1);
    EXPECT_EQ(c->index(), std::optional<std::size_t>(0));
}

TEST_F(SectionTest, StyleFallsBackToTheManagers) {
    auto s = addSection({});
    EXPECT_EQ(s->style(), manager->style());
    auto own = FormTableViewCellStyle::make();
    s->setStyle(own);
    EXPECT_EQ(s->style(), own);
    EXPECT_EQ(s->headerHeight, FormAutomaticSectionHeight);
}

TEST_F(SectionTest, ErrorsAreNoneForNoListsAndEmptyForEmptyLists) {
    auto s = FormTableViewSection::make();
    EXPECT_FALSE(s->errors());
    auto silent = AnsweringItem::make();
    s->addItem(silent);
    s->addItem(std::string("text"));
    EXPECT_FALSE(s->errors());
    auto clean = AnsweringItem::make();
    clean->answer = FormErrors{};
    s->addItem(clean);
    ASSERT_TRUE(s->errors());
    EXPECT_TRUE(s->errors()->empty());
    auto failing = AnsweringItem::make();
    failing->answer = FormErrors{NSError::withDescription("a", 1, "first"), NSError::withDescription("b", 2, "second")};
    s->addItem(failing);
    ASSERT_EQ(s->errors()->size(), 1u);
    EXPECT_EQ(s->errors()->front()->domain(), "a");
}

TEST_F(SectionTest, TheWidestTitleCountsOnlyRowsThatLineUpTheirValues) {
    auto s = FormTableViewSection::make();
    auto font = UIFont::systemFontOfSize(17);
    s->addItem(titled("A very long plain title that does not count"));
    EXPECT_EQ(s->maximumTitleWidthWithFont(font), 5.0);
    auto text = FormTextItem::itemWithTitle("Name", "");
    s->addItem(text);
    double withName = s->maximumTitleWidthWithFont(font);
    EXPECT_GT(withName, 5.0 + 20);
    s->addItem(FormRadioItem::itemWithTitle("Country of residence", std::nullopt));
    EXPECT_GT(s->maximumTitleWidthWithFont(font), withName);
    // A title changed in place is measured again.
    double before = s->maximumTitleWidthWithFont(font);
    text->title = "An even longer title than the country one";
    EXPECT_GT(s->maximumTitleWidthWithFont(font), before);
    EXPECT_LT(s->maximumTitleWidthWithFont(UIFont::systemFontOfSize(10)), s->maximumTitleWidthWithFont(font));
    // A shorter title, and the widest row gone (its item freed), narrow it again for every font.
    double small = s->maximumTitleWidthWithFont(UIFont::systemFontOfSize(10));
    text->title = "Name";
    EXPECT_EQ(s->maximumTitleWidthWithFont(font), before);
    s->removeLastItem();
    EXPECT_EQ(s->maximumTitleWidthWithFont(font), withName);
    EXPECT_LT(s->maximumTitleWidthWithFont(UIFont::systemFontOfSize(10)), small);
}

TEST_F(SectionTest, RowOperationsGoThroughTheTable) {
    int deletions = 0;
    auto doomed = titled("doomed");
    doomed->deletionHandler = [&](FormTableViewItem&) { ++deletions; };
    auto s = addSection({titled("a"), doomed, titled("c")});
    reload();
    EXPECT_EQ(doomed->indexPath(), (std::optional<NSIndexPath>{NSIndexPath{0, 1}}));
    doomed->selectRowAnimated(false);
    EXPECT_EQ(table->indexPathForSelectedRow(), (std::optional<NSIndexPath>{NSIndexPath{0, 1}}));
    EXPECT_TRUE(outer->events.empty()) << "selecting by code runs no handler or delegate";
    doomed->deselectRowAnimated(false);
    EXPECT_FALSE(table->indexPathForSelectedRow());
    doomed->deleteRowWithAnimation(UITableViewRowAnimation::Fade);
    window->layoutIfNeeded();
    EXPECT_EQ(deletions, 0);
    EXPECT_EQ(s->items().size(), 2u);
    EXPECT_EQ(table->numberOfRowsInSection(0), 2u);
    EXPECT_EQ(*cellAt(0, 1)->textLabel()->text(), "c");
}

}  // namespace
