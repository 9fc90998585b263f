// A linear relation between attributes of two layout items (views or layout guides):
//   first.attribute1  (relation)  second.attribute2 * multiplier + constant
// A constraint is active while a view holds it in its constraint list.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/geometry.h"
#include "platform/runtime/object.h"

class UIView;

enum class NSLayoutAttribute {
    NotAnAttribute = 0,
    Left = 1,
    Right = 2,
    Top = 3,
    Bottom = 4,
    Leading = 5,
    Trailing = 6,
    Width = 7,
    Height = 8,
    CenterX = 9,
    CenterY = 10,
};

enum class NSLayoutRelation { LessThanOrEqual = -1, Equal = 0, GreaterThanOrEqual = 1 };

using UILayoutPriority = float;
inline constexpr UILayoutPriority UILayoutPriorityRequired = 1000;
inline constexpr UILayoutPriority UILayoutPriorityDefaultHigh = 750;
inline constexpr UILayoutPriority UILayoutPriorityDefaultLow = 250;
inline constexpr UILayoutPriority UILayoutPriorityFittingSizeLevel = 50;

enum class UILayoutConstraintAxis { Horizontal = 0, Vertical = 1 };

const char* NSLayoutAttributeName(NSLayoutAttribute attribute);

class NSLayoutConstraint : public NSObject {
public:
    KORVA_MAKE(NSLayoutConstraint)

    // item1 and item2 are views or layout guides; item2 may be null with NotAnAttribute for a
    // fixed size. Not active until installed (addConstraint or setActive).
    static std::shared_ptr<NSLayoutConstraint> constraintWithItem(
        const std::shared_ptr<NSObject>& item1, NSLayoutAttribute attribute1, NSLayoutRelation relation,
        const std::shared_ptr<NSObject>& item2, NSLayoutAttribute attribute2, CGFloat multiplier, CGFloat constant);

    std::shared_ptr<NSObject> firstItem() const { return firstItem_.lock(); }
    NSLayoutAttribute firstAttribute() const { return firstAttribute_; }
    NSLayoutRelation relation() const { return relation_; }
    std::shared_ptr<NSObject> secondItem() const { return secondItem_.lock(); }
    NSLayoutAttribute secondAttribute() const { return secondAttribute_; }
    CGFloat multiplier() const { return multiplier_; }

    CGFloat constant() const { return constant_; }
    void setConstant(CGFloat c);
    const std::string& identifier() const { return identifier_; }
    void setIdentifier(std::string id) { identifier_ = std::move(id); }
    UILayoutPriority priority() const { return priority_; }
    // Clamped to 1...1000. A held constraint cannot switch between required and optional: such a
    // change is logged and ignored, as it would silently change which constraints may break.
    void setPriority(UILayoutPriority p);
    bool shouldBeArchived() const { return shouldBeArchived_; }
    void setShouldBeArchived(bool a) { shouldBeArchived_ = a; }

    // Active: held by the closest common ancestor of its items. Activating a constraint whose
    // items share no ancestor logs an error and leaves it inactive.
    bool isActive() const { return !holder_.expired(); }
    void setActive(bool active);
    static void activateConstraints(const std::vector<std::shared_ptr<NSLayoutConstraint>>& constraints);
    static void deactivateConstraints(const std::vector<std::shared_ptr<NSLayoutConstraint>>& constraints);

    // The view whose constraint list holds this constraint, or null.
    std::shared_ptr<UIView> holder() const { return holder_.lock(); }
    // True when one of the items is the view or lies inside it (guides count as their owning view).
    bool mentionsViewOrDescendant(const UIView& view) const;
    // The views the constraint relates (guides give their owning view).
    std::vector<std::shared_ptr<UIView>> views() const;

    // Constraints from a visual format string such as "H:|-8-[label]-[field(>=80)]-|": an
    // orientation (H: or V:), superview edges |, spacings - (standard), -N-, -metric- and
    // -(>=N)-, views [name] with size predicates (N), (>=N), (<=metric) and priorities @N.
    // The views and metrics are looked up by name. A malformed format gives no constraint and a
    // logged error. Not installed: the caller adds them to a common ancestor.
    static std::vector<std::shared_ptr<NSLayoutConstraint>> constraintsWithVisualFormat(
        std::string_view format, unsigned options, const std::map<std::string, CGFloat>& metrics,
        const std::map<std::string, std::shared_ptr<UIView>>& views);

    std::string description() const override;
    std::string className() const override { return "NSLayoutConstraint"; }

protected:
    NSLayoutConstraint() = default;

private:
    friend class UIView;
    void setHolder(const std::shared_ptr<UIView>& view) { holder_ = view; }
    void notifyChanged(bool structural);

    std::weak_ptr<NSObject> firstItem_;
    NSLayoutAttribute firstAttribute_ = NSLayoutAttribute::NotAnAttribute;
    NSLayoutRelation relation_ = NSLayoutRelation::Equal;
    std::weak_ptr<NSObject> secondItem_;
    NSLayoutAttribute secondAttribute_ = NSLayoutAttribute::NotAnAttribute;
    CGFloat multiplier_ = 1;
    CGFloat constant_ = 0;
    std::string identifier_;
    UILayoutPriority priority_ = UILayoutPriorityRequired;
    bool shouldBeArchived_ = false;
    std::weak_ptr<UIView> holder_;
};
