// The camera screen's view tree and its appearance cycle.
#include "camera/screen/view_controller.h"

#include <numbers>

#include "app/rate/rate_prompt.h"
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

constexpr CGFloat kCenterAnchorOffset = -100;
constexpr CGFloat kSliderRestAlpha = 0.4;
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
    ui_ = UIView::make();
    view()->addSubview(ui_);
    UIViewAddGestureRecognizer(*ui_, UITapGestureRecognizer::make(weakBind(self, &ViewController::onTap)));
    UIViewAddGestureRecognizer(*ui_, UIPinchGestureRecognizer::make(weakBind(self, &ViewController::onPinch)));
    UIViewAddGestureRecognizer(*ui_, UIPanGestureRecognizer::make(weakBind(self, &ViewController::onPan)));

    center_ = UIView::make();
    ui_->addSubview(center_);
    addConstraintsCenter(center_, ui_, 0, kCenterAnchorOffset, 1, 1);

    slZoom_ = UISlider::make();
    slZoom_->setTintColor(UIColor::whiteColor());
    slZoom_->setMinimumValue(0);
    slZoom_->setMaximumValue(1);
    slZoom_->setAlpha(kSliderRestAlpha);
    slZoom_->addTarget(self, weakBind(self, &ViewController::onZoom), UIControlEventValueChanged);
    slZoom_->addTarget(self, weakBind(self, &ViewController::onZoomStart), UIControlEventTouchDown);
    slZoom_->addTarget(self, weakBind(self, &ViewController::onZoomStop),
                       UIControlEventTouchUpInside | UIControlEventTouchUpOutside);
    slZoom_->setTransform(CGAffineTransformMakeRotation(-std::numbers::pi / 2));
    assignShadow(*slZoom_);

    buildOverlays();

    lblFilter_ = LabelStatusButton::make(bundleImage("filter.png", kLabelIconSize));
    auto font = Global::shared()->font();
    if (font) lblFilter_->label()->setFont(font->iconFixedSmall1());
    lblFilter_->setBackgroundColor(UIColor::whiteColor());
    lblFilter_->label()->setTextColor(UIColor::blackColor());
    lblFilter_->setIconColor(UIColor::blackColor());  // the icon is white, as the plate is
    UIViewAddGestureRecognizer(*lblFilter_, UITapGestureRecognizer::make(weakBind(self, &ViewController::onFiltLabel)));
    auto press = UILongPressGestureRecognizer::make(weakBind(self, &ViewController::onFilterLabelLongPress));
    press->setMinimumPressDuration(kLongPressMinimum);
    UIViewAddGestureRecognizer(*lblFilter_, press);
}

