// UIAppearance: process-wide default property values per view class, optionally only for views
// inside given containers (views or controllers along the chain of superviews). A view reads the
// values that match it when it first joins a window; a value the instance has set itself wins.
// Main-thread only.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/runtime/object.h"
#include "platform/runtime/value.h"

class UIView;

// A class as the registry sees it: its name, and whether an object is of it (subclasses count).
struct UIAppearanceClass {
    std::string name;
    std::function<bool(const NSObject&)> includes;

    template <class T>
    static UIAppearanceClass of(std::string name) {
        return {std::move(name), [](const NSObject& o) { return dynamic_cast<const T*>(&o) != nullptr; }};
    }
    bool operator==(const UIAppearanceClass& other) const { return name == other.name; }
};

// Property names the platform's views read (a per-state property carries the state: "titleColor:0").
namespace UIAppearanceProperty {
inline constexpr const char* tintColor = "tintColor";
inline constexpr const char* backgroundColor = "backgroundColor";
inline constexpr const char* barTintColor = "barTintColor";
inline constexpr const char* titleTextAttributes = "titleTextAttributes";
inline constexpr const char* shadowImage = "shadowImage";
inline constexpr const char* clipsToBounds = "clipsToBounds";
inline constexpr const char* font = "font";
inline constexpr const char* textColor = "textColor";
inline constexpr const char* onTintColor = "onTintColor";
inline constexpr const char* thumbTintColor = "thumbTintColor";
inline constexpr const char* minimumTrackTintColor = "minimumTrackTintColor";
inline constexpr const char* maximumTrackTintColor = "maximumTrackTintColor";
inline constexpr const char* progressTintColor = "progressTintColor";
inline constexpr const char* trackTintColor = "trackTintColor";
inline constexpr const char* pageIndicatorTintColor = "pageIndicatorTintColor";
inline constexpr const char* currentPageIndicatorTintColor = "currentPageIndicatorTintColor";
// "name:state" for a property kept per control state (or "name:position:metrics" for bar images).
std::string forState(const char* name, unsigned state);
}  // namespace UIAppearanceProperty

// A setter of a property of the application's own (a category method sent to a proxy): recorded
// with its argument, and run on each matching view when it joins a window.
class UIAppearanceInvocation : public NSObject {
public:
    UIAppearanceInvocation(Value argument, std::function<void(UIView&)> apply)
        : argument_(std::move(argument)), apply_(std::move(apply)) {}
    const Value& argument() const { return argument_; }
    void applyTo(UIView& view) const {
        if (apply_) apply_(view);
    }
    std::string className() const override { return "UIAppearanceInvocation"; }

private:
    Value argument_;
    std::function<void(UIView&)> apply_;
};

// A proxy: the class and the containment list it sets values for. Copies share the registry.
class UIAppearance {
public:
    // At most this many containers are kept; the rest are dropped.
    static constexpr std::size_t kMaxContainers = 10;

    static UIAppearance appearance(UIAppearanceClass cls) { return {std::move(cls), {}}; }
    // Containers innermost first: (A, B) means inside an A that is itself inside a B.
    static UIAppearance appearanceWhenContainedIn(UIAppearanceClass cls, std::vector<UIAppearanceClass> containers);

    const UIAppearanceClass& appearanceClass() const { return class_; }
    const std::vector<UIAppearanceClass>& containers() const { return containers_; }

    // A null value removes the property.
    void setValue(const std::string& property, Value value) const;
    Value value(const std::string& property) const;

    // Every value that applies to the view, the most specific containment list winning (among
    // equally specific ones, the later registered).
    static ValueDictionary valuesForView(const UIView& view);
    // The same for an object shown by a view (a bar button item and its item view): the object
    // decides the class, the view's superviews the containers.
    static ValueDictionary valuesFor(const NSObject& object, const UIView& placement);
    // Forgets every value (tests start from nothing).
    static void reset();

private:
    UIAppearance(UIAppearanceClass cls, std::vector<UIAppearanceClass> containers)
        : class_(std::move(cls)), containers_(std::move(containers)) {}

    UIAppearanceClass class_;
    std::vector<UIAppearanceClass> containers_;
};
