// The hand-back of a background session's events to the application delegate's stored handler.
#include "foundation/background_session_completion.h"

#include "platform/ui/app/ui_application.h"

std::shared_ptr<BackgroundSessionCompletion> applicationBackgroundSessionCompletion() {
    return std::dynamic_pointer_cast<BackgroundSessionCompletion>(UIApplication::sharedApplication()->delegate());
}

void callBackgroundSessionCompletionHandler() {
    auto holder = applicationBackgroundSessionCompletion();
    if (!holder) return;
    std::function<void()> handler = holder->backgroundSessionCompletionHandler();
    if (!handler) return;
    holder->setBackgroundSessionCompletionHandler(nullptr);
    handler();
}
