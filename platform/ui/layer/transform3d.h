// The layer transform: a 4x4 matrix on row vectors, with the helpers the widgets use, and the
// affine form under which a flat layer is drawn.
#pragma once

#include <cmath>

#include "platform/runtime/geometry.h"

// [ m11 m12 m13 m14 ]
// [ m21 m22 m23 m24 ]   a point (x, y, z, 1) becomes (x, y, z, 1) * M, divided by its w.
// [ m31 m32 m33 m34 ]
// [ m41 m42 m43 m44 ]
struct CATransform3D {
    CGFloat m11 = 1, m12 = 0, m13 = 0, m14 = 0;
    CGFloat m21 = 0, m22 = 1, m23 = 0, m24 = 0;
    CGFloat m31 = 0, m32 = 0, m33 = 1, m34 = 0;
    CGFloat m41 = 0, m42 = 0, m43 = 0, m44 = 1;
    bool operator==(const CATransform3D&) const = default;
};

inline constexpr CATransform3D CATransform3DIdentity{};

inline bool CATransform3DIsIdentity(const CATransform3D& t) {
    return t == CATransform3DIdentity;
}
inline bool CATransform3DEqualToTransform(const CATransform3D& a, const CATransform3D& b) {
    return a == b;
}

// a then b.
CATransform3D CATransform3DConcat(const CATransform3D& a, const CATransform3D& b);
CATransform3D CATransform3DMakeTranslation(CGFloat tx, CGFloat ty, CGFloat tz);
CATransform3D CATransform3DMakeScale(CGFloat sx, CGFloat sy, CGFloat sz);
// Rotation by the angle (radians) about the axis (x, y, z); a zero axis gives the identity.
CATransform3D CATransform3DMakeRotation(CGFloat angle, CGFloat x, CGFloat y, CGFloat z);
// Each of these applies the new operation first, then t.
CATransform3D CATransform3DTranslate(const CATransform3D& t, CGFloat tx, CGFloat ty, CGFloat tz);
CATransform3D CATransform3DScale(const CATransform3D& t, CGFloat sx, CGFloat sy, CGFloat sz);
CATransform3D CATransform3DRotate(const CATransform3D& t, CGFloat angle, CGFloat x, CGFloat y, CGFloat z);
// A singular matrix is returned unchanged.
CATransform3D CATransform3DInvert(const CATransform3D& t);

CATransform3D CATransform3DMakeAffineTransform(const CGAffineTransform& t);
// True when the matrix maps the plane z = 0 to itself without perspective.
bool CATransform3DIsAffine(const CATransform3D& t);
// The affine part (exact when CATransform3DIsAffine).
CGAffineTransform CATransform3DGetAffineTransform(const CATransform3D& t);

// A point of the plane z = 0 projected onto the screen through the matrix.
CGPoint CATransform3DProjectPoint(const CATransform3D& t, CGPoint p);
// The affine transform a flat layer of the given bounds is drawn with: exact for affine matrices,
// otherwise the one that agrees with the projection at three corners of the rectangle.
CGAffineTransform CATransform3DFlatten(const CATransform3D& t, const CGRect& rect);
