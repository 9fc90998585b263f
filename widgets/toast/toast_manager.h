// Where toasts go, and the process-wide toast defaults.
#pragma once

#include <memory>
#include <string>
#include <variant>

#include "platform/runtime/geometry.h"
#include "widgets/toast/toast_style.h"

inline constexpr const char* kToastPositionTop = "ToastPositionTop";
inline constexpr const char* kToastPositionCenter = "ToastPositionCenter";
inline constexpr const char* kToastPositionBottom = "ToastPositionBottom";

// One of the three position names (compared without regard to case), a point that gives the
// toast's centre, or anything else (none here), which places it at the bottom.
struct ToastPosition {
    std::variant<std::monostate, std::string, CGPoint> value;
    static ToastPosition named(std::string name) { return {std::move(name)}; }
    static ToastPosition point(CGPoint p) { return {p}; }
    bool operator==(const ToastPosition&) const = default;
};

class ToastManager {
public:
    static std::shared_ptr<ToastStyle> sharedStyle();
    static void setSharedStyle(std::shared_ptr<ToastStyle> style);
    static bool isTapToDismissEnabled();
    static void setTapToDismissEnabled(bool enabled);
    static bool isQueueEnabled();
    static void setQueueEnabled(bool enabled);
    static double defaultDuration();
    static void setDefaultDuration(double seconds);
    static ToastPosition defaultPosition();
    // Only a name or a point is taken; anything else leaves the default as it is.
    static void setDefaultPosition(ToastPosition position);
    // Back to the defaults (tests).
    static void reset();
};
