// The renderer's shortcuts: fills and dimmed pictures composited on the target's pixels by the
// kernels, and the opaque-cover test.
#include "platform/ui/layer/layer_shortcuts.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>
#include <optional>

#include "platform/image/cg_image.h"
#include "platform/ui/draw/cairo_support.h"
#include "platform/ui/layer/ca_backdrop_layer.h"
#include "platform/ui/layer/ca_gradient_layer.h"
#include "platform/ui/layer/ca_layer.h"
#include "platform/ui/layer/ca_replicator_layer.h"
#include "platform/ui/layer/ca_shape_layer.h"
#include "platform/ui/layer/ink_box.h"
#include "platform/ui/layer/layer_paint.h"
#include "platform/ui/layer/layer_shadow.h"
#include "platform/ui/layer/pixel_compose.h"
#include "platform/ui/layer/render_pass.h"

namespace {

using layer_paint::applyMatrix;
using layer_paint::gravityRect;
using layer_paint::invertible;
using layer_paint::setColor;
using layer_paint::visible;
using layer_paint::wholePixel;

// The pixels of the target `cr` draws on, for compositing on them directly: an ARGB32 image, its
// device offset (whole pixels) and the clip as whole-pixel boxes of its own pixels. None when the
// kernels do not run here, or the target or the clip is of another kind (Cairo then draws).
struct DirectTarget {
    cairo_surface_t* surface = nullptr;
    unsigned char* data = nullptr;
    int stride = 0;
    int offsetX = 0, offsetY = 0;  // a device pixel's column and row in the surface: add these
    std::vector<PixelBox> clip;
};

std::optional<DirectTarget> directTarget(cairo_t* cr, const RenderPass& pass) {
    if (!pixel_compose::available() || !pass.takesShortcuts()) return std::nullopt;
    // The target's clip boxes leave out a rounded clip still to be laid.
    if (pass.deferredRoundClip()) return std::nullopt;
    cairo_surface_t* target = cairo_get_group_target(cr);
    if (!target || cairo_surface_get_type(target) != CAIRO_SURFACE_TYPE_IMAGE ||
        cairo_image_surface_get_format(target) != CAIRO_FORMAT_ARGB32)
        return std::nullopt;
    double ox = 0, oy = 0;
    cairo_surface_get_device_offset(target, &ox, &oy);
    if (!wholePixel(ox) || !wholePixel(oy)) return std::nullopt;
    DirectTarget t;
    t.surface = target;
    t.offsetX = static_cast<int>(std::lround(ox));
    t.offsetY = static_cast<int>(std::lround(oy));
    const int w = cairo_image_surface_get_width(target), h = cairo_image_surface_get_height(target);
    cairo_matrix_t m;
    cairo_get_matrix(cr, &m);
    cairo_identity_matrix(cr);
    cairo_rectangle_list_t* clip = cairo_copy_clip_rectangle_list(cr);
    cairo_set_matrix(cr, &m);
    bool ok = clip->status == CAIRO_STATUS_SUCCESS;
    for (int i = 0; ok && i < clip->num_rectangles; ++i) {
        const cairo_rectangle_t& r = clip->rectangles[i];
        ok = wholePixel(r.x) && wholePixel(r.y) && wholePixel(r.x + r.width) && wholePixel(r.y + r.height);
        if (!ok) break;
        PixelBox box{std::max(0, int(std::lround(r.x)) + t.offsetX), std::max(0, int(std::lround(r.y)) + t.offsetY),
                     std::min(w, int(std::lround(r.x + r.width)) + t.offsetX),
                     std::min(h, int(std::lround(r.y + r.height)) + t.offsetY)};
        if (!box.empty()) t.clip.push_back(box);
    }
    cairo_rectangle_list_destroy(clip);
    if (!ok) return std::nullopt;
    cairo_surface_flush(target);
    t.data = cairo_image_surface_get_data(target);
    t.stride = cairo_image_surface_get_stride(target);
    if (!t.data) return std::nullopt;
    return t;
}

// A translucent layer that is nothing but a square fill on whole device pixels (a dimming
// backdrop) is composited without a group. The group would hold the fill's pixel everywhere
// inside and be painted through the opacity as an 8-bit mask (the opacity's 16 bits, top byte);
// that pixel is made once on a one-pixel surface, multiplied by the mask as the compositing
// would, and laid over the same pixels as a solid colour, which composites alike.
struct PlainFill {
    PixelBox device;           // whole device pixels
    std::uint32_t colour = 0;  // premultiplied; 0 when the layer draws nothing
};

// The fill such a layer lays, drawn on `cr` (its matrix already through the layer's transform);
// none when the layer is not one.
std::optional<PlainFill> plainFill(cairo_t* cr, const CALayer& layer, float opacity, const RenderPass& pass) {
    if (layer.mask() || !layer.sublayers().empty() || layer.backingStore() ||
        pass.shown(layer, &CALayerPresentation::contents, layer.contents()) ||
        dynamic_cast<const CAShapeLayer*>(&layer) || dynamic_cast<const CAGradientLayer*>(&layer) ||
        dynamic_cast<const CAReplicatorLayer*>(&layer) || dynamic_cast<const CABackdropLayer*>(&layer))
        return std::nullopt;
    if (pass.shown(layer, &CALayerPresentation::cornerRadius, layer.cornerRadius()) != 0) return std::nullopt;
    CGFloat borderWidth = pass.shown(layer, &CALayerPresentation::borderWidth, layer.borderWidth());
    if (borderWidth > 0 && pass.shown(layer, &CALayerPresentation::borderColor, layer.borderColor()).alpha > 0)
        return std::nullopt;
    auto background = pass.shown(layer, &CALayerPresentation::backgroundColor, layer.backgroundColor());
    if (!visible(background)) return PlainFill{};  // draws nothing
    cairo_matrix_t m;
    cairo_get_matrix(cr, &m);
    if (m.xy != 0 || m.yx != 0) return std::nullopt;
    const CGRect b = pass.shownBounds(layer);
    double x0 = b.origin.x, y0 = b.origin.y, x1 = CGRectGetMaxX(b), y1 = CGRectGetMaxY(b);
    cairo_user_to_device(cr, &x0, &y0);
    cairo_user_to_device(cr, &x1, &y1);
    if (!wholePixel(x0) || !wholePixel(y0) || !wholePixel(x1) || !wholePixel(y1)) return std::nullopt;
    cairo_surface_t* pixel = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    if (cairo_surface_status(pixel) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(pixel);
        return std::nullopt;
    }
    cairo_t* pc = cairo_create(pixel);
    cairo_rectangle(pc, 0, 0, 1, 1);
    setColor(pc, *background);
    cairo_fill(pc);
    cairo_destroy(pc);
    cairo_surface_flush(pixel);
    std::uint32_t value;
    std::memcpy(&value, cairo_image_surface_get_data(pixel), sizeof value);
    cairo_surface_destroy(pixel);
    const auto mask = static_cast<std::uint32_t>(static_cast<std::uint16_t>(double(opacity) * 65535.0 + 0.5) >> 8);
    auto through = [mask](std::uint32_t c) {
        std::uint32_t t = c * mask + 0x80;
        return (t + (t >> 8)) >> 8;
    };
    const std::uint32_t a = through(value >> 24), r = through((value >> 16) & 0xFF), g = through((value >> 8) & 0xFF),
                        bl = through(value & 0xFF);
    PlainFill fill;
    if (a == 0) return fill;
    fill.colour = (a << 24) | (r << 16) | (g << 8) | bl;
    fill.device = {int(std::lround(std::min(x0, x1))), int(std::lround(std::min(y0, y1))),
                   int(std::lround(std::max(x0, x1))), int(std::lround(std::max(y0, y1)))};
    return fill;
}

PixelBox intersect(const PixelBox& a, const PixelBox& b) {
    return {std::max(a.x0, b.x0), std::max(a.y0, b.y0), std::min(a.x1, b.x1), std::min(a.y1, b.y1)};
}

// A layer that draws nothing but its contents, a picture laid unscaled on whole device pixels
// through `toDevice` (the matrix renderLayer finds on its context): its pixels and where the
// picture's top left pixel goes in device space.
struct PlainPicture {
    std::shared_ptr<CGImage> image;
    int x = 0, y = 0;
};

std::optional<PlainPicture> plainPicture(const CALayer& layer, const cairo_matrix_t& toDevice, const RenderPass& pass) {
    // Asked of every sublayer: most have no picture, found before the costlier questions.
    if (!pass.shown(layer, &CALayerPresentation::contents, layer.contents())) return std::nullopt;
    float opacity = pass.shown(layer, &CALayerPresentation::opacity, layer.opacity());
    if (layer.isHidden() || opacity < 1 || layer.mask() || layer_shadow::hasShadow(layer, pass) ||
        !layer.sublayers().empty() || layer.backingStore() || dynamic_cast<const CAShapeLayer*>(&layer) ||
        dynamic_cast<const CAGradientLayer*>(&layer) || dynamic_cast<const CAReplicatorLayer*>(&layer) ||
        dynamic_cast<const CABackdropLayer*>(&layer))
        return std::nullopt;
    if (visible(pass.shown(layer, &CALayerPresentation::backgroundColor, layer.backgroundColor()))) return std::nullopt;
    CGFloat borderWidth = pass.shown(layer, &CALayerPresentation::borderWidth, layer.borderWidth());
    if (borderWidth > 0 && pass.shown(layer, &CALayerPresentation::borderColor, layer.borderColor()).alpha > 0)
        return std::nullopt;
    auto image = pass.shown(layer, &CALayerPresentation::contents, layer.contents());
    if (!image || image->layout() != CGImagePixelLayout::BGRA8Premultiplied || image->bytesPerRow() % 4 != 0 ||
        image->bytesPerRow() < std::size_t(image->width()) * 4)
        return std::nullopt;
    CGAffineTransform t = pass.transformToSuperlayer(layer);
    cairo_matrix_t own = toCairoMatrix(t), m;
    cairo_matrix_multiply(&m, &own, &toDevice);
    if (m.xy != 0 || m.yx != 0 || !(m.xx > 0) || !(m.yy > 0)) return std::nullopt;
    const CGRect b = pass.shownBounds(layer);
    const CGFloat scale = layer.contentsScale() > 0 ? layer.contentsScale() : 1;
    const CGRect rect = gravityRect(layer.contentsGravity(), b, {image->width() / scale, image->height() / scale});
    // Clipped to rounded bounds, or to bounds that cut the picture, it is not plain.
    if (layer.masksToBounds() && (pass.shown(layer, &CALayerPresentation::cornerRadius, layer.cornerRadius()) != 0 ||
                                  !CGRectContainsRect(b, rect)))
        return std::nullopt;
    const double x = m.xx * rect.origin.x + m.x0, y = m.yy * rect.origin.y + m.y0;
    if (!wholePixel(x) || !wholePixel(y) || std::abs(m.xx * rect.size.width - image->width()) > 1e-6 ||
        std::abs(m.yy * rect.size.height - image->height()) > 1e-6)
        return std::nullopt;
    return PlainPicture{image, int(std::lround(x)), int(std::lround(y))};
}

// Whether renderLayer draws nothing at all for the layer.
bool drawsNothing(const CALayer& layer, const RenderPass& pass) {
    float opacity = pass.shown(layer, &CALayerPresentation::opacity, layer.opacity());
    if (layer.isHidden() || !(opacity > 0)) return true;
    CGAffineTransform t = pass.transformToSuperlayer(layer);
    if (!invertible(t)) return true;
    if (layer.mask() || layer_shadow::hasShadow(layer, pass) || !layer.sublayers().empty() || layer.backingStore() ||
        pass.shown(layer, &CALayerPresentation::contents, layer.contents()) ||
        dynamic_cast<const CAShapeLayer*>(&layer) || dynamic_cast<const CAGradientLayer*>(&layer) ||
        dynamic_cast<const CAReplicatorLayer*>(&layer) || dynamic_cast<const CABackdropLayer*>(&layer))
        return false;
    if (visible(pass.shown(layer, &CALayerPresentation::backgroundColor, layer.backgroundColor()))) return false;
    CGFloat borderWidth = pass.shown(layer, &CALayerPresentation::borderWidth, layer.borderWidth());
    return !(borderWidth > 0 && pass.shown(layer, &CALayerPresentation::borderColor, layer.borderColor()).alpha > 0);
}

// One row of a clip box of a dimmed picture: the picture's pixels with the fill over them, the
// fill alone beside the picture.
void composeDimmedRow(const DirectTarget& target, const PixelBox& box, int y, const CGImage& image,
                      const PixelBox& pictureBox, const PixelBox& fillBox, std::uint32_t colour) {
    auto* row = reinterpret_cast<std::uint32_t*>(target.data + static_cast<std::size_t>(y) * target.stride);
    const bool pictureRow = y >= pictureBox.y0 && y < pictureBox.y1;
    const bool fillRow = y >= fillBox.y0 && y < fillBox.y1;
    const int pa = pictureRow ? std::max(box.x0, pictureBox.x0) : box.x1;
    const int pb = pictureRow ? std::min(box.x1, pictureBox.x1) : box.x1;
    const int fa = fillRow ? std::max(box.x0, fillBox.x0) : box.x1;
    const int fb = fillRow ? std::min(box.x1, fillBox.x1) : box.x1;
    int cuts[] = {box.x0,
                  box.x1,
                  std::clamp(pa, box.x0, box.x1),
                  std::clamp(pb, box.x0, box.x1),
                  std::clamp(fa, box.x0, box.x1),
                  std::clamp(fb, box.x0, box.x1)};
    std::sort(std::begin(cuts), std::end(cuts));
    for (int i = 0; i + 1 < 6; ++i) {
        const int u = cuts[i], v = cuts[i + 1];
        if (u >= v) continue;
        const bool inPicture = pa < pb && pa <= u && v <= pb, inFill = fa < fb && fa <= u && v <= fb;
        if (inPicture) {
            const auto* source =
                reinterpret_cast<const std::uint32_t*>(image.row(y - pictureBox.y0)) + (u - pictureBox.x0);
            pixel_compose::overPictureThenSolid(row + u, source, v - u, inFill ? colour : 0);
        } else if (inFill) {
            pixel_compose::overSolid(row + u, v - u, colour);
        }
    }
}

}  // namespace

