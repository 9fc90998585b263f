// The photo editor's screen: its controls, the photo's loading, the preview and its zoom, the
// catalogue host and the metadata pop-up. Saving is in edit_controller_save.cpp.
#include "editor/photo/edit_controller.h"

#include "editor/browser/filter_list_view.h"
#include "editor/photo/edit_photo_loader.h"
#include "editor/photo/edit_photo_rules.h"
#include "editor/photo/ph_asset_custom.h"
#include "editor/photo/pop_exif_view.h"
#include "filter/ci_image_filter.h"
#include "filter/filter_context.h"
#include "filter/filter_my_element.h"
#include "filter/filter_persist_element.h"
#include "foundation/device.h"
#include "foundation/global.h"
#include "foundation/string_custom_values.h"
#include "platform/dispatch/notification_center.h"
#include "platform/dispatch/queue.h"
#include "platform/image/ci_context.h"
#include "platform/image/ci_image.h"
#include "platform/photos/ph_content_editing_input.h"
#include "platform/photos/ph_image_manager.h"
#include "platform/runtime/log.h"
#include "platform/ui/animation/ui_view_animation.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/control/ui_image_view.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/gesture/ui_long_press_gesture_recognizer.h"
#include "platform/ui/gesture/ui_swipe_gesture_recognizer.h"
#include "platform/ui/view/ui_edge_insets.h"
#include "ui/controller/view_controller_dialogs.h"
#include "ui/popup/hud_view.h"
#include "ui/theme/font.h"
#include "ui/theme/image_custom.h"

namespace {

constexpr const char* kLog = "editor";
constexpr CGFloat kButtonSide = 30, kButtonMargin = 10;
constexpr CGSize kIconSize{50, 50};
constexpr std::uint16_t kGlyphDone = 0xF00D, kGlyphInfo = 0xF129, kGlyphSave = 0xF0C7;
// The catalogue host: the strip's item height plus its title, list and borders.
constexpr CGFloat kFilterViewExtra = 87 + 2 + 4;
constexpr CGFloat kFilterViewBottom = 40;
constexpr CGFloat kScrollViewTop = 50, kScrollViewGap = 10;
constexpr CGFloat kMaximumZoom = 10, kMinimumZoom = 1;
constexpr double kLongPressDuration = 0.1;
constexpr double kInfoHudTimeout = 10.0;
constexpr double kResultFlightDuration = 1.0;
constexpr CGFloat kResultEndSide = 10;

}  // namespace

const std::shared_ptr<FilterContext>& EditController::context() {
    if (!context_) context_ = FilterContext::make();
    return context_;
}

const std::shared_ptr<PopExifView>& EditController::exifView() {
    if (!exifView_) exifView_ = PopExifView::initWithVC(self<EditController>());
    return exifView_;
}

UIInterfaceOrientationMask EditController::supportedInterfaceOrientations() const {
    auto device = Global::shared()->device();
    if (device && device->IsIPad())
        return UIInterfaceOrientationMaskPortrait | UIInterfaceOrientationMaskPortraitUpsideDown |
               UIInterfaceOrientationMaskLandscapeLeft | UIInterfaceOrientationMaskLandscapeRight;
    return UIInterfaceOrientationMaskPortrait;
}

void EditController::viewDidLoad() {
    MyViewController::viewDidLoad();
    photos_ = MyPhotos::initWithDelegate(self<EditController>());
    NSNotificationCenter::defaultCenter()->addObserver(self<EditController>(), &EditController::onWebImageArrived,
                                                       kWebImageDidArriveNotification);
    hudAct()->show(view());
    view()->setBackgroundColor(UIColor::blackColor());

    ui_ = UIView::make(view()->bounds());
    ui_->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    view()->addSubview(ui_);
    buildButtons();

    filterView_ = EditFilterHostView::make(self<EditController>(), self<EditController>());
    filterView_->setDelegate(self<EditController>());
    filterView_->setHidden(true);
    ui_->addSubview(filterView_);

    scrollView_ = UIScrollView::make();
    scrollView_->setDelegate(self<EditController>());
    scrollView_->setShowsHorizontalScrollIndicator(false);
    scrollView_->setShowsVerticalScrollIndicator(false);
    scrollView_->setMaximumZoomScale(kMaximumZoom);
    scrollView_->setMinimumZoomScale(kMinimumZoom);
    ui_->insertSubviewAtIndex(scrollView_, 0);
    scrollViewTop_ = kScrollViewTop;

    imageView_ = UIImageView::make();
    imageView_->setContentMode(UIViewContentMode::ScaleAspectFit);
    scrollView_->addSubview(imageView_);

    std::weak_ptr<EditController> weak = self<EditController>();
    auto press = UILongPressGestureRecognizer::make([weak](UIGestureRecognizer& r) {
        if (auto me = weak.lock()) me->onImageLongPress(r);
    });
    press->setMinimumPressDuration(kLongPressDuration);
    UIViewAddGestureRecognizer(*scrollView_, press);
    auto swipe = UISwipeGestureRecognizer::make([weak](UIGestureRecognizer& r) {
        if (auto me = weak.lock()) me->onImageSwipeDown(r);
    });
    swipe->setDirection(UISwipeGestureRecognizerDirectionDown);
    UIViewAddGestureRecognizer(*scrollView_, swipe);
}

