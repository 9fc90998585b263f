// The self-timer choices.
#include "camera/options/pop_option_timer_view.h"

#include <cmath>

#include "capture/string_custom_capture.h"
#include "foundation/global.h"
#include "foundation/numeric.h"
#include "ui/controls/status_button_path.h"

std::vector<PopOptionChoiceView::Choice> PopOptionTimerView::makeChoices() {
    btnTimerOFF_ = StatusButtonTimer::make();
    btnTimer3_ = StatusButtonTimer::make();
    btnTimer5_ = StatusButtonTimer::make();
    btnTimer10_ = StatusButtonTimer::make();
    auto choice = [](std::shared_ptr<StatusButtonTimer> button, CGFloat dx, float seconds) {
        return Choice{std::move(button), dx, fromTimerShot(seconds),
                      [seconds] { Global::shared()->setTimerShot(seconds); },
                      [seconds] { return std::fabs(Global::shared()->timerShot() - seconds) < kNearlyTolerance; }};
    };
    return {choice(btnTimerOFF_, -90, 0), choice(btnTimer3_, -30, 3), choice(btnTimer5_, 30, 5),
            choice(btnTimer10_, 90, 10)};
}

void PopOptionTimerView::notifyDelegate() {
    if (auto d = delegate()) d->onPopOptionTimerViewValueChanged(*this);
}
