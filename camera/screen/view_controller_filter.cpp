// The filter pop-up: its button and label, the picture and context its thumbnails are drawn from,
// the element it hands back, and the long press that compares with the plain picture.
#include "camera/screen/view_controller.h"

#include "capture/capture_device_custom.h"
#include "editor/browser/filter_list_view.h"
#include "filter/filter_context.h"
#include "filter/filter_my_element.h"
#include "filter/filter_persist_element.h"
#include "foundation/global.h"
#include "platform/capture/av_capture_device.h"
#include "platform/runtime/weak_bind.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/gesture/ui_gesture_recognizer.h"

namespace {
constexpr const char* kTemperatureAndTint = "CITemperatureAndTint";
}

std::shared_ptr<PopFilterMainView> ViewController::popFilter() {
    if (!popFilter_) {
        auto screen = me();
        popFilter_ = PopFilterMainView::make(self<UIViewController>(),
                                             std::shared_ptr<FilterAttrDelegate>(screen, static_cast<FilterAttrDelegate*>(this)));
        popFilter_->setDelegate(
            std::shared_ptr<PopFilterMainViewDelegate>(screen, static_cast<PopFilterMainViewDelegate*>(this)));
        popFilter_->setShowAboveIfBothAvailable(true);
    }
    return popFilter_;
}

void ViewController::onFilter(const std::shared_ptr<UIView>& sender) {
    popFilter()->show(sender, weakBind<MyAdController>(me(), &MyAdController::restartAd));
}

void ViewController::onFiltLabel() { onFilter(btnFilter_); }

void ViewController::hideFilter() {
    if (popFilter_ && !popFilter_->hidden()) popFilter_->hide([] {});
}

CGSize ViewController::filterTileSize() { return popFilter()->fv()->itemList()->itemSize(); }

std::shared_ptr<CIImage> ViewController::onFilterSourceGetImage() { return road_->lastFilter(); }

std::shared_ptr<FilterContext> ViewController::onFilterSourceGetContext() {
    auto host = currentMaker();
    return host ? host->context() : nullptr;
}

void ViewController::onFilterAttrChanged(const std::shared_ptr<FilterElement>& element) {
    screenElement_ = element ? FilterMyElement::withFilterElement(*element) : nullptr;
}

void ViewController::onPopFilterMainViewFilterSelected(PopFilterMainView&,
                                                       const std::shared_ptr<FilterPersistElement>& element) {
    onFilterAttrChanged(element);
    Global::shared()->setLastFilterName(screenElement_ ? std::optional<std::string>(screenElement_->displayName())
                                                       : std::nullopt);
    updateView();
}

void ViewController::onPopFilterMainViewDidShow(PopFilterMainView&) {
    if (auto host = currentMaker()) host->restartCamera([](bool) {});
    updateView();
}

void ViewController::onFilterAttrBeforeInitialize(const std::string& filterName, const std::string& key,
                                                  const Value& record) {
    if (filterName != kTemperatureAndTint || (key != "inputNeutral" && key != "inputTargetNeutral")) return;
    // Without a camera the record keeps the bounds it has.
    auto dev = device();
    if (!dev) return;
    auto pair = [](std::pair<float, float> tt) { return Value::array({Value(tt.first), Value(tt.second)}); };
    record.set("min", pair(minTemperatureAndTint(*dev)));
    record.set("max", pair(maxTemperatureAndTint(*dev)));
}

void ViewController::onFilterLabelLongPress(UIGestureRecognizer& gesture) {
    switch (gesture.state()) {
    case UIGestureRecognizerState::Began:
        screenElement0_ = screenElement_;
        screenElement_ = nullptr;
        break;
    case UIGestureRecognizerState::Ended:
    case UIGestureRecognizerState::Cancelled:
    case UIGestureRecognizerState::Failed:
        if (!screenElement0_) break;
        screenElement_ = screenElement0_;
        screenElement0_ = nullptr;
        break;
    default: break;
    }
}
