// A form on a real table in a headless window on the virtual clock, with an outer delegate that
// records what it hears.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "settings/form/form_table_view_cell.h"
#include "settings/form/form_table_view_manager.h"
#include "tests/platform/ui/controller_test_support.h"

// Records every event the manager passes on; answers only the questions it is told to.
struct RecordingFormDelegate : FormTableViewManagerDelegate {
    std::vector<std::string> events;
    std::vector<FormDelegateQuestion> answered;
    CGFloat headerHeight = 33;
    bool answers(FormDelegateQuestion q) const override {
        return std::find(answered.begin(), answered.end(), q) != answered.end();
    }
    CGFloat heightForHeaderInSection(UITableView&, std::size_t) override { return headerHeight; }
    void didSelectRowAtIndexPath(UITableView&, NSIndexPath p) override {
        events.push_back("select " + std::to_string(p.row));
    }
    void willLoadCell(UITableView&, FormTableViewCell&, NSIndexPath p) override {
        events.push_back("willLoad " + std::to_string(p.row));
    }
    void didLoadCell(UITableView&, FormTableViewCell& c, NSIndexPath p) override {
        events.push_back(std::string("didLoad ") + std::to_string(p.row) + (c.loaded() ? " loaded" : ""));
    }
};

struct FormHarness : UIHarness {
    std::shared_ptr<UITableView> table;
    std::shared_ptr<RecordingFormDelegate> outer = std::make_shared<RecordingFormDelegate>();
    std::shared_ptr<FormTableViewManager> manager;

    void SetUp() override {
        UIHarness::SetUp();
        makeTable(UITableViewStyle::Grouped);
    }
    void makeTable(UITableViewStyle style, CGFloat height = 480) {
        if (table) table->removeFromSuperview();
        table = UITableView::make(CGRectMake(0, 0, 320, height), style);
        window->addSubview(table);
        manager = FormTableViewManager::make(table, outer);
    }
    std::shared_ptr<FormTableViewSection> addSection(std::vector<FormItem> items) {
        auto s = FormTableViewSection::make();
        s->addItemsFromArray(items);
        manager->addSection(s);
        return s;
    }
    void reload() {
        table->reloadData();
        window->layoutIfNeeded();
    }
    template <class Cell = FormTableViewCell>
    std::shared_ptr<Cell> cellAt(std::size_t section, std::size_t row) {
        return std::dynamic_pointer_cast<Cell>(table->cellForRowAtIndexPath({section, row}));
    }
    // A view's frame in window coordinates.
    static CGRect inWindow(const std::shared_ptr<UIView>& view) {
        return view->superview()->convertRectToView(view->frame(), nullptr);
    }
    // A finger put down at one window point, moved through the others and lifted at the last.
    void drag(std::vector<CGPoint> path) {
        static long id = 5000;
        ++id;
        double t = Clock::now();
        UITouchDispatcher::shared()->touchEvent({t, {{id, path.front(), UITouchPhase::Began}}});
        for (std::size_t i = 1; i + 1 < path.size(); ++i) {
            t += 0.02;
            RunLoop::main().advance(0.02);
            UITouchDispatcher::shared()->touchEvent({t, {{id, path[i], UITouchPhase::Moved}}});
        }
        t += 0.02;
        RunLoop::main().advance(0.02);
        UITouchDispatcher::shared()->touchEvent({t, {{id, path.back(), UITouchPhase::Ended}}});
        settle();
    }
};
