// CIColor: an immutable RGBA colour with an optional colour space, as image filters take it.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/image/color_space.h"
#include "platform/runtime/geometry.h"
#include "platform/runtime/object.h"

class CIColor : public NSObject {
public:
    KORVA_MAKE(CIColor)

    static std::shared_ptr<CIColor> colorWithRed(CGFloat r, CGFloat g, CGFloat b, CGFloat a = 1.0,
                                                 std::shared_ptr<CGColorSpace> space = nullptr);
    // "r g b a" or "r g b" (alpha 1); none when fewer than three numbers are found.
    static std::shared_ptr<CIColor> colorWithString(std::string_view text);

    CGFloat red() const { return c_[0]; }
    CGFloat green() const { return c_[1]; }
    CGFloat blue() const { return c_[2]; }
    CGFloat alpha() const { return c_[3]; }
    std::size_t numberOfComponents() const { return 4; }
    const CGFloat* components() const { return c_; }
    // None means the stored values are used as they are (no colour management).
    const std::shared_ptr<CGColorSpace>& colorSpace() const { return space_; }
    // "r g b a" with the shortest exact decimal form of each component.
    std::string stringRepresentation() const;

    std::string description() const override;
    bool isEqual(const NSObject& other) const override;

protected:
    CIColor(CGFloat r, CGFloat g, CGFloat b, CGFloat a, std::shared_ptr<CGColorSpace> space)
        : c_{r, g, b, a}, space_(std::move(space)) {}

private:
    CGFloat c_[4];
    std::shared_ptr<CGColorSpace> space_;
};
