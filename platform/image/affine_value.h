// A boxed affine transform: the object form filters take for a transform input.
#pragma once

#include <memory>
#include <string>

#include "platform/runtime/geometry.h"
#include "platform/runtime/object.h"

class AffineTransformValue : public NSObject {
public:
    KORVA_MAKE(AffineTransformValue)

    static std::shared_ptr<AffineTransformValue> valueWithCGAffineTransform(const CGAffineTransform& t) {
        return make(t);
    }
    const CGAffineTransform& CGAffineTransformValue() const { return t_; }

    std::string description() const override;
    bool isEqual(const NSObject& other) const override {
        auto* o = dynamic_cast<const AffineTransformValue*>(&other);
        return o && o->t_ == t_;
    }

protected:
    explicit AffineTransformValue(const CGAffineTransform& t) : t_(t) {}

private:
    CGAffineTransform t_;
};
