// Finding a view's constraints again by identifier and changing them after layout. Every look-up
// searches the receiver's own constraint list only (the constraints it holds). Main-thread only.
#pragma once

#include <memory>
#include <string_view>

#include "platform/runtime/geometry.h"

class UIView;
class NSLayoutConstraint;

// The first held constraint, in list order, with the identifier; none when absent.
std::shared_ptr<NSLayoutConstraint> getLayoutConstraint(const UIView& view, std::string_view identifier);
// Sets the found constraint's constant and sends updateConstraints; false, changing nothing, when absent.
bool setLayoutConstant(UIView& view, std::string_view identifier, CGFloat constant);
// The found constraint's constant or multiplier; 0 when absent.
CGFloat getLayoutConstant(const UIView& view, std::string_view identifier);
CGFloat getLayoutMultiplier(const UIView& view, std::string_view identifier);
// Replaces the found constraint by one with the same items, attributes, relation, identifier,
// priority and archiving flag and the new multiplier and constant (a multiplier cannot change in
// place). False, changing nothing, when absent.
bool setLayoutConstraint(UIView& view, std::string_view identifier, CGFloat multiplier, CGFloat constant);
// Removes every held constraint whose first item is the receiver: after the layout recipes, only
// its fixed width and height.
void removeMyConstraints(UIView& view);
