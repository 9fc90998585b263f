// The camera screen's view tree and its appearance cycle.
#include "camera/screen/view_controller.h"

#include <numbers>

#include "app/rate/rate_prompt.h"
#include "camera/screen/camera_popups.h"
#include "camera/screen/library_road.h"
#include "camera/screen/screen_geometry.h"
#include "foundation/device.h"
#include "foundation/global.h"
#include "foundation/image_service.h"
#include "platform/dispatch/queue.h"
#include "platform/runtime/weak_bind.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/control/ui_slider.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/draw/image.h"
#include "platform/ui/gesture/gesture_support.h"
#include "platform/ui/gesture/ui_long_press_gesture_recognizer.h"
#include "platform/ui/gesture/ui_pan_gesture_recognizer.h"
#include "platform/ui/gesture/ui_pinch_gesture_recognizer.h"
#include "platform/ui/gesture/ui_tap_gesture_recognizer.h"
#include "ui/controls/anim_button.h"
#include "ui/controls/label_status_button.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/layout/view_custom_style.h"
#include "ui/theme/font.h"
#include "ui/theme/image_custom.h"
#include "widgets/button/icon_button.h"
#include "widgets/scroll/scroll_label.h"

namespace {

constexpr CGFloat kTopBarHeight = 50;
constexpr CGFloat kBottomBarHeight = 100;
constexpr CGFloat kBottomBarWidthPhone = 320;
constexpr CGFloat kBottomBarWidthTablet = 400;
constexpr CGFloat kCenterAnchorOffset = -100;
constexpr CGFloat kLabelIconSize = 15;
constexpr double kLongPressMinimum = 0.1;
constexpr CGFloat kBarAlpha = 0.3;
constexpr CGFloat kBarCorner = 5;
constexpr CGFloat kTabletPad = 20;
constexpr CGFloat kShutterSize = 90;
constexpr CGFloat kShutterOnSize = 70;
constexpr CGFloat kAssetSize = 50;
constexpr CGFloat kSmallButton = 30;
constexpr CGFloat kOptionIconSize = 32;
constexpr CGFloat kAssetOffset = 125;
constexpr CGFloat kOptionOffset = 70;
constexpr CGFloat kMenuButton = 40;
constexpr CGFloat kMenuLeft = 10;
constexpr CGFloat kHelpRight = -75;
constexpr CGFloat kSwapRight = -10;
constexpr CGFloat kHelpCorner = 15;
constexpr std::uint16_t kGlyphShutterOn = 61517;
constexpr std::uint16_t kGlyphOption = 61656;
constexpr std::uint16_t kGlyphHelp = 61736;
constexpr double kRateDelay = 5.0;

std::shared_ptr<UIImage> bundleImage(const char* name, CGFloat side) {
    auto image = UIImage::imageNamed(name);
    return image ? resizedImage(image, {side, side}) : nullptr;
}

// A control action that hands its sender's view to `call`.
template <class Call>
auto fromSender(Call call) {
    return [call = std::move(call)](UIControl& c) { call(c.self<UIView>()); };
}

std::shared_ptr<UIButton> imageButton(const std::shared_ptr<UIImage>& image) {
    auto b = UIButton::buttonWithType(UIButtonType::Custom);
    b->setImage(image, UIControlStateNormal);
    assignShadow(*b);
    return b;
}

constexpr float kRateDays = 3;
constexpr std::uint64_t kRateUses = 1;

// The rating prompt's terms, set once per process.
void rate() {
    // Once for each prompt: the first screen to appear sets its terms.
    static std::weak_ptr<RatePrompt> rated;
    auto prompt = RatePrompt::sharedInstance();
    if (rated.lock() == prompt) return;
    rated = prompt;
    prompt->daysUntilPrompt = kRateDays;
    prompt->usesUntilPrompt = kRateUses;
    prompt->verboseLogging = false;
}

}  // namespace

void ViewController::viewDidLoad() {
    MyViewController::viewDidLoad();
    view()->setBackgroundColor(UIColor::blackColor());
    lastOrientation_ = 1;
    lastFocused_ = {0.5, 0.5};
    lastTransform_ = CGAffineTransformIdentity;
    buildGestureLayer();
    buildBottomBar();
    buildTopBar();
    updateStatusBar(false);
    updateData();
}

