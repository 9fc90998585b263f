// Bar button items and image views: a title font for every state, items drawn from the icon
// font, and an image view that answers the drawable-surface questions a GL view is asked.
// Main-thread only.
#pragma once

#include <memory>

#include "platform/ui/bar/ui_bar_button_item.h"

class UIFont;
class UIImageView;
class NSObject;

// The title font for the normal, disabled, selected and highlighted states.
void setFont(UIBarButtonItem& item, const std::shared_ptr<UIFont>& font);
// Add, action, search and refresh drawn from the icon font; every other system item as the
// platform draws it.
std::shared_ptr<UIBarButtonItem> initWithBarButtonSystemItem1(UIBarButtonSystemItem item,
                                                              UIBarButtonItem::Action action);
// The icon-font code point that stands for a system item, if any.
std::optional<std::uint16_t> barButtonGlyph(UIBarButtonSystemItem item);

// The frame's size in whole points (truncated).
long drawableWidth(const UIImageView& view);
long drawableHeight(const UIImageView& view);
// A surface with no drawing context of its own; binding and display do nothing.
inline std::shared_ptr<NSObject> context(const UIImageView&) {
    return nullptr;
}
inline void bindDrawable(UIImageView&) {}
inline void display(UIImageView&) {}
// The application's logo at 160 x 40 points.
std::shared_ptr<UIImageView> logoNav();
