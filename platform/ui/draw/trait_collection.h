// The traits colours and fonts resolve against: light or dark appearance and the preferred text size.
#pragma once

#include <string>

enum class UIUserInterfaceStyle { Unspecified = 0, Light = 1, Dark = 2 };

// Posted by the screen when the preferred text size category changes.
inline constexpr const char* UIContentSizeCategoryDidChangeNotification = "UIContentSizeCategoryDidChangeNotification";

// Text size categories, smallest to largest; their values are their own names.
using UIContentSizeCategory = std::string;
inline constexpr const char* UIContentSizeCategoryExtraSmall = "UICTContentSizeCategoryXS";
inline constexpr const char* UIContentSizeCategorySmall = "UICTContentSizeCategoryS";
inline constexpr const char* UIContentSizeCategoryMedium = "UICTContentSizeCategoryM";
inline constexpr const char* UIContentSizeCategoryLarge = "UICTContentSizeCategoryL";
inline constexpr const char* UIContentSizeCategoryExtraLarge = "UICTContentSizeCategoryXL";
inline constexpr const char* UIContentSizeCategoryExtraExtraLarge = "UICTContentSizeCategoryXXL";
inline constexpr const char* UIContentSizeCategoryExtraExtraExtraLarge = "UICTContentSizeCategoryXXXL";
inline constexpr const char* UIContentSizeCategoryAccessibilityMedium = "UICTContentSizeCategoryAccessibilityM";
inline constexpr const char* UIContentSizeCategoryAccessibilityLarge = "UICTContentSizeCategoryAccessibilityL";
inline constexpr const char* UIContentSizeCategoryAccessibilityExtraLarge = "UICTContentSizeCategoryAccessibilityXL";
inline constexpr const char* UIContentSizeCategoryAccessibilityExtraExtraLarge =
    "UICTContentSizeCategoryAccessibilityXXL";
inline constexpr const char* UIContentSizeCategoryAccessibilityExtraExtraExtraLarge =
    "UICTContentSizeCategoryAccessibilityXXXL";

// A value: copies are independent. The current one is process-wide, set by the screen model on the
// main thread, and read when a dynamic colour or a preferred font is resolved.
struct UITraitCollection {
    UIUserInterfaceStyle userInterfaceStyle = UIUserInterfaceStyle::Light;
    UIContentSizeCategory preferredContentSizeCategory = UIContentSizeCategoryLarge;

    bool operator==(const UITraitCollection&) const = default;

    bool hasDifferentColorAppearanceComparedToTraitCollection(const UITraitCollection& other) const {
        return userInterfaceStyle != other.userInterfaceStyle;
    }

    static UITraitCollection currentTraitCollection();
    static void setCurrentTraitCollection(const UITraitCollection& traits);
};
