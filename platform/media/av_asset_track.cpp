#include "platform/media/av_asset_track.h"

#include <cmath>

int quarterTurnsOf(const CGAffineTransform& t) {
    auto near = [](double v, double w) { return std::abs(v - w) < 1e-6; };
    if (near(t.a, 0) && near(t.d, 0)) {
        if (near(t.b, 1) && near(t.c, -1)) return 1;
        if (near(t.b, -1) && near(t.c, 1)) return 3;
    }
    if (near(t.b, 0) && near(t.c, 0) && near(t.a, -1) && near(t.d, -1)) return 2;
    return 0;
}

CGAffineTransform transformForQuarterTurns(int turns, CGSize size) {
    switch (((turns % 4) + 4) % 4) {
        case 1: return {0, 1, -1, 0, size.height, 0};
        case 2: return {-1, 0, 0, -1, size.width, size.height};
        case 3: return {0, -1, 1, 0, 0, size.width};
        default: return {1, 0, 0, 1, 0, 0};
    }
}
