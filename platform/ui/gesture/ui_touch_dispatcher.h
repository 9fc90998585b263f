// Touch delivery: host touches become UITouch objects that go, through hit testing, to the gesture
// recognisers of the view they began in and of its ancestors, and to the nearest view at or above
// it that handles touches itself. Recognisers are arbitrated: once one recognises, the others on
// the same touches fail (unless a delegate lets them run together), and the view's touches are
// cancelled when the recogniser asks for it.
//
// The status bar's strip lies over the application's views, and touches there go to the views
// like any other. A tap that begins and ends on the strip and that nothing beneath takes (no
// recogniser recognises it, and the view handling it does nothing with a tap there) is the status
// bar's own tap, which touch delivery hands back to the caller. Main-thread only.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <vector>

#include "platform/ui/app/host_event_sink.h"
#include "platform/ui/gesture/ui_touch.h"

class UIGestureRecognizer;
class UIView;
class UIWindow;

class UITouchDispatcher {
public:
    // The one dispatcher the host's input goes to.
    static const std::shared_ptr<UITouchDispatcher>& shared();

    // Delivers the touches; answers whether one of them was a tap on the status bar's strip that
    // nothing beneath took.
    bool touchEvent(const HostTouchEvent& event);

    // Asked by a recogniser that is about to begin or recognise.
    bool mayRecognize(const UIGestureRecognizer& recognizer) const;
    // Told once it has: the others on its touches fail or are cancelled.
    void didRecognize(UIGestureRecognizer& recognizer);

    // Touches now down.
    std::size_t activeTouchCount() const { return active_.size(); }
    // Cancels every touch in progress (the application went to the background, a test ended).
    void cancelAll();

    UITouchDispatcher() = default;

private:
    struct Record {
        std::shared_ptr<UITouch> touch;
        std::vector<std::shared_ptr<UIGestureRecognizer>> recognizers;
        std::weak_ptr<UIView> receiver;
        bool cancelledForView = false;
        bool beganOnStatusBar = false;
        bool recognized = false;  // a recogniser has taken it
    };
    enum class Stage { Began, Moved, Ended, Cancelled };

    void begin(const HostTouch& t, double timestamp);
    void deliver(Stage stage, const std::vector<long>& ids, const std::shared_ptr<UIEvent>& event);
    std::shared_ptr<UIEvent> makeEvent(double timestamp) const;
    // Whether anything beneath took a touch lifting now (its recognisers have seen the lift).
    bool takenBeneath(const Record& record) const;

    std::map<long, Record> active_;
    // Touches on the status bar's strip that began over no view that could take them.
    std::set<long> onBareStatusBar_;
    bool statusBarTapped_ = false;
    double lastTapTime_ = -1e9;
    CGPoint lastTapPoint_;
    int lastTapCount_ = 0;
};