void EditController::buildButtons() {
    auto font = Global::shared()->font();
    auto make = [&](std::uint16_t glyph, std::function<void(UIControl&)> action) {
        auto b = UIButton::buttonWithType(UIButtonType::System);
        b->setTitle("", UIControlStateNormal);
        // White on the black screen: the platform's system buttons do not tint their images.
        b->setImage(imageIcon(glyph, kIconSize, font ? font->iconButton() : nullptr, UIColor::whiteColor(),
                              UIColor::clearColor()),
                    UIControlStateNormal);
        b->addAction(std::move(action), UIControlEventTouchUpInside);
        ui_->addSubview(b);
        return b;
    };
    std::weak_ptr<EditController> weak = self<EditController>();
    btnDone_ = make(kGlyphDone, [weak](UIControl&) {
        if (auto me = weak.lock()) me->onDone();
    });
    btnInfo_ = make(kGlyphInfo, [weak](UIControl& sender) {
        if (auto me = weak.lock()) me->onInfo(sender.shared_from_this());
    });
    btnSave_ = make(kGlyphSave, [weak](UIControl&) {
        if (auto me = weak.lock()) me->onSave();
    });
}

void EditController::viewDidLayoutSubviews() {
    MyViewController::viewDidLayoutSubviews();
    CGRect b = ui_->bounds();
    btnDone_->setFrame(CGRectMake(kButtonMargin, kButtonMargin, kButtonSide, kButtonSide));
    btnInfo_->setFrame(CGRectMake((b.size.width - kButtonSide) / 2, kButtonMargin, kButtonSide, kButtonSide));
    btnSave_->setFrame(CGRectMake((b.size.width - kButtonSide) / 2, b.size.height - kButtonMargin - kButtonSide,
                                  kButtonSide, kButtonSide));
    CGFloat h = filterView_->fv()->itemList()->itemSize().height + kFilterViewExtra;
    filterView_->setFrame(CGRectMake(0, b.size.height - kFilterViewBottom - h, b.size.width, h));
    scrollViewBottom_ = static_cast<float>(h + kFilterViewBottom + kScrollViewGap);
    if (!zooming_ && scrollView_->zoomScale() == kMinimumZoom) {
        updateScrollViewLayout(false);
        updateImageViewLayout();
    }
}

void EditController::viewWillAppear(bool animated) {
    MyViewController::viewWillAppear(animated);
    photos_->viewWillAppear(self<EditController>());
}

void EditController::viewDidDisappear(bool animated) {
    MyViewController::viewDidDisappear(animated);
    photos_->viewDidDisappear();
}

void EditController::didRotateOrResizeInterface() {
    MyViewController::didRotateOrResizeInterface();
    filterView_->fv()->scheduledLayout();
    updateScrollViewLayout(false);
    updateImageViewLayout();
}

void EditController::updateView() {
    updateFilterView();
    updateResult(false);
    updateScrollViewLayout(false);
    updateImageViewLayout();
}

Value EditController::tutorialGetDictionary() {
    auto step = [](const std::shared_ptr<UIView>& sender, const char* text) {
        return Value::dictionary({{"sender", Value(std::static_pointer_cast<NSObject>(sender))}, {"text", text}});
    };
    return Value::dictionary(
        {{"sender", Value(std::static_pointer_cast<NSObject>(ui_))},
         {"arr", Value::array({step(btnSave_, "Save to File"), step(btnDone_, "Return to Camera")})}});
}

// ---- loading ----

void EditController::viewDidAppear(bool animated) {
    MyViewController::viewDidAppear(animated);
    if (data_ || loading_) return;
    if (!asset_) {
        leaveUnreadable();
        return;
    }
    loadPhoto();
}

