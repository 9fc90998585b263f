// The root of every pop-up and HUD: a plain object bound weakly to the top-most controller above
// the one it was made for, with the last show-or-hide command and the debounced relayout timer.
// Main-thread only.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/dispatch/timer_slots.h"
#include "platform/runtime/object.h"

class UIView;
class UIViewController;

// The command a pop-up was last given; the newest one decides where it ends.
enum class PopCommand : std::int64_t { None = 0, Show = 1, Hide = 2 };

class HudBase : public NSObject {
public:
    // A relayout runs this long after the last `scheduledLayout` call.
    static constexpr double kLayoutDelay = 0.7;

    // Resolves the owner: the top of a navigation stack, the custom tab container in place of
    // the screen it hosts, then up the parents to the controller without one.
    void init() override;

    std::shared_ptr<UIViewController> vc() const { return vc_.lock(); }
    // The owner's root view, or none when the owner has gone.
    std::shared_ptr<UIView> rootView() const;
    PopCommand lastCommand() const { return lastCommand_; }

    virtual void show() { lastCommand_ = PopCommand::Show; }
    virtual void hide() { lastCommand_ = PopCommand::Hide; }

    void scheduledLayout() { restartTimerLayout(); }
    void resetTimerLayout();
    void restartTimerLayout();
    void onTimerLayout();
    bool layoutPending() const { return timerLayout_.pending(); }

    virtual void recalcLayout() {}
    virtual void applyLayout(bool /*animated*/) {}
    virtual void scheduledInternalLayout() {}
    virtual void updateDarkMode() {}
    virtual void removeFromSuperview() {}

    std::string className() const override { return "HudBase"; }

protected:
    explicit HudBase(std::shared_ptr<UIViewController> vc);

private:
    std::shared_ptr<UIViewController> given_;  // held only until init resolves the owner
    std::weak_ptr<UIViewController> vc_;
    PopCommand lastCommand_ = PopCommand::None;
    OneShotTimer timerLayout_;
};
