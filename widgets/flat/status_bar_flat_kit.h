// Status-bar content style by three rules (light content, the platform's own, or contrast with
// the colour under the status bar), and the hairline under a navigation bar. Per-controller flags
// hang on the controller; installFlatKitStatusBarBehaviour puts the rules in place before the
// first screen exists. Main-thread only.
#pragma once

#include <memory>

#include "platform/runtime/geometry.h"
#include "platform/ui/controller/ui_navigation_controller.h"

class UIColor;
class UIImageView;
class UIView;

// Not a platform value: answer by the contrast rule.
inline constexpr long kStatusBarStyleContrast = 100;

// Installs the controller and navigation-controller rules and the hairline step after a
// navigation controller's view loads. Runs once; later calls do nothing.
void installFlatKitStatusBarBehaviour();

// Flags of any controller (absent reads as false).
bool shouldContrast(const UIViewController& controller);
void setShouldContrast(UIViewController& controller, bool contrast);
bool shouldUseLightContent(const UIViewController& controller);
void setShouldUseLightContent(UIViewController& controller, bool light);
// 100 sets the contrast flag; otherwise the light flag follows style == 1 (a navigation
// controller sets it for 1 and clears it for anything else but 100). The contrast flag is never
// cleared here. A plain controller also asks for a status-bar update 0.01 s later.
void setStatusBarStyle(UIViewController& controller, long style);
// 0 (dark content) for a light colour, 1 otherwise; 0 for a colour without RGB or none.
long contrastingStatusBarStyleForColor(const std::shared_ptr<UIColor>& color);

// What a controller answers after the install (the provider behind preferredStatusBarStyle).
UIStatusBarStyle flatkit_preferredStatusBarStyle(const UIViewController& controller, UIStatusBarStyle platformStyle);
// What a navigation controller answers after the install.
UIStatusBarStyle flatkit_navigationPreferredStatusBarStyle(const UINavigationController& controller);

bool hidesNavigationBarHairline(const UINavigationController& controller);
// Stores the flag and applies it to the hairline at once when the bar has one.
void setHidesNavigationBarHairline(UINavigationController& controller, bool hides);
// The first image view no more than 1 point high, depth first, a view before its subviews.
std::shared_ptr<UIImageView> findHairlineImageViewUnder(const std::shared_ptr<UIView>& view);

// The frontmost visible descendant under the point (receiver's coordinates), or the receiver.
std::shared_ptr<UIView> findTopMostViewForPoint(const std::shared_ptr<UIView>& view, CGPoint point);
// True when the view, or one inside it, is the frontmost at its own centre in its window.
bool isTopViewInWindow(const std::shared_ptr<UIView>& view);
