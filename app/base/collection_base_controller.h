// A portrait screen base for collection screens: application state changes become two hooks
// while the screen is shown, with a scroll watcher and an auto-scroller on offer. Main thread only.
#pragma once

#include "app/base/portrait_controller.h"
#include "platform/dispatch/notification_center.h"
#include "ui/layout/auto_scroll.h"
#include "ui/layout/scroll_handler.h"

class UICollectionView;

class CollectionBaseController : public PortraitController, public ScrollHandlerDelegate {
public:
    KORVA_MAKE(CollectionBaseController)

    // Hooks, empty in the base.
    virtual void appActivate() {}
    virtual void appDeactivate() {}
    void onScrollHandlerStarted(ScrollHandler&) override {}
    void onScrollHandlerStopped(ScrollHandler&) override {}
    void onScrollHandlerReachingEnd(ScrollHandler&) override {}

    bool observingApp() const { return observingApp_; }
    void appAddObservers();
    void appRemoveObservers();

    void onActivateNotification(const std::shared_ptr<NSNotification>&) { appActivate(); }
    void onDeactivateNotification(const std::shared_ptr<NSNotification>&) { appDeactivate(); }
    void onOtherNotification(const std::shared_ptr<NSNotification>&) {}

    std::shared_ptr<UICollectionView> coll() const { return coll_.lock(); }
    void setColl(const std::shared_ptr<UICollectionView>& c) { coll_ = c; }
    std::shared_ptr<ScrollHandler> scrollHandler();
    std::shared_ptr<AutoScroll> autoScroll();

    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    std::string className() const override { return "CollectionBaseController"; }

protected:
    CollectionBaseController() = default;

private:
    bool observingApp_ = false;
    std::weak_ptr<UICollectionView> coll_;
    std::shared_ptr<ScrollHandler> scrollHandler_;
    std::shared_ptr<AutoScroll> autoScroll_;
};
