// The type table: the number a caller passes picks the builder class.
#include "widgets/indicator/indicator_types.h"

std::shared_ptr<BusyIndicatorAnimation> makeIndicatorAnimation(std::uint64_t type) {
    switch (type) {
    case 32: return BusyIndicatorBallSpinFadeLoader::make();
    default: break;
    }
    if (type < 33) return BusyIndicatorAnimation::make();
    return nullptr;
}
