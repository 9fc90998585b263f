// Controls in a window with synthetic touches, and an event log for their actions.
#pragma once

#include <string>
#include <vector>

#include "gesture_test_support.h"
#include "platform/ui/control/ui_control.h"
#include "platform/ui/draw/graphics.h"

inline std::string eventName(UIControlEvents e) {
    static const std::pair<UIControlEvents, const char*> names[] = {{UIControlEventTouchDown, "down"},
                                                                    {UIControlEventTouchDownRepeat, "downRepeat"},
                                                                    {UIControlEventTouchDragInside, "dragIn"},
                                                                    {UIControlEventTouchDragOutside, "dragOut"},
                                                                    {UIControlEventTouchDragEnter, "enter"},
                                                                    {UIControlEventTouchDragExit, "exit"},
                                                                    {UIControlEventTouchUpInside, "upIn"},
                                                                    {UIControlEventTouchUpOutside, "upOut"},
                                                                    {UIControlEventTouchCancel, "cancel"},
                                                                    {UIControlEventValueChanged, "value"},
                                                                    {UIControlEventPrimaryActionTriggered, "primary"}};
    for (const auto& [bit, name] : names)
        if (e == bit) return name;
    return "?";
}

// Logs every event of interest by name, one action per event kind.
inline void logEvents(UIControl& control, std::vector<std::string>& log,
                      std::vector<UIControlEvents> events = {UIControlEventTouchDown, UIControlEventTouchUpInside,
                                                             UIControlEventTouchUpOutside, UIControlEventTouchCancel,
                                                             UIControlEventValueChanged,
                                                             UIControlEventPrimaryActionTriggered}) {
    for (UIControlEvents e : events) control.addAction([&log, e](UIControl&) { log.push_back(eventName(e)); }, e);
}

inline std::shared_ptr<UIImage> solidImage(CGSize size, CGColor color = CGColor::rgb(1, 0, 0, 1)) {
    UIGraphicsBeginImageContext(size);
    UIGraphicsGetCurrentContext()->setFillColorWithColor(color);
    UIGraphicsGetCurrentContext()->fillRect({{0, 0}, size});
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}
