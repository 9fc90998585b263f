// The search pop-up's size, its step buttons against the delegate's answers, the keyboard after
// the grow, and the initial text.
#include <gtest/gtest.h>

#include "platform/ui/control/ui_button.h"
#include "platform/ui/input/ui_text_field.h"
#include "tests/ui/popup/popup_test_support.h"
#include "ui/popup/pop_search_view.h"

namespace {

struct Matches : PopSearchViewDelegate {
    PopSearchView* pop = nullptr;
    std::vector<std::string> log;
    bool prev = false, next = true;
    void onPopSearchViewDidShow(PopSearchView&) override { log.push_back("didShow"); }
    void onPopSearchViewTextChanged(PopSearchView& p, const std::string& t) override {
        log.push_back("changed '" + t + "' steps " +
                      (p.btnPrev()->isEnabled() || p.btnNext()->isEnabled() ? "on" : "off"));
    }
    void onPopSearchViewSearch(PopSearchView&, const std::string& t) override { log.push_back("search " + t); }
    void onPopSearchViewNext(PopSearchView&) override { prev = true; }
    bool onPopSearchViewIsAvailPrev(PopSearchView&) override { return prev; }
    bool onPopSearchViewIsAvailNext(PopSearchView&) override { return next; }
};

using SearchPopup = PopupTest;

TEST_F(SearchPopup, StepsFollowTheDelegateAndTheKeyboardComesAfterTheGrow) {
    auto pop = PopSearchView::make(screenVC);
    auto matches = std::make_shared<Matches>();
    pop->setDelegate(matches);
    pop->show(std::shared_ptr<NSObject>{}, "red", "Find a filter", nullptr);
    const CGSize f = root()->frame().size;
    EXPECT_EQ(pop->size(), (CGSize{0.9 * std::min(f.width, f.height), 70}));
    EXPECT_EQ(pop->searchBar()->text(), "red") << "the field starts with the initial text";
    EXPECT_FALSE(pop->searchBar()->searchTextField()->isFirstResponder());
    advance(0.5);
    EXPECT_TRUE(pop->searchBar()->searchTextField()->isFirstResponder());
    EXPECT_EQ(matches->log, (std::vector<std::string>{"didShow"}));

    pop->searchBarSearchButtonClicked(*pop->searchBar());
    EXPECT_FALSE(pop->btnPrev()->isEnabled());
    EXPECT_TRUE(pop->btnNext()->isEnabled());
    pop->btnNext()->sendActionsForControlEvents(UIControlEventTouchUpInside);
    EXPECT_TRUE(pop->btnPrev()->isEnabled());

    pop->textDidChange(*pop->searchBar(), "");
    EXPECT_EQ(matches->log.back(), "changed '' steps off") << "disabled before the delegate hears";

    pop->setDelegate(nullptr);
    pop->searchBarSearchButtonClicked(*pop->searchBar());
    EXPECT_FALSE(pop->btnNext()->isEnabled());
    pop->searchBarCancelButtonClicked(*pop->searchBar());
    advance(0.5);
    EXPECT_TRUE(pop->hidden());
}

struct TabletSearch : TabletToolkitTest {};

TEST_F(TabletSearch, IsAtMost500Wide) {
    auto vc = UIViewController::make();
    window->setRootViewController(vc);
    settle();
    auto pop = PopSearchView::make(vc);
    pop->updateView();
    EXPECT_EQ(pop->size(), (CGSize{500, 70}));
}

}  // namespace
