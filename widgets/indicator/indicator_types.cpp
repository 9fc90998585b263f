// The type table: the number a caller passes picks the builder class.
#include "widgets/indicator/indicator_types.h"

std::shared_ptr<BusyIndicatorAnimation> makeIndicatorAnimation(std::uint64_t type) {
    switch (type) {
        case 0: return BusyIndicatorNineDotsAnimation::make();
        case 1: return BusyIndicatorTriplePulseAnimation::make();
        case 2: return BusyIndicatorFiveDotsAnimation::make();
        case 3: return BusyIndicatorRotatingSquaresAnimation::make();
        case 4: return BusyIndicatorDoubleBounceAnimation::make();
        case 5: return BusyIndicatorTwoDotsAnimation::make();
        case 6: return BusyIndicatorThreeDotsAnimation::make();
        case 7: return BusyIndicatorBallPulseAnimation::make();
        case 8: return BusyIndicatorBallClipRotateAnimation::make();
        case 9: return BusyIndicatorBallClipRotatePulseAnimation::make();
        case 10: return BusyIndicatorBallClipRotateMultipleAnimation::make();
        case 11: return BusyIndicatorBallRotateAnimation::make();
        case 12: return BusyIndicatorBallZigZagAnimation::make();
        case 13: return BusyIndicatorBallZigZagDeflectAnimation::make();
        case 14: return BusyIndicatorBallTrianglePathAnimation::make();
        case 15: return BusyIndicatorBallScaleAnimation::make();
        case 16: return BusyIndicatorLineScaleAnimation::make();
        case 17: return BusyIndicatorLineScalePartyAnimation::make();
        case 18: return BusyIndicatorBallScaleMultipleAnimation::make();
        case 19: return BusyIndicatorBallPulseSyncAnimation::make();
        case 20: return BusyIndicatorBallBeatAnimation::make();
        case 21: return BusyIndicatorLineScalePulseOutAnimation::make();
        case 22: return BusyIndicatorLineScalePulseOutRapidAnimation::make();
        case 23: return BusyIndicatorBallScaleRippleAnimation::make();
        case 24: return BusyIndicatorBallScaleRippleMultipleAnimation::make();
        case 25: return BusyIndicatorTriangleSkewSpinAnimation::make();
        case 26: return BusyIndicatorBallGridBeatAnimation::make();
        case 27: return BusyIndicatorBallGridPulseAnimation::make();
        case 28: return BusyIndicatorRotatingSandglassAnimation::make();
        case 29: return BusyIndicatorRotatingTrigonAnimation::make();
        case 30: return BusyIndicatorTripleRingsAnimation::make();
        case 31: return BusyIndicatorCookieTerminatorAnimation::make();
        case 32: return BusyIndicatorBallSpinFadeLoader::make();
        default: return nullptr;
    }
}
