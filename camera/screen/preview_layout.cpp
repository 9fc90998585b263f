// The preview's placement between the bars and the fade's values.
#include "camera/screen/preview_layout.h"

#include <cmath>
#include <cstdlib>

PreviewInsets previewInsets(CGSize frame, const PreviewRoom& room) {
    PreviewInsets in;
    if (frame.height <= 0 || room.view.height <= 0) return in;
    const CGFloat r = frame.width / frame.height;
    const CGFloat vw = room.view.width, vh = room.view.height;
    const CGFloat vr = vw / vh;
    if (r > vr) {
        const CGFloat ph = std::floor(vw / r);
        const CGFloat free = vh - ph;
        const CGFloat bars = room.topBar + room.bottomBar + room.topGuide + room.bottomGuide;
        in.dt = room.topGuide;
        if (ph < vh - bars) in.dt = room.topGuide + room.topBar + (free - bars) / 3;
        in.db = -(free - in.dt);
    } else if (r < vr) {
        in.dl = std::floor((vw - r * vh) / 2);
        in.dr = -in.dl;
    }
    return in;
}

FrameKey FrameKey::of(CGRect r) {
    return {long(std::trunc(r.origin.x)), long(std::trunc(r.origin.y)), long(std::trunc(r.size.width)),
            long(std::trunc(r.size.height))};
}

bool FrameKey::closeTo(const FrameKey& o, long threshold) const {
    return std::labs(x - o.x) < threshold && std::labs(y - o.y) < threshold && std::labs(w - o.w) < threshold &&
           std::labs(h - o.h) < threshold;
}

FadeStep fadeStep(double t, bool fadingIn) {
    FadeStep s;
    if (t < 0 || t > 1) {
        s.done = true;
        return s;
    }
    s.alpha = CGFloat(fadingIn ? t : 1 - t);
    s.sliderAlpha = kSliderRestAlpha * s.alpha;
    s.controlsHidden = t < 0.5;
    return s;
}
