// Navigation helpers on controllers: push and pop through the nearest navigation controller,
// navigation-bar items and titles on the right navigation item, the modal question, controllers
// from the storyboard, child hosting, the application delegate and root controller, and a fixed
// light appearance. Main-thread only.
#pragma once

#include <memory>
#include <string>
#include <vector>

class UIViewController;
class UIView;
class UIBarButtonItem;
class UIApplicationDelegate;
using ControllerPtr = std::shared_ptr<UIViewController>;
using BarItems = std::vector<std::shared_ptr<UIBarButtonItem>>;

// Climbs through containers to the controller whose parent is a navigation controller.
void push(const ControllerPtr& receiver, const ControllerPtr& controller, bool animated);
void pop(const ControllerPtr& receiver, bool animated);

void setNavLeft(const ControllerPtr& receiver, const BarItems& items);
void setNavRight(const ControllerPtr& receiver, const BarItems& items);
// Inside a segmented container the title becomes the screen's segment text instead.
void setNavTitle(const ControllerPtr& receiver, const std::string& title);
void setNavView(const ControllerPtr& receiver, const std::shared_ptr<UIView>& view);

// Shown modally as the only controller of its navigation controller.
bool isModal(const UIViewController& receiver);
// A new controller for a storyboard identifier, from the receiver's storyboard, its top
// controller's, or the root controller's; none when no storyboard knows it.
ControllerPtr storyboard(const ControllerPtr& receiver, const std::string& identifier);
void addChild(const ControllerPtr& receiver, const ControllerPtr& child, const std::shared_ptr<UIView>& parentView);
void removeChild(const ControllerPtr& child);
std::shared_ptr<UIApplicationDelegate> app();
// The key window's root controller.
ControllerPtr root();
// Light appearance whatever the screen's.
void ignoreDarkMode(UIViewController& receiver);
