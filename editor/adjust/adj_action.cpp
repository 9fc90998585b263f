#include "editor/adjust/adj_action.h"

#include <array>

namespace {

using enum AdjAction;

// Index = editor kind - 1.
constexpr std::array<AdjAction, 26> kActionOfKind{
    Color,       // 1
    Slider,      // 2
    Rect,        // 3
    Switch,      // 4
    Stepper,     // 5
    Slider,      // 6
    None,        // 7: positions, grouped
    Vector,      // 8
    Vector,      // 9
    Slider,      // 10
    Vector,      // 11
    Vector,      // 12
    Vector,      // 13
    Input,       // 14
    Input,       // 15
    Input,       // 16
    Input,       // 17
    Input,       // 18
    Input,       // 19
    Transform,   // 20
    ColorArray,  // 21
    None,        // 22
    None,        // 23
    ColorSpace,  // 24
    Source,      // 25: nested filters are flattened before they get here
    String,      // 26
};

}  // namespace

AdjAction adjActionForKind(std::int64_t kind) {
    if (kind < 1 || kind > static_cast<std::int64_t>(kActionOfKind.size())) return None;
    return kActionOfKind[static_cast<std::size_t>(kind - 1)];
}

AdjAction adjActionFromNumber(std::int64_t act) {
    if (act < 0 || act > static_cast<std::int64_t>(Transform)) return None;
    return static_cast<AdjAction>(act);
}
