// The tutorial layer of the controller chain: a step-by-step tutorial over a screen, described by
// the screen as a dictionary. A transparent layer catches taps; each tap shows the next step as a
// bubble at its control with a centred counter, and the tutorial ends with "DONE!".
//
// States: Idle (no dictionary, no layer) -> Running (steps 0...n shown one per tap) -> Finishing
// (the tap after the last step; the stop is pending) -> Idle. A start or stop cancels a pending
// stop, so a stale stop never ends a later tutorial. Main thread only.
#pragma once

#include <memory>
#include <string>

#include "app/base/my_volume_controller.h"
#include "platform/dispatch/timer_slots.h"
#include "platform/runtime/value.h"

class PopMessageView;
class PopTextView;

class MyTutorialController : public MyVolumeController {
public:
    KORVA_MAKE(MyTutorialController)

    // After the tap that follows the last step.
    static constexpr double kStopDelay = 2.0;
    static constexpr double kStopDelayNoCenterMessage = 0.5;

    enum class TutorialState { Idle, Running, Finishing };

    // The screen's tutorial: "sender" (view for centred messages), "arr" (steps with "sender" and
    // "text"), "noCenterMessage", "noNumberMessage". None: nothing to show.
    virtual Value tutorialGetDictionary() { return {}; }

    void tutorialStart();
    void tutorialNext();
    void tutorialStop();
    bool tutorialActive() const { return !tutorialDict_.isNull(); }
    TutorialState tutorialState() const;
    long currentIndex() const { return currentIndex_; }
    const std::shared_ptr<UIView>& tutorialBg() const { return tutorialBg_; }
    // The centred message and the bubble, made on first access and dropped once hidden.
    const std::shared_ptr<PopMessageView>& tutorialMsg();
    const std::shared_ptr<PopTextView>& tutorialText();
    bool hasTutorialMsg() const { return tutorialMsg_ != nullptr; }
    bool hasTutorialText() const { return tutorialText_ != nullptr; }

    // The two presenters: a message centred over the dictionary's "sender", and a bubble at a control.
    virtual void showCenterMessage(const std::string& text);
    virtual void showTextMessage(const std::shared_ptr<UIView>& sender, const std::string& text);

    void viewWillDisappear(bool animated) override;
    void updateDarkMode() override;
    void didRotateOrResizeInterface() override;

    std::string className() const override { return "MyTutorialController"; }

protected:
    MyTutorialController() = default;
    // The final "DONE!" when there is no view for centred messages.
    virtual void showDoneToast(const std::string& text);
    // Hides and drops the bubble, and with `message` the centred message too.
    virtual void hideTutorialViews(bool message);
    std::shared_ptr<UIView> centerSender() const;

private:
    void makeLayer();
    void dropLayer();
    // Hides the pop-up in the slot and drops it once hidden.
    template <class Pop>
    void hideAndDrop(std::shared_ptr<Pop> MyTutorialController::*slot);

    Value tutorialDict_;
    long currentIndex_ = 0;
    std::shared_ptr<UIView> tutorialBg_;
    std::shared_ptr<PopMessageView> tutorialMsg_;
    std::shared_ptr<PopTextView> tutorialText_;
    OneShotTimer pendingStop_;
};
