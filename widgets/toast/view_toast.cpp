// Building, placing, showing, timing, queueing and hiding toasts, and the activity toast.
#include "widgets/toast/view_toast.h"

#include <algorithm>
#include <cctype>

#include "platform/dispatch/run_loop.h"
#include "platform/dispatch/timer.h"
#include "platform/ui/animation/ui_view_animation.h"
#include "platform/ui/control/ui_activity_indicator_view.h"
#include "platform/ui/control/ui_image_view.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/gesture/ui_tap_gesture_recognizer.h"

namespace {

constexpr const char* kHostKey = "ToastHostKey";
constexpr const char* kToastKey = "ToastStateKey";

// What a host view keeps: its shown toasts (oldest first), its queue and its activity toast.
struct HostState : NSObject {
    std::vector<std::shared_ptr<UIView>> active;
    std::vector<std::shared_ptr<UIView>> queue;
    std::shared_ptr<UIView> activity;
};

// What a toast view keeps: its timer once shown, its completion, and while queued its duration
// and position. `hiding` is set once its fade-out has begun.
struct ToastState : NSObject {
    std::shared_ptr<NSTimer> timer;
    ToastCompletion completion;
    double duration = 0;
    ToastPosition position;
    bool hiding = false;
};

HostState& hostState(const UIView& host) {
    auto state = std::static_pointer_cast<HostState>(host.attachedObject(kHostKey));
    if (!state) {
        state = std::make_shared<HostState>();
        const_cast<UIView&>(host).setAttachedObject(kHostKey, state);
    }
    return *state;
}

std::shared_ptr<ToastState> toastState(const UIView& toast) {
    auto state = std::static_pointer_cast<ToastState>(toast.attachedObject(kToastKey));
    if (!state) {
        state = std::make_shared<ToastState>();
        const_cast<UIView&>(toast).setAttachedObject(kToastKey, state);
    }
    return state;
}

bool isActive(const UIView& host, const std::shared_ptr<UIView>& toast) {
    const auto& active = hostState(host).active;
    return std::find(active.begin(), active.end(), toast) != active.end();
}

std::string lowered(std::string s) {
    for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// Rounded corners, flexible margins and the optional shadow, shared by toasts and the activity toast.
void styleWrapper(UIView& wrapper, const ToastStyle& style) {
    wrapper.setAutoresizingMask(UIViewAutoresizingFlexibleLeftMargin | UIViewAutoresizingFlexibleRightMargin |
                                UIViewAutoresizingFlexibleTopMargin | UIViewAutoresizingFlexibleBottomMargin);
    wrapper.layer()->setCornerRadius(style.cornerRadius);
    if (style.displayShadow) {
        wrapper.layer()->setShadowColor(style.shadowColor ? std::optional<CGColor>(style.shadowColor->cgColor())
                                                          : std::nullopt);
        wrapper.layer()->setShadowOpacity(static_cast<float>(style.shadowOpacity));
        wrapper.layer()->setShadowRadius(style.shadowRadius);
        wrapper.layer()->setShadowOffset(style.shadowOffset);
    }
    wrapper.setBackgroundColor(style.backgroundColor);
}

std::shared_ptr<UILabel> textLabel(const std::string& text, long lines, const std::shared_ptr<UIFont>& font,
                                   NSTextAlignment alignment, const std::shared_ptr<UIColor>& color, CGSize largest) {
    auto label = UILabel::make();
    label->setNumberOfLines(lines);
    label->setFont(font);
    label->setTextAlignment(alignment);
    label->setLineBreakMode(NSLineBreakMode::ByTruncatingTail);
    label->setTextColor(color);
    label->setBackgroundColor(UIColor::clearColor());
    label->setAlpha(1);
    label->setText(text);
    CGSize fits = label->sizeThatFits(largest);
    label->setFrame({{0, 0}, {std::min(fits.width, largest.width), std::min(fits.height, largest.height)}});
    return label;
}

void hideToastFromTap(const std::shared_ptr<UIView>& host, const std::shared_ptr<UIView>& toast, bool fromTap);
void presentToast(const std::shared_ptr<UIView>& host, const std::shared_ptr<UIView>& toast, double duration,
                  const ToastPosition& position);

void showNextQueued(const std::shared_ptr<UIView>& host) {
    auto& queue = hostState(*host).queue;
    if (queue.empty()) return;
    auto next = queue.front();
    queue.erase(queue.begin());
    auto state = toastState(*next);
    presentToast(host, next, state->duration, state->position);
}

void presentToast(const std::shared_ptr<UIView>& host, const std::shared_ptr<UIView>& toast, double duration,
                  const ToastPosition& position) {
    toast->setCenter(toastCenterPoint(*host, position, *toast));
    toast->setAlpha(0);
    if (ToastManager::isTapToDismissEnabled()) {
        std::weak_ptr<UIView> weakHost = host;
        auto tap = UITapGestureRecognizer::make([weakHost](UIGestureRecognizer& recognizer) {
            auto h = weakHost.lock();
            auto t = recognizer.view();
            if (h && t) hideToastFromTap(h, t, true);
        });
        UIViewAddGestureRecognizer(*toast, tap);
        toast->setUserInteractionEnabled(true);
        toast->setExclusiveTouch(true);
    }
    hostState(*host).active.push_back(toast);
    host->addSubview(toast);
    std::weak_ptr<UIView> weakHost = host;
    std::weak_ptr<UIView> weakToast = toast;
    UIViewAnimation::animate(
        ToastManager::sharedStyle()->fadeDuration, 0,
        UIViewAnimationOptionCurveEaseOut | UIViewAnimationOptionAllowUserInteraction, [toast] { toast->setAlpha(1); },
        [weakHost, weakToast, duration](bool) {
            auto h = weakHost.lock();
            auto t = weakToast.lock();
            // A toast tapped away during its fade-in gets no timer: it is already on its way out.
            if (!h || !t || !isActive(*h, t) || toastState(*t)->hiding) return;
            auto timer = NSTimer::timer(duration, false, [weakHost, weakToast](const std::shared_ptr<NSTimer>&) {
                auto h2 = weakHost.lock();
                auto t2 = weakToast.lock();
                if (h2 && t2) hideToastFromTap(h2, t2, false);
            });
            RunLoop::main().addTimer(timer, RunLoopMode::Common);
            toastState(*t)->timer = timer;
        });
}

void hideToastFromTap(const std::shared_ptr<UIView>& host, const std::shared_ptr<UIView>& toast, bool fromTap) {
    auto state = toastState(*toast);
    // Each toast hides once: a second request while it fades out, or after it went, does nothing.
    if (state->hiding || !isActive(*host, toast)) return;
    state->hiding = true;
    if (state->timer) state->timer->invalidate();
    std::weak_ptr<UIView> weakHost = host;
    UIViewAnimation::animate(
        ToastManager::sharedStyle()->fadeDuration, 0,
        UIViewAnimationOptionCurveEaseIn | UIViewAnimationOptionBeginFromCurrentState, [toast] { toast->setAlpha(0); },
        [weakHost, toast, fromTap](bool) {
            toast->removeFromSuperview();
            auto h = weakHost.lock();
            if (h) {
                auto& active = hostState(*h).active;
                active.erase(std::remove(active.begin(), active.end(), toast), active.end());
            }
            if (auto completion = std::move(toastState(*toast)->completion)) completion(fromTap);
            if (h) showNextQueued(h);
        });
}

}  // namespace

// ---- building ----

std::shared_ptr<UIView> toastViewForMessage(const UIView& host, const std::optional<std::string>& message,
                                            const std::optional<std::string>& title, std::shared_ptr<UIImage> image,
                                            std::shared_ptr<ToastStyle> style) {
    if (!message && !title && !image) return nullptr;
    if (!style) style = ToastManager::sharedStyle();
    const double hp = style->horizontalPadding, vp = style->verticalPadding;
    CGSize hostSize = host.bounds().size;
    auto wrapper = UIView::make();
    styleWrapper(*wrapper, *style);

    std::shared_ptr<UIImageView> imageView;
    CGRect imageRect = CGRectZero;
    if (image) {
        imageView = UIImageView::make();
        imageView->setImage(image);
        imageView->setContentMode(UIViewContentMode::ScaleAspectFit);
        imageView->setFrame({{hp, vp}, style->imageSize});
        imageRect = {{hp, vp}, imageView->bounds().size};
    }
    CGSize largest{hostSize.width * style->maxWidthPercentage() - imageRect.size.width,
                   hostSize.height * style->maxHeightPercentage()};
    std::shared_ptr<UILabel> titleLabel, messageLabel;
    if (title)
        titleLabel = textLabel(*title, style->titleNumberOfLines, style->titleFont, style->titleAlignment,
                               style->titleColor, largest);
    if (message)
        messageLabel = textLabel(*message, style->messageNumberOfLines, style->messageFont, style->messageAlignment,
                                 style->messageColor, largest);

    CGFloat textX = imageRect.origin.x + imageRect.size.width + hp;
    CGRect titleRect = titleLabel ? CGRect{{textX, vp}, titleLabel->bounds().size} : CGRectZero;
    CGRect messageRect =
        messageLabel ? CGRect{{textX, titleRect.origin.y + titleRect.size.height + vp}, messageLabel->bounds().size}
                     : CGRectZero;
    CGFloat longest = std::max(titleRect.size.width, messageRect.size.width);
    CGFloat rightmost = std::max(titleRect.origin.x, messageRect.origin.x);
    CGFloat width = std::max(imageRect.size.width + 2 * hp, rightmost + longest + hp);
    CGFloat height = std::max(messageRect.origin.y + messageRect.size.height + vp, imageRect.size.height + 2 * vp);
    wrapper->setFrame(CGRectMake(0, 0, width, height));
    if (titleLabel) {
        titleLabel->setFrame(titleRect);
        wrapper->addSubview(titleLabel);
    }
    if (messageLabel) {
        messageLabel->setFrame(messageRect);
        wrapper->addSubview(messageLabel);
    }
    if (imageView) wrapper->addSubview(imageView);
    return wrapper;
}

CGPoint toastCenterPoint(const UIView& host, const ToastPosition& position, const UIView& toast) {
    CGSize size = host.bounds().size;
    UIEdgeInsets insets = host.safeAreaInsets();
    double vp = ToastManager::sharedStyle()->verticalPadding;
    double h = toast.frame().size.height;
    if (auto point = std::get_if<CGPoint>(&position.value)) return *point;
    if (auto name = std::get_if<std::string>(&position.value)) {
        std::string key = lowered(*name);
        if (key == lowered(kToastPositionTop)) return {size.width / 2, insets.top + vp + h / 2};
        if (key == lowered(kToastPositionCenter)) return {size.width / 2, size.height / 2};
    }
    return {size.width / 2, size.height - h / 2 - (insets.bottom + vp)};
}

// ---- showing ----

void makeToast(const std::shared_ptr<UIView>& host, const std::string& message) {
    makeToast(host, message, ToastManager::defaultDuration(), ToastManager::defaultPosition());
}

void makeToast(const std::shared_ptr<UIView>& host, const std::string& message, double duration,
               const ToastPosition& position, std::shared_ptr<ToastStyle> style) {
    makeToast(host, message, duration, position, std::nullopt, nullptr, std::move(style), nullptr);
}

void makeToast(const std::shared_ptr<UIView>& host, const std::optional<std::string>& message, double duration,
               const ToastPosition& position, const std::optional<std::string>& title, std::shared_ptr<UIImage> image,
               std::shared_ptr<ToastStyle> style, ToastCompletion completion) {
    if (!host) return;
    auto toast = toastViewForMessage(*host, message, title, std::move(image), std::move(style));
    showToast(host, toast, duration, position, std::move(completion));
}

void showToast(const std::shared_ptr<UIView>& host, const std::shared_ptr<UIView>& toast) {
    showToast(host, toast, ToastManager::defaultDuration(), ToastManager::defaultPosition(), nullptr);
}

void showToast(const std::shared_ptr<UIView>& host, const std::shared_ptr<UIView>& toast, double duration,
               const ToastPosition& position, ToastCompletion completion) {
    if (!host || !toast) return;
    auto state = toastState(*toast);
    state->completion = std::move(completion);
    auto& hs = hostState(*host);
    if (ToastManager::isQueueEnabled() && !hs.active.empty()) {
        state->duration = duration;
        state->position = position;
        hs.queue.push_back(toast);
        return;
    }
    presentToast(host, toast, duration, position);
}

// ---- hiding ----

void hideToast(const std::shared_ptr<UIView>& host) {
    if (!host) return;
    const auto& active = hostState(*host).active;
    if (!active.empty()) hideToast(host, active.front());
}

void hideToast(const std::shared_ptr<UIView>& host, const std::shared_ptr<UIView>& toast) {
    if (!host || !toast) return;
    hideToastFromTap(host, toast, false);
}

void hideAllToasts(const std::shared_ptr<UIView>& host, bool includeActivity, bool clearQueue) {
    if (!host) return;
    if (clearQueue) clearToastQueue(host);
    auto active = hostState(*host).active;  // hiding changes the list
    for (const auto& toast : active) hideToast(host, toast);
    if (includeActivity) hideToastActivity(host);
}

void clearToastQueue(const std::shared_ptr<UIView>& host) {
    if (host) hostState(*host).queue.clear();
}

// ---- the activity toast ----

void makeToastActivity(const std::shared_ptr<UIView>& host, const ToastPosition& position) {
    if (!host || hostState(*host).activity) return;
    auto style = ToastManager::sharedStyle();
    auto activity = UIView::make(CGRect{{0, 0}, style->activitySize});
    styleWrapper(*activity, *style);
    activity->setCenter(toastCenterPoint(*host, position, *activity));
    activity->setAlpha(0);
    auto spinner = UIActivityIndicatorView::withStyle(UIActivityIndicatorViewStyle::WhiteLarge);
    spinner->setBounds({{0, 0}, spinner->intrinsicContentSize()});
    spinner->setCenter({style->activitySize.width / 2, style->activitySize.height / 2});
    activity->addSubview(spinner);
    spinner->startAnimating();
    hostState(*host).activity = activity;
    host->addSubview(activity);
    UIViewAnimation::animate(style->fadeDuration, 0, UIViewAnimationOptionCurveEaseOut,
                             [activity] { activity->setAlpha(1); });
}

void hideToastActivity(const std::shared_ptr<UIView>& host) {
    if (!host) return;
    auto activity = hostState(*host).activity;
    if (!activity) return;
    std::weak_ptr<UIView> weakHost = host;
    UIViewAnimation::animate(
        ToastManager::sharedStyle()->fadeDuration, 0,
        UIViewAnimationOptionCurveEaseIn | UIViewAnimationOptionBeginFromCurrentState,
        [activity] { activity->setAlpha(0); },
        [weakHost, activity](bool) {
            activity->removeFromSuperview();
            if (auto h = weakHost.lock(); h && hostState(*h).activity == activity) hostState(*h).activity.reset();
        });
}

// ---- what the host keeps ----

std::vector<std::shared_ptr<UIView>> activeToasts(const UIView& host) {
    return hostState(host).active;
}
std::vector<std::shared_ptr<UIView>> queuedToasts(const UIView& host) {
    return hostState(host).queue;
}
std::shared_ptr<UIView> toastActivityView(const UIView& host) {
    return hostState(host).activity;
}