void ViewController::buildGestureLayer() {
    auto self = me();
    v_.ui = UIView::make();
    view()->addSubview(v_.ui);
    // Where the preview rests until a frame places them both: a camera that gives no frame (one
    // that is refused) still has its taps.
    addConstraintsFull(v_.ui, view(), 0, 0, 0, 0);
    UIViewAddGestureRecognizer(*v_.ui, UITapGestureRecognizer::make(weakBind(self, &ViewController::onTap)));
    UIViewAddGestureRecognizer(*v_.ui, UIPinchGestureRecognizer::make(weakBind(self, &ViewController::onPinch)));
    UIViewAddGestureRecognizer(*v_.ui, UIPanGestureRecognizer::make(weakBind(self, &ViewController::onPan)));

    v_.center = UIView::make();
    v_.ui->addSubview(v_.center);
    addConstraintsCenter(v_.center, v_.ui, 0, kCenterAnchorOffset, 1, 1);

    v_.slZoom = UISlider::make();
    v_.slZoom->setTintColor(UIColor::whiteColor());
    v_.slZoom->setMinimumValue(0);
    v_.slZoom->setMaximumValue(1);
    v_.slZoom->setAlpha(kSliderRestAlpha);
    v_.slZoom->addTarget(self, weakBind(self, &ViewController::onZoom), UIControlEventValueChanged);
    v_.slZoom->addTarget(self, weakBind(self, &ViewController::onZoomStart), UIControlEventTouchDown);
    v_.slZoom->addTarget(self, weakBind(self, &ViewController::onZoomStop),
                         UIControlEventTouchUpInside | UIControlEventTouchUpOutside);
    v_.slZoom->setTransform(CGAffineTransformMakeRotation(-std::numbers::pi / 2));
    assignShadow(*v_.slZoom);

    buildOverlays();

    v_.lblFilter = LabelStatusButton::make(bundleImage("filter.png", kLabelIconSize));
    auto font = Global::shared()->font();
    if (font) v_.lblFilter->label()->setFont(font->iconFixedSmall1());
    v_.lblFilter->setBackgroundColor(UIColor::whiteColor());
    v_.lblFilter->label()->setTextColor(UIColor::blackColor());
    v_.lblFilter->setIconColor(UIColor::blackColor());  // the icon is white, as the plate is
    UIViewAddGestureRecognizer(
        *v_.lblFilter, UITapGestureRecognizer::make([weak = std::weak_ptr<ViewController>(self)](UIGestureRecognizer&) {
            if (auto s = weak.lock()) s->popups().onFilter(s->views().btnFilter);
        }));
    auto press = UILongPressGestureRecognizer::make(weakBind(self, &ViewController::onFilterLabelLongPress));
    press->setMinimumPressDuration(kLongPressMinimum);
    UIViewAddGestureRecognizer(*v_.lblFilter, press);
}

void ViewController::buildBottomBar() {
    auto self = me();
    const bool large = Global::shared()->device()->IsIPadOrMac();
    const CGFloat pad = large ? kTabletPad : 0;

    v_.bottom = UIView::make();
    view()->addSubview(v_.bottom);
    addConstraintsVCCB(v_.bottom, self, 0, bottomBarOffset(view()->bounds().size.height),
                       large ? kBottomBarWidthTablet : kBottomBarWidthPhone, kBottomBarHeight);
    v_.bottom->setBackgroundColor(UIColor::colorWithWhite(0, kBarAlpha));
    assignRound(*v_.bottom, kBarCorner);

    auto images = Global::shared()->image();
    auto font = Global::shared()->font();
    v_.btnShot = AnimButton::make();
    v_.btnShot->setImages(
        images->shutterGeneral(),
        imageIcon(kGlyphShutterOn, {kShutterOnSize, kShutterOnSize}, font ? font->iconFixedLarge2() : nullptr,
                  UIColor::colorWithWhite(1, 0.7), UIColor::colorWithRed(255 / 255.0, 59 / 255.0, 48 / 255.0, 1)));
    assignShadow(*v_.btnShot);
    v_.btnShot->addTarget(self, weakBind(self, &ViewController::onShot), UIControlEventTouchUpInside);
    v_.bottom->addSubview(v_.btnShot);
    addConstraintsCenter(v_.btnShot, v_.bottom, 0, 0, kShutterSize, kShutterSize);

    v_.btnAsset = imageButton(nullptr);
    assignBorder(*v_.btnAsset, 1, UIColor::whiteColor());
    v_.btnAsset->setContentMode(UIViewContentMode::ScaleAspectFill);
    v_.btnAsset->setClipsToBounds(true);
    v_.btnAsset->addTarget(self, weakBind(library_, &LibraryRoad::onAsset), UIControlEventTouchUpInside);
    v_.bottom->addSubview(v_.btnAsset);
    addConstraintsCenter(v_.btnAsset, v_.bottom, -kAssetOffset - pad, 0, kAssetSize, kAssetSize);

    v_.btnOption =
        imageButton(imageIcon(kGlyphOption, {kOptionIconSize, kOptionIconSize},
                              font ? font->iconFixedLarge3() : nullptr, UIColor::whiteColor(), UIColor::clearColor()));
    v_.btnOption->addTarget(self, weakBind(popups_, &CameraPopups::onOption), UIControlEventTouchUpInside);
    v_.bottom->addSubview(v_.btnOption);
    addConstraintsCenter(v_.btnOption, v_.bottom, -kOptionOffset - pad / 2, 0, kSmallButton, kSmallButton);

    v_.btnManual = AnimButton::make();
    v_.btnManual->setImages(bundleImage("manual0.png", kSmallButton), bundleImage("manual1.png", kSmallButton));
    assignShadow(*v_.btnManual);
    v_.btnManual->addTarget(self, fromSender(weakBind(popups_, &CameraPopups::onManual)), UIControlEventTouchUpInside);
    v_.bottom->addSubview(v_.btnManual);
    addConstraintsCenter(v_.btnManual, v_.bottom, kOptionOffset + pad / 2, 0, kSmallButton, kSmallButton);

    v_.btnFilter = imageButton(bundleImage("filter.png", kSmallButton));
    v_.btnFilter->addTarget(self, fromSender(weakBind(popups_, &CameraPopups::onFilter)), UIControlEventTouchUpInside);
    v_.bottom->addSubview(v_.btnFilter);
    addConstraintsCenter(v_.btnFilter, v_.bottom, kAssetOffset + pad, 0, kSmallButton, kSmallButton);
}

