// Handle drags, minimum size, snapping and the pixel rectangle of the crop.
#include "editor/crop/crop_geometry.h"

#include <cmath>
#include <numbers>

#include "platform/media/av_geometry.h"

CGRect constrainedRectWithRectBasisOfWidth(CGRect r, double ratio) {
    CGFloat w = r.size.width, h = r.size.height;
    h = w < h ? w / ratio : w * ratio;
    return {r.origin, {w, h}};
}

CGRect constrainedRectWithRectBasisOfHeight(CGRect r, double ratio) {
    CGFloat w = r.size.width, h = r.size.height;
    w = w < h ? h * ratio : h / ratio;
    return {r.origin, {w, h}};
}

namespace {

bool onLeft(CropHandle h) {
    return h == CropHandle::TopLeft || h == CropHandle::BottomLeft || h == CropHandle::Left;
}

bool onTop(CropHandle h) {
    return h == CropHandle::TopLeft || h == CropHandle::TopRight || h == CropHandle::Top;
}

}  // namespace

CGRect cropRectForDrag(const CropDrag& d) {
    const CGRect& r0 = d.initial;
    CGFloat x0 = r0.origin.x, y0 = r0.origin.y, w0 = r0.size.width, h0 = r0.size.height;
    CGFloat tx = d.translation.x, ty = d.translation.y;
    double q = d.fixedAspectRatio;
    // Corners keep the ratio on the axis that moved more (compared in single precision).
    auto byLarger = [&](CGRect r) {
        return std::abs(float(tx)) < std::abs(float(ty)) ? constrainedRectWithRectBasisOfHeight(r, q)
                                                         : constrainedRectWithRectBasisOfWidth(r, q);
    };
    CGRect r{};
    switch (d.handle) {
        case CropHandle::Top:
            r = {{x0, y0 + ty}, {w0, h0 - ty}};
            if (d.keepingAspectRatio) r = constrainedRectWithRectBasisOfHeight(r, q);
            break;
        case CropHandle::Left:
            r = {{x0 + tx, y0}, {w0 - tx, h0}};
            if (d.keepingAspectRatio) r = constrainedRectWithRectBasisOfWidth(r, q);
            break;
        case CropHandle::Bottom:
            r = {{x0, y0}, {w0, h0 + ty}};
            if (d.keepingAspectRatio) r = constrainedRectWithRectBasisOfHeight(r, q);
            break;
        case CropHandle::Right:
            r = {{x0, y0}, {w0 + tx, h0}};
            if (d.keepingAspectRatio) r = constrainedRectWithRectBasisOfWidth(r, q);
            break;
        case CropHandle::TopLeft: {
            r = {{x0 + tx, y0 + ty}, {w0 - tx, h0 - ty}};
            if (d.keepingAspectRatio) {
                CGRect c = byLarger(r);
                c.origin.x -= c.size.width - r.size.width;
                c.origin.y -= c.size.height - r.size.height;
                r = c;
            }
            break;
        }
        case CropHandle::TopRight:
            r = {{x0, y0 + ty}, {w0 + tx, h0 - ty}};
            if (d.keepingAspectRatio) r = byLarger(r);
            break;
        case CropHandle::BottomLeft: {
            r = {{x0 + tx, y0}, {w0 - tx, h0 + ty}};
            if (d.keepingAspectRatio) {
                CGRect c = byLarger(r);
                c.origin.x -= c.size.width - r.size.width;
                r = c;
            }
            break;
        }
        case CropHandle::BottomRight:
            r = {{x0, y0}, {w0 + tx, h0 + ty}};
            if (d.keepingAspectRatio) r = byLarger(r);
            break;
    }
    if (r.size.width < d.minimum.width) {
        if (onLeft(d.handle)) r.origin.x = CGRectGetMaxX(d.current) - d.minimum.width;
        r.size.width = d.minimum.width;
    }
    if (r.size.height < d.minimum.height) {
        if (onTop(d.handle)) r.origin.y = CGRectGetMaxY(d.current) - d.minimum.height;
        r.size.height = d.minimum.height;
    }
    return r;
}

double snappedRotationAngle(double radians) {
    float quarters = std::nearbyint(float(radians / (std::numbers::pi / 2)));
    return quarters * (std::numbers::pi / 2);
}

CGRect zoomedCropRectInPixels(CGRect c, CGSize picture, CGRect insetRect, bool tabletOrPortrait) {
    if (picture.width <= 0 || picture.height <= 0) return CGRectZero;
    CGRect a = AVMakeRectWithAspectRatioInsideRect(picture, insetRect);
    CGFloat factor = tabletOrPortrait ? a.size.width / picture.width : a.size.height / picture.height;
    if (!(factor > 0)) return CGRectZero;
    return {{c.origin.x / factor, c.origin.y / factor}, {c.size.width / factor, c.size.height / factor}};
}
