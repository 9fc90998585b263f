// Window set-up on its screen, the key-window role and the root controller slot.
#include "platform/ui/app/ui_window.h"

#include "platform/ui/app/ui_application.h"
#include "platform/ui/controller/controller_view.h"

UIWindow::UIWindow(CGRect frame) : UIView(frame) {}

namespace {
UIWindow::RootControllerInstaller& installer() {
    static UIWindow::RootControllerInstaller hook;
    return hook;
}
}  // namespace

void UIWindow::init() {
    UIView::init();
    auto screen = UIScreen::mainScreen();
    if (frame() == CGRectZero) setFrame(screen->bounds());
    setScreen(screen);
    setHidden(true);  // shown by makeKeyAndVisible
}

UIWindow::~UIWindow() {
    if (auto s = screen_.lock()) s->removeWindow(this);
}

void UIWindow::setScreen(const std::shared_ptr<UIScreen>& screen) {
    if (auto old = screen_.lock()) old->removeWindow(this);
    screen_ = screen;
    if (screen) screen->addWindow(self<UIWindow>());
    constraintsChanged(false);
}

void UIWindow::setRootViewController(std::shared_ptr<NSObject> controller) {
    auto old = rootViewController_;
    rootViewController_ = std::move(controller);
    if (installer()) installer()(*this, old, rootViewController_);
}

void UIWindow::setRootControllerInstaller(RootControllerInstaller hook) {
    installer() = std::move(hook);
}

void UIWindow::makeKeyAndVisible() {
    setHidden(false);
    makeKeyWindow();
}

void UIWindow::makeKeyWindow() {
    auto app = UIApplication::sharedApplication();
    auto previous = app->keyWindow();
    if (previous.get() == this) return;
    if (previous) previous->resignKeyWindow();
    app->setKeyWindow(self<UIWindow>());
    becomeKeyWindow();
}

bool UIWindow::isKeyWindow() const {
    return UIApplication::sharedApplication()->keyWindow().get() == this;
}

UIEdgeInsets UIWindow::screenSafeAreaInsets() const {
    auto s = screen();
    if (!s) return UIEdgeInsetsZero;
    // A window smaller than the screen keeps only the part of the insets it overlaps.
    CGRect f = frame(), sb = s->bounds();
    UIEdgeInsets in = s->safeAreaInsets();
    return {std::max(0.0, in.top - (CGRectGetMinY(f) - CGRectGetMinY(sb))),
            std::max(0.0, in.left - (CGRectGetMinX(f) - CGRectGetMinX(sb))),
            std::max(0.0, in.bottom - (CGRectGetMaxY(sb) - CGRectGetMaxY(f))),
            std::max(0.0, in.right - (CGRectGetMaxX(sb) - CGRectGetMaxX(f)))};
}

void UIWindow::screenDidChange() {
    for (const auto& sub : std::vector<std::shared_ptr<UIView>>(subviews())) {
        if (auto root = std::dynamic_pointer_cast<ControllerView>(sub)) root->windowWillChangeScreenGeometry();
    }
    if (auto s = screen()) setFrame(s->bounds());
    constraintsChanged(false);
    std::vector<UIView*> stack{this};
    while (!stack.empty()) {
        UIView* v = stack.back();
        stack.pop_back();
        v->safeAreaMayHaveChanged();
        v->setNeedsLayout();
        for (const auto& sub : v->subviews()) stack.push_back(sub.get());
    }
}

std::shared_ptr<UIResponder> UIWindow::nextResponder() const {
    return UIApplication::sharedApplication();
}