namespace layer_shortcuts {

bool paintPlainFill(cairo_t* cr, const CALayer& layer, float opacity, const RenderPass& pass) {
    auto fill = plainFill(cr, layer, opacity, pass);
    if (!fill) return false;
    const std::uint32_t colour = fill->colour, a = colour >> 24;
    if (a == 0) return true;
    if (auto target = directTarget(cr, pass)) {
        const PixelBox own{fill->device.x0 + target->offsetX, fill->device.y0 + target->offsetY,
                           fill->device.x1 + target->offsetX, fill->device.y1 + target->offsetY};
        for (const auto& box : target->clip) {
            const auto area = intersect(box, own);
            if (area.empty()) continue;
            for (int y = area.y0; y < area.y1; ++y)
                pixel_compose::overSolid(
                    reinterpret_cast<std::uint32_t*>(target->data + static_cast<std::size_t>(y) * target->stride) +
                        area.x0,
                    area.x1 - area.x0, colour);
        }
        cairo_surface_mark_dirty(target->surface);
        return true;
    }
    const std::uint32_t r = (colour >> 16) & 0xFF, g = (colour >> 8) & 0xFF, bl = colour & 0xFF;
    CairoSave save(cr);
    cairo_identity_matrix(cr);
    cairo_rectangle(cr, fill->device.x0, fill->device.y0, fill->device.x1 - fill->device.x0,
                    fill->device.y1 - fill->device.y0);
    cairo_clip(cr);
    // Colours given unpremultiplied: each 16-bit channel comes out as the byte times 257.
    cairo_set_source_rgba(cr, double(r) / a, double(g) / a, double(bl) / a, a / 255.0);
    cairo_paint(cr);
    return true;
}

std::size_t drawDimmedPicture(cairo_t* cr, const std::vector<CALayer*>& order, std::size_t first,
                              const RenderPass& pass) {
    if (!pixel_compose::available() || !pass.takesShortcuts()) return 0;
    cairo_matrix_t ctm;
    cairo_get_matrix(cr, &ctm);
    auto picture = plainPicture(*order[first], ctm, pass);
    if (!picture) return 0;
    std::size_t next = first + 1;
    while (next < order.size() && drawsNothing(*order[next], pass)) ++next;
    if (next == order.size()) return 0;
    CALayer& dim = *order[next];
    const float opacity = std::clamp(pass.shown(dim, &CALayerPresentation::opacity, dim.opacity()), 0.0f, 1.0f);
    // Only a translucent layer without a shadow is drawn as a plain fill.
    if (!(opacity < 1) || layer_shadow::hasShadow(dim, pass)) return 0;
    std::optional<PlainFill> fill;
    {
        CairoSave save(cr);
        applyMatrix(cr, pass.transformToSuperlayer(dim));
        fill = plainFill(cr, dim, opacity, pass);
    }
    if (!fill) return 0;
    auto target = directTarget(cr, pass);
    if (!target) return 0;
    const CGImage& image = *picture->image;
    const int ox = target->offsetX, oy = target->offsetY;
    const PixelBox pictureBox{picture->x + ox, picture->y + oy, picture->x + ox + image.width(),
                              picture->y + oy + image.height()};
    PixelBox fillBox;
    if (fill->colour)
        fillBox = {fill->device.x0 + ox, fill->device.y0 + oy, fill->device.x1 + ox, fill->device.y1 + oy};
    for (const auto& box : target->clip)
        for (int y = box.y0; y < box.y1; ++y)
            composeDimmedRow(*target, box, y, image, pictureBox, fillBox, fill->colour);
    cairo_surface_mark_dirty(target->surface);
    return next - first + 1;
}

bool opaqueCover(const CALayer& layer, const cairo_matrix_t& toDevice, const CGRect& pixels, const CGRect& clip,
                 const RenderPass& pass) {
    float opacity = pass.shown(layer, &CALayerPresentation::opacity, layer.opacity());
    if (layer.isHidden() || opacity < 1) return false;
    // Groups (a mask, a shadow), copies and blended sublayers composite in ways this does not follow.
    if (layer.mask() || layer_shadow::hasShadow(layer, pass) || dynamic_cast<const CAReplicatorLayer*>(&layer) ||
        dynamic_cast<const CABackdropLayer*>(&layer))
        return false;
    CGAffineTransform t = pass.transformToSuperlayer(layer);
    if (!invertible(t)) return false;
    cairo_matrix_t own = toCairoMatrix(t), m;
    cairo_matrix_multiply(&m, &own, &toDevice);
    if (m.xy != 0 || m.yx != 0) return false;  // turned: its edges are not along the pixels
    const CGRect b = pass.shownBounds(layer);
    double x0 = b.origin.x, y0 = b.origin.y, x1 = CGRectGetMaxX(b), y1 = CGRectGetMaxY(b);
    cairo_matrix_transform_point(&m, &x0, &y0);
    cairo_matrix_transform_point(&m, &x1, &y1);
    const CGRect device = CGRectMake(std::min(x0, x1), std::min(y0, y1), std::abs(x1 - x0), std::abs(y1 - y0));
    const CGFloat radius = pass.shown(layer, &CALayerPresentation::cornerRadius, layer.cornerRadius());
    auto covers = [&pixels](const CGRect& r) {
        constexpr double e = 1e-6;
        return !CGRectIsNull(r) && r.origin.x <= pixels.origin.x + e && r.origin.y <= pixels.origin.y + e &&
               CGRectGetMaxX(r) >= CGRectGetMaxX(pixels) - e && CGRectGetMaxY(r) >= CGRectGetMaxY(pixels) - e;
    };
    auto background = pass.shown(layer, &CALayerPresentation::backgroundColor, layer.backgroundColor());
    if (background && !background->isPattern() && background->alpha >= 1 && radius == 0 &&
        covers(CGRectIntersection(device, clip)))
        return true;
    if (layer.masksToBounds() && radius != 0) return false;
    const CGRect inner = layer.masksToBounds() ? CGRectIntersection(clip, device) : clip;
    if (!covers(inner)) return false;
    for (const auto& sub : layer.sublayers())
        if (opaqueCover(*sub, m, pixels, inner, pass)) return true;
    return false;
}

}  // namespace layer_shortcuts
