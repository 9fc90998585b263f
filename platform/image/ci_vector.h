// CIVector: an immutable list of numbers of any length, the form of points, rectangles and coefficients.
#pragma once

#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/geometry.h"
#include "platform/runtime/object.h"

class CIVector : public NSObject {
public:
    KORVA_MAKE(CIVector)

    static std::shared_ptr<CIVector> vectorWithValues(std::vector<CGFloat> values);
    static std::shared_ptr<CIVector> vectorWithX(CGFloat x);
    static std::shared_ptr<CIVector> vectorWithX(CGFloat x, CGFloat y);
    static std::shared_ptr<CIVector> vectorWithX(CGFloat x, CGFloat y, CGFloat z);
    static std::shared_ptr<CIVector> vectorWithX(CGFloat x, CGFloat y, CGFloat z, CGFloat w);
    static std::shared_ptr<CIVector> vectorWithCGPoint(CGPoint p);
    // (x, y, width, height)
    static std::shared_ptr<CIVector> vectorWithCGRect(CGRect r);
    // (a, b, c, d, tx, ty)
    static std::shared_ptr<CIVector> vectorWithCGAffineTransform(const CGAffineTransform& t);
    // "[x y z]"; numbers may also be separated by commas. "[]" is the empty vector.
    static std::shared_ptr<CIVector> vectorWithString(std::string_view text);

    std::size_t count() const { return v_.size(); }
    // 0 past the end, as the platform answers.
    CGFloat valueAtIndex(std::size_t i) const { return i < v_.size() ? v_[i] : 0.0; }
    const std::vector<CGFloat>& values() const { return v_; }
    CGFloat X() const { return valueAtIndex(0); }
    CGFloat Y() const { return valueAtIndex(1); }
    CGFloat Z() const { return valueAtIndex(2); }
    CGFloat W() const { return valueAtIndex(3); }
    CGPoint CGPointValue() const { return {X(), Y()}; }
    CGRect CGRectValue() const { return {{X(), Y()}, {Z(), W()}}; }
    CGAffineTransform CGAffineTransformValue() const {
        return {valueAtIndex(0), valueAtIndex(1), valueAtIndex(2), valueAtIndex(3), valueAtIndex(4), valueAtIndex(5)};
    }
    std::string stringRepresentation() const;

    std::string description() const override;
    bool isEqual(const NSObject& other) const override;

protected:
    explicit CIVector(std::vector<CGFloat> values) : v_(std::move(values)) {}

private:
    std::vector<CGFloat> v_;
};
