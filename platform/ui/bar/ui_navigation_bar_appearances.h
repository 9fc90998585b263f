// The looks that navigation bars made afterwards take for a compact height and at the edge of
// scrolled content. This host's bars are never compact and do not track scroll edges, so they
// keep drawing with the standard look; the values are kept for the application that sets them.
#pragma once

#include <optional>

#include "platform/ui/bar/ui_navigation_bar.h"

class UINavigationBarAppearances {
public:
    static std::optional<UINavigationBarAppearance>& compact() {
        static std::optional<UINavigationBarAppearance> appearance;
        return appearance;
    }
    static std::optional<UINavigationBarAppearance>& scrollEdge() {
        static std::optional<UINavigationBarAppearance> appearance;
        return appearance;
    }
};