void EditController::loadPhoto() {
    // The busy indicator of viewDidLoad stays until the copies are ready; reading and decoding run
    // on the load queue, so that the screen keeps drawing meanwhile.
    loading_ = true;
    std::weak_ptr<EditController> weak = self<EditController>();
    CGSize thumbnailBound = filterView_->fv()->itemList()->itemSize();
    std::shared_ptr<CIContext> gpu = context()->ciGPU(), cpu = context()->ciCPU();
    loadQueue()->async([weak, asset = asset_, thumbnailBound, gpu, cpu] {
        PHImageRequestOptions options;
        options.synchronous = true;
        std::optional<Bytes> data;
        PHImageManager::defaultManager()->requestImageDataAndOrientationForAsset(
            asset, options, [&data](std::optional<Bytes> bytes, const std::string&, int, const ValueDictionary&) {
                data = std::move(bytes);
            });
        auto loaded = std::make_shared<std::optional<Bytes>>(std::move(data));
        auto copies = std::make_shared<Result<EditPhotoCopies>>(
            *loaded ? loadEditPhoto(**loaded, thumbnailBound, *gpu, *cpu) : fail("the photo's data cannot be read"));
        dispatch_async(dispatch_get_main_queue(), [weak, loaded, copies] {
            if (auto me = weak.lock()) me->finishLoading(std::move(*loaded), std::move(*copies));
        });
    });
}

const dispatch_queue_t& EditController::loadQueue() {
    if (!loadQueue_) loadQueue_ = dispatch_queue_create(kLoadQueue);
    return loadQueue_;
}

void EditController::finishLoading(std::optional<Bytes> data, Result<EditPhotoCopies> copies) {
    if (!copies) {
        failLoading(copies.error());
        return;
    }
    loading_ = false;
    imageSize_ = copies->imageSize;
    imageBuffer_ = std::move(copies->preview);
    imageFilter_ = std::move(copies->thumbnail);
    data_ = std::move(data);
    hudAct()->hide();
    filterView_->setHidden(false);
    updateView();
    Log::debug(kLog, "the photo is open");
}

void EditController::failLoading(const std::string& why) {
    loading_ = false;
    Log::warning(kLog, "the photo cannot be opened: " + why);
    hudAct()->hide();
    leaveUnreadable();
}

void EditController::leaveUnreadable() {
    std::weak_ptr<EditController> weak = self<EditController>();
    alert(self<EditController>(), kNotAccessible, [weak] {
        auto me = weak.lock();
        if (!me) return;
        if (auto d = me->delegate_.lock()) d->onEditControllerDone(me);
    });
}

// ---- the preview ----

void EditController::updateResult(bool showUnfiltered) {
    if (!imageBuffer_) return;
    auto ctx = context();
    std::shared_ptr<CIImage> shown = imageBuffer_;
    if (currentElement_ && !showUnfiltered) {
        shown = currentElement_->make(imageBuffer_);
        if (!isDrawable(shown)) return;
    }
    if (!setCurrentContext(ctx->gl())) return;
    imageView_->setImage(uiImage(shown, shown->extent(), *ctx->ciGPU()));
}

void EditController::onWebImageArrived(const std::shared_ptr<NSNotification>&) {
    if (currentElement_) updateResult(false);
}

void EditController::updateFilterView() {
    filterView_->fv()->itemList()->drawRefiltered();
}

void EditController::onFilterAttrChanged(const std::shared_ptr<FilterElement>& element) {
    currentElement_ = element ? FilterMyElement::withFilterElement(*element) : nullptr;
    updateResult(false);
    updateFilterView();
}

void EditController::onEditFilterHostViewFilterSelected(EditFilterHostView&,
                                                        const std::shared_ptr<FilterPersistElement>& element) {
    currentElement_ = element ? FilterMyElement::withFilterElement(*element) : nullptr;
    Log::debug(kLog, currentElement_ ? "a look is chosen" : "no look is chosen");
    updateView();
}

void EditController::updateScrollViewLayout(bool zooming) {
    CGRect b = view()->bounds();
    if (zooming) {
        scrollView_->setFrame(CGRectMake(0, 0, b.size.width, b.size.height));
        return;
    }
    CGRect safe = UIEdgeInsetsInsetRect(b, view()->safeAreaInsets());
    CGFloat h = std::max<CGFloat>(0, safe.size.height - scrollViewTop_ - scrollViewBottom_);
    scrollView_->setFrame(CGRectMake(0, scrollViewTop_, b.size.width, h));
}

