// Platform events to screen hooks.
#include "app/base/my_base_controller.h"

#include "foundation/files_host.h"
#include "foundation/global.h"
#include "platform/ui/draw/trait_collection.h"

void MyBaseController::viewDidAppear(bool animated) {
    UIViewController::viewDidAppear(animated);
    NSNotificationCenter::defaultCenter()->addObserver(self<MyBaseController>(), &MyBaseController::onFontStyleChanged,
                                                       UIContentSizeCategoryDidChangeNotification);
}

void MyBaseController::viewWillDisappear(bool animated) {
    UIViewController::viewWillDisappear(animated);
    resetTimer_base_UpdateView();
    resetTimer_base_Rotate();
    NSNotificationCenter::defaultCenter()->removeObserver(self<MyBaseController>(),
                                                          UIContentSizeCategoryDidChangeNotification);
    if (auto files = Global::shared()->filesHost()) files->flush();
}

void MyBaseController::traitCollectionDidChange(const UITraitCollection& previous) {
    UIViewController::traitCollectionDidChange(previous);
    if (traitCollection().hasDifferentColorAppearanceComparedToTraitCollection(previous)) updateDarkMode();
}

void MyBaseController::viewWillTransitionToSize(CGSize size) {
    UIViewController::viewWillTransitionToSize(size);
    restartTimer_base_Rotate();
}

void MyBaseController::didRotateFromInterfaceOrientation(UIInterfaceOrientation from) {
    UIViewController::didRotateFromInterfaceOrientation(from);
    restartTimer_base_Rotate();
}

void MyBaseController::onFontStyleChanged(const std::shared_ptr<NSNotification>&) {
    // The catalogue is rebuilt at the new size on its next use.
    Global::shared()->setFont(nullptr);
    updateFontSize();
    restartTimer_base_UpdateView();
}

void MyBaseController::restartTimer_base_UpdateView() {
    timerUpdateView_.restart(kUpdateViewDelay, [this] { updateView(); });
}

void MyBaseController::restartTimer_base_Rotate() {
    timerRotate_.restart(kRotateDelay, [this] { didRotateOrResizeInterface(); });
}
