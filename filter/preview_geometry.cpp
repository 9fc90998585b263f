// Aspect fit and fill of an image extent in a drawable.
#include "filter/preview_geometry.h"

PreviewRects previewRects(CGRect e, CGFloat W, CGFloat H, UIViewContentMode mode) {
    CGFloat w = e.size.width, h = e.size.height;
    CGFloat a = w / h, A = W / H;
    CGRect full = CGRectMake(0, 0, W, H);
    switch (mode) {
        case UIViewContentMode::ScaleAspectFit:
            if (a > A) return {CGRectMake(0, (H - W / a) / 2, W, W / a), e};
            if (a < A) return {CGRectMake((W - H * a) / 2, 0, H * a, H), e};
            return {full, e};
        case UIViewContentMode::ScaleAspectFill:
            if (a < A) return {full, CGRectMake(e.origin.x, e.origin.y + (h - w / A) / 2, w, w / A)};
            if (a > A) return {full, CGRectMake(e.origin.x + (w - A * h) / 2, e.origin.y, A * h, h)};
            return {full, e};
        default: return {full, e};
    }
}