void ViewController::buildTopBar() {
    auto self = me();
    v_.top = UIView::make();
    view()->addSubview(v_.top);
    addConstraintsVCT(v_.top, self, 0, 0, 0, kTopBarHeight);

    v_.btnMenu = imageButton(bundleImage("menu.png", kMenuButton));
    v_.btnMenu->addTarget(self, fromSender(weakBind(popups_, &CameraPopups::onMenu)), UIControlEventTouchUpInside);
    v_.top->addSubview(v_.btnMenu);
    addConstraintsLC(v_.btnMenu, v_.top, kMenuLeft, 0, kMenuButton, kMenuButton);

    v_.btnHelp = IconButton::buttonWithType(UIButtonType::System);
    v_.btnHelp->setButtonCornerRadius(kHelpCorner);
    v_.btnHelp->addAwesomeIcon(kGlyphHelp, false);
    assignShadow(*v_.btnHelp);
    v_.btnHelp->addTarget(self, weakBind<MyTutorialController>(self, &MyTutorialController::tutorialStart),
                          UIControlEventTouchUpInside);
    v_.top->addSubview(v_.btnHelp);
    addConstraintsRC(v_.btnHelp, v_.top, kHelpRight, 0, kSmallButton, kSmallButton);

    v_.btnSwap = imageButton(bundleImage("swap.png", kSmallButton));
    v_.btnSwap->addTarget(self, weakBind(self, &ViewController::onSwap), UIControlEventTouchUpInside);
    v_.top->addSubview(v_.btnSwap);
    addConstraintsRC(v_.btnSwap, v_.top, kSwapRight, 0, kSmallButton, kSmallButton);
}

void ViewController::viewWillAppear(bool animated) {
    MyViewController::viewWillAppear(animated);
    appAddObservers();
    appeared_ = true;
    updateView();
}

void ViewController::viewDidAppear(bool animated) {
    MyViewController::viewDidAppear(animated);
    if (!library_->otherVCActivating()) start({});
    updateAssetButtonImage();
    dispatch_after(dispatch_time(DISPATCH_TIME_NOW, std::int64_t(kRateDelay * NSEC_PER_SEC)), dispatch_get_main_queue(),
                   [] { rate(); });
}

void ViewController::viewWillDisappear(bool animated) {
    MyViewController::viewWillDisappear(animated);
    road_->resetTimerFade();
    shots_->cancel();
    road_->resetTimerScreen();
    appRemoveObservers();
    stop({});
}

void ViewController::viewDidDisappear(bool animated) {
    MyViewController::viewDidDisappear(animated);
    appeared_ = false;
}

UIInterfaceOrientationMask ViewController::supportedInterfaceOrientations() const {
    return UIInterfaceOrientationMaskPortrait;
}

bool ViewController::shouldAutorotateToInterfaceOrientation(UIInterfaceOrientation orientation) const {
    return orientation == UIInterfaceOrientation::Portrait || orientation == UIInterfaceOrientation::PortraitUpsideDown;
}

UIStatusBarStyle ViewController::preferredStatusBarStyle() const {
    return statusDefault_ ? UIStatusBarStyle::Default : UIStatusBarStyle::LightContent;
}

void ViewController::updateStatusBar(bool defaultStyle) {
    statusDefault_ = defaultStyle;
    setNeedsStatusBarAppearanceUpdate();
}
