// The three rotation calls reach every controller of the tree in order, the first before the view
// takes its new bounds and the second with them; a resize that does not turn sends none.
#include "controller_test_support.h"
#include "platform/ui/controller/ui_navigation_controller.h"
#include "platform/ui/controller/ui_view_controller_rotation.h"

namespace {

struct Turner : UIViewController, UIViewControllerRotation {
    std::string name;
    std::vector<std::string>* log = nullptr;
    void note(const std::string& what) {
        log->push_back(name + " " + what + " " + std::to_string(static_cast<int>(view()->bounds().size.width)));
    }
    void willRotateToInterfaceOrientation(UIInterfaceOrientation to, double duration) override {
        EXPECT_EQ(duration, UIViewControllerRotation::kRotationDuration);
        note("will " + std::to_string(static_cast<int>(to)));
    }
    void willAnimateRotationToInterfaceOrientation(UIInterfaceOrientation to, double) override {
        note("animate " + std::to_string(static_cast<int>(to)));
    }
    void didRotateFromInterfaceOrientation(UIInterfaceOrientation from) override {
        note("did " + std::to_string(static_cast<int>(from)));
    }
};

TEST_F(UIHarness, TurningTheScreenTellsTheTreeBeforeDuringAndAfter) {
    std::vector<std::string> log;
    auto top = ::make<Turner>();
    top->name = "top";
    top->log = &log;
    auto nav = UINavigationController::withRoot(top);
    window->setRootViewController(nav);
    settle();
    screen->setOrientation(UIInterfaceOrientation::LandscapeLeft);
    window->screenDidChange();  // a second notice of the same turn adds nothing
    EXPECT_EQ(log, (std::vector<std::string>{"top will 4 375", "top animate 4 667", "top did 1 667"}));

    log.clear();
    screen->setOrientation(UIInterfaceOrientation::Portrait);
    EXPECT_EQ(log, (std::vector<std::string>{"top will 1 667", "top animate 1 375", "top did 4 375"}));
}

}  // namespace
