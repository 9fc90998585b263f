// Screen coordinates for accessibility.
#include "platform/ui/view/ui_accessibility_element.h"

#include "platform/ui/app/ui_window.h"

CGRect UIAccessibilityConvertFrameToScreenCoordinates(CGRect rect, const UIView& view) {
    CGRect inWindow = view.convertRectToView(rect, nullptr);
    if (auto window = view.window())
        inWindow.origin = {inWindow.origin.x + window->frame().origin.x, inWindow.origin.y + window->frame().origin.y};
    return inWindow;
}
