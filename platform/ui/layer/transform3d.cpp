// Matrix arithmetic for layer transforms.
#include "platform/ui/layer/transform3d.h"

namespace {

using Matrix = CGFloat[4][4];

void toArray(const CATransform3D& t, Matrix m) {
    const CGFloat v[16] = {t.m11, t.m12, t.m13, t.m14, t.m21, t.m22, t.m23, t.m24,
                           t.m31, t.m32, t.m33, t.m34, t.m41, t.m42, t.m43, t.m44};
    for (int i = 0; i < 16; ++i) m[i / 4][i % 4] = v[i];
}

CATransform3D fromArray(const Matrix m) {
    return {m[0][0], m[0][1], m[0][2], m[0][3], m[1][0], m[1][1], m[1][2], m[1][3],
            m[2][0], m[2][1], m[2][2], m[2][3], m[3][0], m[3][1], m[3][2], m[3][3]};
}

}  // namespace

CATransform3D CATransform3DConcat(const CATransform3D& a, const CATransform3D& b) {
    Matrix ma, mb, r;
    toArray(a, ma);
    toArray(b, mb);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            CGFloat s = 0;
            for (int k = 0; k < 4; ++k) s += ma[i][k] * mb[k][j];
            r[i][j] = s;
        }
    return fromArray(r);
}

CATransform3D CATransform3DMakeTranslation(CGFloat tx, CGFloat ty, CGFloat tz) {
    CATransform3D t;
    t.m41 = tx;
    t.m42 = ty;
    t.m43 = tz;
    return t;
}

CATransform3D CATransform3DMakeScale(CGFloat sx, CGFloat sy, CGFloat sz) {
    CATransform3D t;
    t.m11 = sx;
    t.m22 = sy;
    t.m33 = sz;
    return t;
}

CATransform3D CATransform3DMakeRotation(CGFloat angle, CGFloat x, CGFloat y, CGFloat z) {
    CGFloat len = std::sqrt(x * x + y * y + z * z);
    if (len == 0) return CATransform3DIdentity;
    x /= len;
    y /= len;
    z /= len;
    CGFloat c = std::cos(angle), s = std::sin(angle), t = 1 - c;
    // Row-vector form of the rotation, so that about z it matches CGAffineTransformMakeRotation.
    CATransform3D r;
    r.m11 = t * x * x + c;
    r.m12 = t * x * y + s * z;
    r.m13 = t * x * z - s * y;
    r.m21 = t * x * y - s * z;
    r.m22 = t * y * y + c;
    r.m23 = t * y * z + s * x;
    r.m31 = t * x * z + s * y;
    r.m32 = t * y * z - s * x;
    r.m33 = t * z * z + c;
    return r;
}

CATransform3D CATransform3DTranslate(const CATransform3D& t, CGFloat tx, CGFloat ty, CGFloat tz) {
    return CATransform3DConcat(CATransform3DMakeTranslation(tx, ty, tz), t);
}

CATransform3D CATransform3DScale(const CATransform3D& t, CGFloat sx, CGFloat sy, CGFloat sz) {
    return CATransform3DConcat(CATransform3DMakeScale(sx, sy, sz), t);
}

CATransform3D CATransform3DRotate(const CATransform3D& t, CGFloat angle, CGFloat x, CGFloat y, CGFloat z) {
    return CATransform3DConcat(CATransform3DMakeRotation(angle, x, y, z), t);
}

CATransform3D CATransform3DInvert(const CATransform3D& t) {
    // Gauss-Jordan elimination with partial pivoting.
    Matrix a, inv;
    toArray(t, a);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) inv[i][j] = i == j ? 1 : 0;
    for (int col = 0; col < 4; ++col) {
        int pivot = col;
        for (int r = col + 1; r < 4; ++r)
            if (std::abs(a[r][col]) > std::abs(a[pivot][col])) pivot = r;
        if (std::abs(a[pivot][col]) < 1e-12) return t;
        for (int j = 0; j < 4; ++j) {
            std::swap(a[col][j], a[pivot][j]);
            std::swap(inv[col][j], inv[pivot][j]);
        }
        CGFloat d = a[col][col];
        for (int j = 0; j < 4; ++j) {
            a[col][j] /= d;
            inv[col][j] /= d;
        }
        for (int r = 0; r < 4; ++r) {
            if (r == col) continue;
            CGFloat f = a[r][col];
            if (f == 0) continue;
            for (int j = 0; j < 4; ++j) {
                a[r][j] -= f * a[col][j];
                inv[r][j] -= f * inv[col][j];
            }
        }
    }
    return fromArray(inv);
}

CATransform3D CATransform3DMakeAffineTransform(const CGAffineTransform& t) {
    CATransform3D r;
    r.m11 = t.a;
    r.m12 = t.b;
    r.m21 = t.c;
    r.m22 = t.d;
    r.m41 = t.tx;
    r.m42 = t.ty;
    return r;
}

bool CATransform3DIsAffine(const CATransform3D& t) {
    return t.m14 == 0 && t.m24 == 0 && t.m44 == 1;
}

CGAffineTransform CATransform3DGetAffineTransform(const CATransform3D& t) {
    return {t.m11, t.m12, t.m21, t.m22, t.m41, t.m42};
}

CGPoint CATransform3DProjectPoint(const CATransform3D& t, CGPoint p) {
    CGFloat x = p.x * t.m11 + p.y * t.m21 + t.m41;
    CGFloat y = p.x * t.m12 + p.y * t.m22 + t.m42;
    CGFloat w = p.x * t.m14 + p.y * t.m24 + t.m44;
    if (std::abs(w) < 1e-9) w = 1e-9;
    return {x / w, y / w};
}

CGAffineTransform CATransform3DFlatten(const CATransform3D& t, const CGRect& rect) {
    if (CATransform3DIsAffine(t)) return CATransform3DGetAffineTransform(t);
    CGRect r = CGRectStandardize(rect);
    CGFloat w = r.size.width > 0 ? r.size.width : 1, h = r.size.height > 0 ? r.size.height : 1;
    CGPoint o = r.origin;
    CGPoint p0 = CATransform3DProjectPoint(t, o);
    CGPoint p1 = CATransform3DProjectPoint(t, {o.x + w, o.y});
    CGPoint p2 = CATransform3DProjectPoint(t, {o.x, o.y + h});
    // Affine map sending o -> p0, o + (w, 0) -> p1, o + (0, h) -> p2.
    CGFloat a = (p1.x - p0.x) / w, b = (p1.y - p0.y) / w;
    CGFloat c = (p2.x - p0.x) / h, d = (p2.y - p0.y) / h;
    return {a, b, c, d, p0.x - a * o.x - c * o.y, p0.y - b * o.x - d * o.y};
}
