// The list reload hooks: one per kind and operation, run before the list's own reload, with the
// list that reloads.
#include <gtest/gtest.h>

#include "platform/ui/table/list_reload_hooks.h"
#include "platform/ui/table/ui_collection_view.h"
#include "platform/ui/table/ui_table_view.h"
#include "tests/platform/ui/controller_test_support.h"

namespace {
struct CountingRows : UITableViewDataSource {
    int asked = 0;
    std::size_t numberOfRowsInSection(UITableView&, std::size_t) override {
        ++asked;
        return 2;
    }
    std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(UITableView& t, NSIndexPath p) override {
        return t.dequeueReusableCellWithIdentifier("c", p);
    }
};
}  // namespace

struct ReloadHooks : UIHarness {
    void TearDown() override {
        for (auto kind : {ListKind::Table, ListKind::Collection})
            for (auto op : {ListOperation::ReloadData, ListOperation::EndUpdates}) ListReloadHooks::remove(kind, op);
        UIHarness::TearDown();
    }
};

TEST_F(ReloadHooks, OneHookPerKindAndOperation) {
    for (auto kind : {ListKind::Table, ListKind::Collection})
        for (auto op : {ListOperation::ReloadData, ListOperation::EndUpdates}) ListReloadHooks::remove(kind, op);
    EXPECT_TRUE(ListReloadHooks::install(ListKind::Table, ListOperation::ReloadData, [](UIScrollView&) {}));
    EXPECT_FALSE(ListReloadHooks::install(ListKind::Table, ListOperation::ReloadData, [](UIScrollView&) {}))
        << "installed once";
    EXPECT_FALSE(ListReloadHooks::install(ListKind::Collection, ListOperation::EndUpdates, [](UIScrollView&) {}))
        << "a collection has no endUpdates";
    EXPECT_FALSE(ListReloadHooks::install(ListKind::Collection, ListOperation::ReloadData, nullptr));
    ListReloadHooks::remove(ListKind::Table, ListOperation::ReloadData);
    EXPECT_TRUE(ListReloadHooks::install(ListKind::Table, ListOperation::ReloadData, [](UIScrollView&) {}));
}

TEST_F(ReloadHooks, HooksRunBeforeEachReloadOfEveryListOfTheirKind) {
    for (auto kind : {ListKind::Table, ListKind::Collection})
        for (auto op : {ListOperation::ReloadData, ListOperation::EndUpdates}) ListReloadHooks::remove(kind, op);
    std::vector<std::string> seen;
    auto rows = std::make_shared<CountingRows>();
    auto first = UITableView::make(CGRectMake(0, 0, 320, 200));
    auto second = UITableView::make(CGRectMake(0, 0, 320, 200));
    first->registerClass<UITableViewCell>("c");
    first->setDataSource(rows);
    window->addSubview(first);
    window->layoutIfNeeded();
    ListReloadHooks::install(ListKind::Table, ListOperation::ReloadData, [&](UIScrollView& list) {
        seen.push_back(&list == first.get() ? "first reload" : "second reload");
        // The list still shows its old rows: the hook runs first.
        if (&list == first.get()) {
            EXPECT_FALSE(first->visibleCells().empty());
        }
    });
    ListReloadHooks::install(ListKind::Table, ListOperation::EndUpdates,
                             [&](UIScrollView&) { seen.push_back("end updates"); });
    ListReloadHooks::install(ListKind::Collection, ListOperation::ReloadData,
                             [&](UIScrollView&) { seen.push_back("collection"); });
    first->reloadData();
    second->reloadData();
    first->beginUpdates();
    first->endUpdates();
    UICollectionView::make(CGRectMake(0, 0, 100, 100))->reloadData();
    EXPECT_EQ(seen, (std::vector<std::string>{"first reload", "second reload", "end updates", "collection"}));
}
