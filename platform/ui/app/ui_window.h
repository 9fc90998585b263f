// The window: the root of a view tree shown on a screen, with the key-window role and the slot
// of its root controller.
#pragma once

#include <functional>
#include <memory>

#include "platform/ui/app/ui_screen.h"
#include "platform/ui/view/ui_view.h"

class UIWindow : public UIView {
public:
    KORVA_MAKE(UIWindow)
    void init() override;
    ~UIWindow() override;

    std::shared_ptr<UIScreen> screen() const { return screen_.lock(); }
    void setScreen(const std::shared_ptr<UIScreen>& screen);

    // The root controller (a plain object until controllers exist). The installer hook, set by
    // the controller layer, puts the controller's view into the window.
    std::shared_ptr<NSObject> rootViewController() const { return rootViewController_; }
    void setRootViewController(std::shared_ptr<NSObject> controller);
    using RootControllerInstaller = std::function<void(UIWindow& window, const std::shared_ptr<NSObject>& old,
                                                       const std::shared_ptr<NSObject>& controller)>;
    static void setRootControllerInstaller(RootControllerInstaller installer);

    // Makes this the application's key window and shows it.
    void makeKeyAndVisible();
    void makeKeyWindow();
    bool isKeyWindow() const;
    virtual void becomeKeyWindow() {}
    virtual void resignKeyWindow() {}

    // Windows are drawn in level order (higher on top); equal levels in the order they were shown.
    CGFloat windowLevel() const { return windowLevel_; }
    void setWindowLevel(CGFloat level) { windowLevel_ = level; }

    UIEdgeInsets screenSafeAreaInsets() const;
    // The screen turned or changed model: the window takes the new bounds and safe area.
    void screenDidChange();

    std::shared_ptr<UIResponder> nextResponder() const override;
    std::string className() const override { return "UIWindow"; }

protected:
    explicit UIWindow(CGRect frame = CGRectZero);

private:
    std::weak_ptr<UIScreen> screen_;
    std::shared_ptr<NSObject> rootViewController_;
    CGFloat windowLevel_ = 0;
};
