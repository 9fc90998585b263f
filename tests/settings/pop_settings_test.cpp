// The settings pop-up sized by its rows on phone and tablet (with the swapped clamp on a low host),
// closed by a tap outside only; the base screen's title and its Done button pushed and modal.
#include "platform/ui/control/ui_button.h"
#include "settings/dict/pop_settings_dict_view.h"
#include "settings/dict/settings_base_controller.h"
#include "settings_dict_support.h"

namespace {

struct PopDelegate : RecordingDelegate<PopSettingsDictViewDelegate> {
    void onPopSettingsDictViewWillHide(PopSettingsDictView&) override { events.push_back("willHide"); }
    void onPopSettingsDictViewDidHide(PopSettingsDictView&) override { events.push_back("didHide"); }
};

Value rows(std::size_t n) {
    ValueArray first, second;
    for (std::size_t i = 0; i < n; ++i)
        (i % 2 ? second : first)
            .push_back(row({{"type", i == 0 ? "unlisted" : "switch"}, {"key", std::to_string(i)}, {"label", "Row"}}));
    return Value::dictionary({{"arr", Value(ValueArray{Value(first), Value(second)})}});
}

template <class Base>
struct PopFixture : Base {
    std::shared_ptr<PopDelegate> popDelegate = std::make_shared<PopDelegate>();
    std::shared_ptr<UIViewController> host;
    std::shared_ptr<UIButton> sender;
    std::shared_ptr<PopSettingsDictView> pop;

    void SetUp() override {
        Base::SetUp();
        UIStoryboard::resetMainStoryboard();
        registerSettingsControllers(UIStoryboard::mainStoryboard());
        host = UIViewController::make();
        this->window->setRootViewController(host);
        sender = UIButton::buttonWithType(UIButtonType::System);
        sender->setFrame(CGRectMake(20, 80, 44, 44));
        host->view()->addSubview(sender);
        this->settle();
        pop = PopSettingsDictView::make(host);
        pop->setDelegate(popDelegate);
    }
    void TearDown() override {
        pop.reset();
        this->window->setRootViewController(nullptr);
        UIStoryboard::resetMainStoryboard();
        Base::TearDown();
    }
    CGSize sizeFor(std::size_t n) {
        popDelegate->description = rows(n);
        pop->updateView();
        return pop->size();
    }
};

using PopPhoneTest = PopFixture<ToolkitTest>;
using PopTabletTest = PopFixture<TabletToolkitTest>;

}  // namespace

TEST_F(PopPhoneTest, SizedByItsRowsUpToFiveOnAPhone) {
    EXPECT_EQ(sizeFor(3), (CGSize{300, 220})) << "rows of unlisted types count too";
    EXPECT_EQ(sizeFor(12), (CGSize{300, 320}));
    EXPECT_EQ(sizeFor(0), (CGSize{300, 150})) << "70 raised to the minimum";
    // A host lower than the minimum plus the margin: the bounds trade places.
    host->view()->setFrame(CGRectMake(0, 0, 375, 180));
    EXPECT_EQ(sizeFor(0), (CGSize{300, 130}));
    EXPECT_EQ(sizeFor(12), (CGSize{300, 150}));
}

TEST_F(PopTabletTest, SizedByItsRowsUpToTenOnATablet) {
    EXPECT_EQ(sizeFor(12), (CGSize{300, 570}));
    host->view()->setFrame(CGRectMake(0, 0, 820, 500));
    EXPECT_EQ(sizeFor(12), (CGSize{300, 450})) << "limited by the host height less 50";
}

TEST_F(PopPhoneTest, ShowsTheFormAndClosesOnATapOutsideOnly) {
    popDelegate->description = rows(3);
    int shown = 0;
    pop->show(sender, [&] { ++shown; });
    this->advance(1);
    EXPECT_EQ(shown, 1);
    auto form = pop->dict();
    EXPECT_EQ(form->parentViewController(), host);
    EXPECT_EQ(form->delegate(), std::static_pointer_cast<SettingsDictControllerDelegate>(popDelegate));
    EXPECT_EQ(form->tableView()->numberOfRowsInSection(0), 1u);
    EXPECT_GE(form->tableView()->flashCount(), 1);
    CGRect box = pop->container()->superview()->convertRectToView(pop->container()->frame(), nullptr);
    tap({CGRectGetMidX(box), CGRectGetMidY(box)});
    this->advance(1);
    EXPECT_TRUE(popDelegate->events.empty()) << "a tap inside does not close it";
    tap({CGRectGetMidX(box), CGRectGetMaxY(box) + 60});
    this->advance(1);
    EXPECT_EQ(popDelegate->events, (std::vector<std::string>{"willHide", "didHide"}));
    EXPECT_EQ(form->parentViewController(), nullptr);
    EXPECT_TRUE(pop->hidden());
    // The same form serves the next show.
    pop->show(sender, nullptr);
    this->advance(1);
    EXPECT_EQ(pop->dict(), form);
    EXPECT_EQ(form->parentViewController(), host);
}

namespace {
struct BaseDelegate : SettingsBaseControllerDelegate {
    int done = 0;
    void onSettingsBaseControllerDone(SettingsBaseController&) override { ++done; }
};
}  // namespace

TEST_F(SettingsDictTest, TheBaseScreenTitlesItselfAndShowsDoneWhenModalOrAskedFor) {
    auto baseDelegate = std::make_shared<BaseDelegate>();
    auto make = [&] {
        auto screen = SettingsBaseController::make();
        screen->setDelegate(delegate);
        screen->setMyDelegate(baseDelegate);
        return screen;
    };
    // Pushed, with a form delegate that takes no Done: no button.
    auto pushed = make();
    nav = UINavigationController::withRoot(UIViewController::make());
    window->setRootViewController(nav);
    settle();
    nav->pushViewController(pushed, false);
    settle();
    EXPECT_EQ(pushed->navigationItem()->title(), "Korva SETTINGS");
    ASSERT_NE(pushed->bbDone(), nullptr);
    EXPECT_TRUE(pushed->navigationItem()->leftBarButtonItems().empty());
    // Pushed, with a form delegate that takes Done: the base screen's own button.
    delegate->takesDone = true;
    auto asked = make();
    nav->pushViewController(asked, false);
    settle();
    ASSERT_EQ(asked->navigationItem()->leftBarButtonItems().size(), 1u);
    EXPECT_EQ(asked->navigationItem()->leftBarButtonItems()[0], asked->bbDone());
    asked->bbDone()->performAction();
    EXPECT_EQ(baseDelegate->done, 1);
    // Presented modally: the button whenever it exists.
    delegate->takesDone = false;
    auto modal = make();
    modal->setTitleText("Camera");
    auto holder = UINavigationController::withRoot(modal);
    nav->presentViewController(holder, false);
    settle();
    advance(1);
    EXPECT_EQ(modal->navigationItem()->title(), "Camera");
    ASSERT_EQ(modal->navigationItem()->leftBarButtonItems().size(), 1u);
    EXPECT_EQ(modal->navigationItem()->leftBarButtonItems()[0], modal->bbDone());
    // Without a form delegate at load there is no Done button at all.
    auto bare = SettingsBaseController::make();
    holder->pushViewController(bare, false);
    settle();
    EXPECT_EQ(bare->bbDone(), nullptr);
    EXPECT_TRUE(bare->navigationItem()->leftBarButtonItems().empty());
    EXPECT_EQ(bare->supportedInterfaceOrientations(), UIInterfaceOrientationMaskPortrait);
}