void ViewController::buildBottomBar() {
    auto self = me();
    const bool large = Global::shared()->device()->IsIPadOrMac();
    const CGFloat pad = large ? kTabletPad : 0;

    bottom_ = UIView::make();
    view()->addSubview(bottom_);
    addConstraintsVCCB(bottom_, self, 0, bottomBarOffset(view()->bounds().size.height),
                       large ? kBottomBarWidthTablet : kBottomBarWidthPhone, kBottomBarHeight);
    bottom_->setBackgroundColor(UIColor::colorWithWhite(0, kBarAlpha));
    assignRound(*bottom_, kBarCorner);

    auto images = Global::shared()->image();
    auto font = Global::shared()->font();
    btnShot_ = AnimButton::make();
    btnShot_->setImages(images->shutterGeneral(),
                        imageIcon(kGlyphShutterOn, {kShutterOnSize, kShutterOnSize},
                                  font ? font->iconFixedLarge2() : nullptr, UIColor::colorWithWhite(1, 0.7),
                                  UIColor::colorWithRed(255 / 255.0, 59 / 255.0, 48 / 255.0, 1)));
    assignShadow(*btnShot_);
    btnShot_->addTarget(self, weakBind(self, &ViewController::onShot), UIControlEventTouchUpInside);
    bottom_->addSubview(btnShot_);
    addConstraintsCenter(btnShot_, bottom_, 0, 0, kShutterSize, kShutterSize);

    btnAsset_ = imageButton(nullptr);
    assignBorder(*btnAsset_, 1, UIColor::whiteColor());
    btnAsset_->setContentMode(UIViewContentMode::ScaleAspectFill);
    btnAsset_->setClipsToBounds(true);
    btnAsset_->addTarget(self, weakBind(self, &ViewController::onAsset), UIControlEventTouchUpInside);
    bottom_->addSubview(btnAsset_);
    addConstraintsCenter(btnAsset_, bottom_, -kAssetOffset - pad, 0, kAssetSize, kAssetSize);

    btnOption_ = imageButton(imageIcon(kGlyphOption, {kOptionIconSize, kOptionIconSize},
                                       font ? font->iconFixedLarge3() : nullptr, UIColor::whiteColor(),
                                       UIColor::clearColor()));
    btnOption_->addTarget(self, weakBind(self, &ViewController::onOption), UIControlEventTouchUpInside);
    bottom_->addSubview(btnOption_);
    addConstraintsCenter(btnOption_, bottom_, -kOptionOffset - pad / 2, 0, kSmallButton, kSmallButton);

    btnManual_ = AnimButton::make();
    btnManual_->setImages(bundleImage("manual0.png", kSmallButton), bundleImage("manual1.png", kSmallButton));
    assignShadow(*btnManual_);
    btnManual_->addTarget(self, fromSender(weakBind(self, &ViewController::onManual)), UIControlEventTouchUpInside);
    bottom_->addSubview(btnManual_);
    addConstraintsCenter(btnManual_, bottom_, kOptionOffset + pad / 2, 0, kSmallButton, kSmallButton);

    btnFilter_ = imageButton(bundleImage("filter.png", kSmallButton));
    btnFilter_->addTarget(self, fromSender(weakBind(self, &ViewController::onFilter)), UIControlEventTouchUpInside);
    bottom_->addSubview(btnFilter_);
    addConstraintsCenter(btnFilter_, bottom_, kAssetOffset + pad, 0, kSmallButton, kSmallButton);
}

void ViewController::buildTopBar() {
    auto self = me();
    top_ = UIView::make();
    view()->addSubview(top_);
    addConstraintsVCT(top_, self, 0, 0, 0, kTopBarHeight);

    btnMenu_ = imageButton(bundleImage("menu.png", kMenuButton));
    btnMenu_->addTarget(self, fromSender(weakBind(self, &ViewController::onMenu)), UIControlEventTouchUpInside);
    top_->addSubview(btnMenu_);
    addConstraintsLC(btnMenu_, top_, kMenuLeft, 0, kMenuButton, kMenuButton);

    btnHelp_ = IconButton::buttonWithType(UIButtonType::System);
    btnHelp_->setButtonCornerRadius(kHelpCorner);
    btnHelp_->addAwesomeIcon(kGlyphHelp, false);
    assignShadow(*btnHelp_);
    btnHelp_->addTarget(self, weakBind(self, &ViewController::onHelp), UIControlEventTouchUpInside);
    top_->addSubview(btnHelp_);
    addConstraintsRC(btnHelp_, top_, kHelpRight, 0, kSmallButton, kSmallButton);

    btnSwap_ = imageButton(bundleImage("swap.png", kSmallButton));
    btnSwap_->addTarget(self, weakBind(self, &ViewController::onSwap), UIControlEventTouchUpInside);
    top_->addSubview(btnSwap_);
    addConstraintsRC(btnSwap_, top_, kSwapRight, 0, kSmallButton, kSmallButton);
}

void ViewController::viewWillAppear(bool animated) {
    MyViewController::viewWillAppear(animated);
    appAddObservers();
    appeared_ = true;
    updateView();
}

void ViewController::viewDidAppear(bool animated) {
    MyViewController::viewDidAppear(animated);
    if (!otherVCActivating_) start({});
    updateAssetButtonImage();
    dispatch_after(dispatch_time(DISPATCH_TIME_NOW, std::int64_t(kRateDelay * NSEC_PER_SEC)), dispatch_get_main_queue(),
                   [] { rate(); });
}

void ViewController::viewWillDisappear(bool animated) {
    MyViewController::viewWillDisappear(animated);
    road_->resetTimerFade();
    if (shots_) shots_->cancel();
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

UIStatusBarStyle ViewController::preferredStatusBarStyle() const {
    return statusDefault_ ? UIStatusBarStyle::Default : UIStatusBarStyle::LightContent;
}

void ViewController::updateStatusBar(bool defaultStyle) {
    statusDefault_ = defaultStyle;
    setNeedsStatusBarAppearanceUpdate();
}
