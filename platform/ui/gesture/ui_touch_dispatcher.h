// Touch delivery: host touches become UITouch objects that go, through hit testing, to the gesture
// recognisers of the view they began in and of its ancestors, and to the nearest view at or above
// it that handles touches itself. Recognisers are arbitrated: once one recognises, the others on
// the same touches fail (unless a delegate lets them run together), and the view's touches are
// cancelled when the recogniser asks for it. Main-thread only.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "platform/ui/app/host_event_sink.h"
#include "platform/ui/gesture/ui_touch.h"

class UIGestureRecognizer;
class UIView;
class UIWindow;

class UITouchDispatcher : public HostEventSink {
public:
    // The one dispatcher the host sends its input to.
    static const std::shared_ptr<UITouchDispatcher>& shared();

    void touchEvent(const HostTouchEvent& event) override;

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
    };
    enum class Stage { Began, Moved, Ended, Cancelled };

    void begin(const HostTouch& t, double timestamp);
    void deliver(Stage stage, const std::vector<long>& ids, const std::shared_ptr<UIEvent>& event);
    std::shared_ptr<UIEvent> makeEvent(double timestamp) const;

    std::map<long, Record> active_;
    double lastTapTime_ = -1e9;
    CGPoint lastTapPoint_;
    int lastTapCount_ = 0;
};
