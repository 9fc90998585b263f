// Toasts on any view: short-lived message bubbles faded in at the top, centre or bottom of the
// host (or at a point), kept for a duration and faded out; a tap dismisses one early. The host
// keeps its active toasts, its queue and its activity toast. Main-thread only.
//
// A toast: built -> (queued) -> shown (fading in, then timed) -> hiding (fading out) -> removed,
// its completion called once with whether a tap dismissed it.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/draw/image.h"
#include "platform/ui/view/ui_view.h"
#include "widgets/toast/toast_manager.h"

using ToastCompletion = std::function<void(bool didTap)>;

// makeToast: with the manager's default duration and position, or the ones given.
void makeToast(const std::shared_ptr<UIView>& host, const std::string& message);
void makeToast(const std::shared_ptr<UIView>& host, const std::string& message, double duration,
               const ToastPosition& position, std::shared_ptr<ToastStyle> style = nullptr);
void makeToast(const std::shared_ptr<UIView>& host, const std::optional<std::string>& message, double duration,
               const ToastPosition& position, const std::optional<std::string>& title, std::shared_ptr<UIImage> image,
               std::shared_ptr<ToastStyle> style, ToastCompletion completion);

// The toast view, not yet shown; null when message, title and image are all absent.
std::shared_ptr<UIView> toastViewForMessage(const UIView& host, const std::optional<std::string>& message,
                                            const std::optional<std::string>& title, std::shared_ptr<UIImage> image,
                                            std::shared_ptr<ToastStyle> style);
void showToast(const std::shared_ptr<UIView>& host, const std::shared_ptr<UIView>& toast);
void showToast(const std::shared_ptr<UIView>& host, const std::shared_ptr<UIView>& toast, double duration,
               const ToastPosition& position, ToastCompletion completion);

// Hides the oldest active toast, or the one given when it is active on this host.
void hideToast(const std::shared_ptr<UIView>& host);
void hideToast(const std::shared_ptr<UIView>& host, const std::shared_ptr<UIView>& toast);
// The active toasts (and the activity toast when asked); the queue first when asked.
void hideAllToasts(const std::shared_ptr<UIView>& host, bool includeActivity = false, bool clearQueue = true);
// Queued toasts are dropped unseen; their completions never run.
void clearToastQueue(const std::shared_ptr<UIView>& host);

// One spinning activity toast per host, until hidden.
void makeToastActivity(const std::shared_ptr<UIView>& host, const ToastPosition& position);
void hideToastActivity(const std::shared_ptr<UIView>& host);

// What the host keeps, for callers and tests.
std::vector<std::shared_ptr<UIView>> activeToasts(const UIView& host);
std::vector<std::shared_ptr<UIView>> queuedToasts(const UIView& host);
std::shared_ptr<UIView> toastActivityView(const UIView& host);
// Where a toast of that height goes on the host.
CGPoint toastCenterPoint(const UIView& host, const ToastPosition& position, const UIView& toast);
