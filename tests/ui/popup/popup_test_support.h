// Pop-up tests: a plain screen as the window's root, and a log of the callbacks a pop-up calls.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/ui/view/ui_view.h"
#include "tests/ui/ui_test_support.h"

struct PopupTest : ToolkitTest {
    std::shared_ptr<UIViewController> screenVC = UIViewController::make();
    std::vector<std::string> log;

    void SetUp() override {
        ToolkitTest::SetUp();
        window->setRootViewController(screenVC);
        settle();
    }
    std::shared_ptr<UIView> root() { return screenVC->view(); }
    // A callback that appends its name to the log.
    std::function<void()> note(std::string name) {
        return [this, name = std::move(name)] { log.push_back(name); };
    }
    // The view's frame in the root view's coordinates.
    CGRect inRoot(const std::shared_ptr<UIView>& v) { return v->convertRectToView(v->bounds(), root()); }
};
