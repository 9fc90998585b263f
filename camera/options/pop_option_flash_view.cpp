// The flash choices.
#include "camera/options/pop_option_flash_view.h"

#include "capture/string_custom_capture.h"
#include "foundation/global.h"
#include "platform/ui/draw/image.h"
#include "ui/controls/status_button_image.h"

std::vector<PopOptionChoiceView::Choice> PopOptionFlashView::makeChoices() {
    auto image = UIImage::imageNamed("flash.png");
    btnFlashAUTO_ = StatusButtonImage::make(image);
    btnFlashON_ = StatusButtonImage::make(image);
    btnFlashOFF_ = StatusButtonImage::make(image);
    auto choice = [](std::shared_ptr<StatusButtonImage> button, CGFloat dx, FlashMode mode) {
        return Choice{std::move(button), dx, fromFlashMode(integerOf(mode)).value_or(""),
                      [mode] { Global::shared()->setFlashMode(mode); },
                      [mode] { return Global::shared()->flashMode() == mode; }};
    };
    return {choice(btnFlashAUTO_, -60, FlashMode::Auto), choice(btnFlashON_, 0, FlashMode::On),
            choice(btnFlashOFF_, 60, FlashMode::Off)};
}

void PopOptionFlashView::notifyDelegate() {
    if (auto d = delegate()) d->onPopOptionFlashViewValueChanged(*this);
}