void EditController::updateImageViewLayout() {
    CGSize s = scrollView_->bounds().size;
    if (imageSize_.width <= 0 || imageSize_.height <= 0 || s.width <= 0 || s.height <= 0) {
        imageView_->setFrame(CGRectMake(0, 0, s.width, s.height));
    } else {
        CGFloat r = imageSize_.width / imageSize_.height, v = s.width / s.height;
        if (r > v)
            imageView_->setFrame(CGRectMake(0, (s.height - s.width / r) / 2, s.width, s.width / r));
        else if (r < v)
            imageView_->setFrame(CGRectMake((s.width - r * s.height) / 2, 0, r * s.height, s.height));
        else
            imageView_->setFrame(CGRectMake(0, 0, s.width, s.height));
    }
    scrollView_->setContentSize(s);
}

// ---- gestures and zoom ----

void EditController::onDone() {
    done();
}

void EditController::done() {
    imageView_->setHidden(true);
    if (auto d = delegate_.lock()) d->onEditControllerDone(self<EditController>());
}

void EditController::onImageLongPress(UIGestureRecognizer& r) {
    if (r.state() == UIGestureRecognizerState::Began)
        updateResult(true);
    else if (r.state() == UIGestureRecognizerState::Ended)
        updateResult(false);
}

void EditController::onImageSwipeDown(UIGestureRecognizer& r) {
    if (r.state() == UIGestureRecognizerState::Ended) done();
}

void EditController::onImageDoubleTap(UIGestureRecognizer& r) {
    if (r.state() == UIGestureRecognizerState::Ended) scrollView_->setZoomScale(kMinimumZoom, true);
}

std::shared_ptr<UIView> EditController::viewForZoomingInScrollView(UIScrollView&) {
    return imageView_;
}

void EditController::scrollViewWillBeginZooming(UIScrollView&, const std::shared_ptr<UIView>&) {
    zooming_ = true;
    updateScrollViewLayout(true);
}

void EditController::scrollViewDidEndZooming(UIScrollView&, const std::shared_ptr<UIView>&, CGFloat) {
    zooming_ = false;
    updateScrollViewLayout(false);
    scrollView_->setZoomScale(kMinimumZoom, true);
}

// ---- metadata ----

void EditController::onInfo(const std::shared_ptr<NSObject>& sender) {
    if (!asset_) return;
    hudAct()->showWithAutoHide(sender, kInfoHudTimeout);
    PHContentEditingInputRequestOptions options;
    options.networkAccessAllowed = true;
    std::weak_ptr<EditController> weak = self<EditController>();
    asset_->requestContentEditingInputWithOptions(
        options, [weak, sender](std::shared_ptr<PHContentEditingInput> input, const ValueDictionary&) {
            auto me = weak.lock();
            if (!me) return;
            me->hudAct()->hide();
            auto image = input ? CIImage::imageWithContentsOfURL(input->fullSizeImageURL()) : nullptr;
            if (!image) Log::warning(kLog, "no metadata: the photo's file cannot be read");
            me->exifView()->show(sender, image ? image->properties() : Value::dictionary(), [] {});
        });
}

// ---- the result ----

void EditController::onMyPhotosChanged(MyPhotos&) {
    // The newest photo is read only for a save's result: a change of another kind (the library
    // opening with the screen) would decode a whole photo for nothing.
    if (!actShowResultImage_) return;
    std::weak_ptr<EditController> weak = self<EditController>();
    request(recent(), [weak](std::shared_ptr<UIImage> image) {
        auto me = weak.lock();
        if (!me || !me->actShowResultImage_) return;
        me->actShowResultImage_ = false;
        me->showResultImage(image);
    });
}

void EditController::showResultImage(const std::shared_ptr<UIImage>& image) {
    auto flying = UIImageView::make(image);
    flying->setContentMode(UIViewContentMode::ScaleAspectFit);
    flying->setFrame(imageView_->convertRectToView(imageView_->bounds(), view()));
    view()->addSubview(flying);
    CGPoint c = btnSave_->center();
    c = ui_->convertPointToView(c, view());
    UIViewAnimation::animate(
        kResultFlightDuration,
        [flying, c] {
            flying->setFrame(
                CGRectMake(c.x - kResultEndSide / 2, c.y - kResultEndSide / 2, kResultEndSide, kResultEndSide));
            flying->setAlpha(0);
        },
        [flying](bool) { flying->removeFromSuperview(); });
}
