#include "widgets/flat/flat_random.h"

#include <algorithm>

#include "platform/runtime/random.h"
#include "platform/storage/user_defaults.h"
#include "widgets/flat/flat_palette.h"

namespace {
// Draws in [0, count) until the index differs from the remembered one (a remembered 0 blocks
// nothing), then remembers it.
long drawRemembered(long count) {
    auto defaults = NSUserDefaults::standardUserDefaults();
    long i = generateRandomNumberWithMax(count);
    if (defaults->integerForKey(kPreviousRandomNumberKey) != 0)
        while (i == defaults->integerForKey(kPreviousRandomNumberKey)) i = generateRandomNumberWithMax(count);
    // The program's own number: kept in memory while a defaults file the start could not read is held back.
    defaults->fitInteger(i, kPreviousRandomNumberKey);
    defaults->synchronize();
    return i;
}

bool containsColor(const std::vector<std::shared_ptr<UIColor>>& colors, const UIColor& color) {
    return std::any_of(colors.begin(), colors.end(), [&](const auto& c) { return c && c->isEqual(color); });
}
}  // namespace

long generateRandomNumberWithMax(long max) {
    return arc4random_uniform(static_cast<std::uint32_t>(max));
}

std::shared_ptr<UIColor> randomFlatColor() {
    return flatColorAtIndex(static_cast<std::size_t>(drawRemembered(kFlatColorCount)));
}

std::shared_ptr<UIColor> colorWithRandomColorInArray(const std::vector<std::shared_ptr<UIColor>>& colors) {
    if (colors.empty()) return nullptr;
    return colors[arc4random() % colors.size()];
}

std::shared_ptr<UIColor> colorWithRandomFlatColorExcludingColorsInArray(
    const std::vector<std::shared_ptr<UIColor>>& colors) {
    auto palette = flatColors();
    bool anyLeft =
        std::any_of(palette.begin(), palette.end(), [&](const auto& c) { return !containsColor(colors, *c); });
    if (!anyLeft) return nullptr;
    for (;;) {
        auto color = randomFlatColor();
        if (!containsColor(colors, *color)) return color;
    }
}

std::shared_ptr<UIColor> colorWithRandomFlatColorOfShadeStyle(UIShadeStyle style, CGFloat alpha) {
    auto i = static_cast<std::size_t>(drawRemembered(kFlatColorCount / 2));
    std::size_t index = style == UIShadeStyle::Dark ? 2 * i + 1 : 2 * i;
    return flatColorAtIndex(index)->colorWithAlphaComponent(alpha);
}
