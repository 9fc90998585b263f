// Colours: the resolved value (CGColor) and the colour object (UIColor) with grey, RGB, HSB, pattern
// and dynamic light/dark forms.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/runtime/geometry.h"
#include "platform/runtime/object.h"
#include "platform/ui/draw/trait_collection.h"

class UIImage;

enum class CGColorModel { Gray, RGB, Pattern };

// A resolved colour in device space. Grey colours keep their two components (white, alpha), RGB
// colours four (red, green, blue, alpha); red/green/blue/alpha are always filled in so that drawing
// code never has to look at the model. A pattern colour tiles its image and has no RGB form.
struct CGColor {
    CGColorModel model = CGColorModel::RGB;
    CGFloat red = 0, green = 0, blue = 0, alpha = 0;
    std::shared_ptr<UIImage> pattern;

    static CGColor rgb(CGFloat r, CGFloat g, CGFloat b, CGFloat a = 1) { return {CGColorModel::RGB, r, g, b, a, {}}; }
    static CGColor gray(CGFloat w, CGFloat a = 1) { return {CGColorModel::Gray, w, w, w, a, {}}; }
    static CGColor clear() { return rgb(0, 0, 0, 0); }

    // The components as stored: (white, alpha) for grey, (r, g, b, a) for RGB, none for a pattern.
    std::vector<CGFloat> components() const;
    std::size_t numberOfComponents() const;
    bool isPattern() const { return model == CGColorModel::Pattern; }
    CGColor withAlpha(CGFloat a) const;

    bool operator==(const CGColor& other) const;
};

inline CGFloat CGColorGetAlpha(const CGColor& c) {
    return c.alpha;
}
inline bool CGColorEqualToColor(const CGColor& a, const CGColor& b) {
    return a == b;
}
inline CGColor CGColorCreateCopyWithAlpha(const CGColor& c, CGFloat alpha) {
    return c.withAlpha(alpha);
}

// Main-thread object. Immutable after creation; "changing" a colour makes a new one.
class UIColor : public NSObject {
public:
    using Provider = std::function<std::shared_ptr<UIColor>(const UITraitCollection&)>;

    static std::shared_ptr<UIColor> colorWithRed(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha);
    static std::shared_ptr<UIColor> colorWithWhite(CGFloat white, CGFloat alpha);
    // Hue, saturation and brightness in 0...1; a hue outside wraps round.
    static std::shared_ptr<UIColor> colorWithHue(CGFloat hue, CGFloat saturation, CGFloat brightness, CGFloat alpha);
    static std::shared_ptr<UIColor> colorWithCGColor(const CGColor& color);
    static std::shared_ptr<UIColor> colorWithPatternImage(std::shared_ptr<UIImage> image);
    // Asked again every time the colour is resolved, with the trait in force then.
    static std::shared_ptr<UIColor> colorWithDynamicProvider(Provider provider);
    static std::shared_ptr<UIColor> colorWithLight(std::shared_ptr<UIColor> light, std::shared_ptr<UIColor> dark);

    // Fixed colours.
    static std::shared_ptr<UIColor> clearColor();
    static std::shared_ptr<UIColor> blackColor();
    static std::shared_ptr<UIColor> darkGrayColor();   // white 1/3
    static std::shared_ptr<UIColor> grayColor();       // white 1/2
    static std::shared_ptr<UIColor> lightGrayColor();  // white 2/3
    static std::shared_ptr<UIColor> whiteColor();
    static std::shared_ptr<UIColor> redColor();
    static std::shared_ptr<UIColor> greenColor();
    static std::shared_ptr<UIColor> blueColor();
    static std::shared_ptr<UIColor> cyanColor();
    static std::shared_ptr<UIColor> yellowColor();
    static std::shared_ptr<UIColor> magentaColor();
    static std::shared_ptr<UIColor> orangeColor();
    static std::shared_ptr<UIColor> purpleColor();
    static std::shared_ptr<UIColor> brownColor();

    // System colours: dynamic, with a light and a dark value.
    static std::shared_ptr<UIColor> labelColor();
    static std::shared_ptr<UIColor> secondaryLabelColor();
    static std::shared_ptr<UIColor> tertiaryLabelColor();
    static std::shared_ptr<UIColor> systemBackgroundColor();
    static std::shared_ptr<UIColor> secondarySystemBackgroundColor();
    static std::shared_ptr<UIColor> separatorColor();
    static std::shared_ptr<UIColor> systemGrayColor();
    static std::shared_ptr<UIColor> systemGray2Color();
    static std::shared_ptr<UIColor> systemGray3Color();
    static std::shared_ptr<UIColor> systemGray4Color();
    static std::shared_ptr<UIColor> systemGray5Color();
    static std::shared_ptr<UIColor> systemGray6Color();
    static std::shared_ptr<UIColor> systemRedColor();
    static std::shared_ptr<UIColor> systemGreenColor();
    static std::shared_ptr<UIColor> systemBlueColor();
    static std::shared_ptr<UIColor> systemOrangeColor();
    static std::shared_ptr<UIColor> systemYellowColor();
    static std::shared_ptr<UIColor> systemPinkColor();
    static std::shared_ptr<UIColor> systemPurpleColor();
    static std::shared_ptr<UIColor> systemIndigoColor();
    static std::shared_ptr<UIColor> systemTealColor();

    // The fixed colour this one stands for under the traits (itself when not dynamic).
    std::shared_ptr<UIColor> resolvedColorWithTraitCollection(const UITraitCollection& traits) const;
    // The resolved value under the current trait collection.
    CGColor cgColor() const;

    // Component read-back under the current traits; each pointer may be null. false (and the
    // outputs untouched) when the colour has no such form: getRed and getHue fail for a pattern,
    // getWhite fails for anything but a grey colour.
    bool getRed(CGFloat* red, CGFloat* green, CGFloat* blue, CGFloat* alpha) const;
    bool getWhite(CGFloat* white, CGFloat* alpha) const;
    bool getHue(CGFloat* hue, CGFloat* saturation, CGFloat* brightness, CGFloat* alpha) const;

    std::shared_ptr<UIColor> colorWithAlphaComponent(CGFloat alpha) const;

    // Make this the current context's fill colour, stroke colour, or both (nothing without one).
    void setFill() const;
    void setStroke() const;
    void set() const;

    bool isDynamic() const { return provider_ != nullptr; }
    std::shared_ptr<UIImage> patternImage() const { return value_.pattern; }

    // Fixed colours are equal when model and components are; dynamic ones only to themselves.
    bool isEqual(const NSObject& other) const override;
    std::string description() const override;
    std::string className() const override { return "UIColor"; }

protected:
    explicit UIColor(CGColor value) : value_(std::move(value)) {}
    explicit UIColor(Provider provider) : provider_(std::move(provider)) {}

private:
    CGColor value_;
    Provider provider_;
};

// Conversions shared by the colour class and its callers (all components in 0...1).
void UIColorRGBToHSB(CGFloat r, CGFloat g, CGFloat b, CGFloat* h, CGFloat* s, CGFloat* v);
void UIColorHSBToRGB(CGFloat h, CGFloat s, CGFloat v, CGFloat* r, CGFloat* g, CGFloat* b);
