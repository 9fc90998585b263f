// The help overlay's steps on the camera screen.
#include "camera/screen/view_controller.h"

#include "foundation/global.h"
#include "foundation/lang.h"
#include "platform/runtime/format.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/control/ui_slider.h"
#include "ui/controls/anim_button.h"
#include "widgets/button/icon_button.h"

namespace {

std::string looked(const std::string& key) {
    auto lang = Global::shared()->lang();
    return lang ? lang->get(key) : key;
}

Value step(const std::shared_ptr<UIView>& sender, const std::string& text) {
    return Value::dictionary({{"sender", Value(sender)}, {"text", Value(text)}});
}

}  // namespace

Value ViewController::tutorialGetDictionary() {
    const std::string tapText =
        formatString("%@\n", {Value(looked("Take by Screen Tap"))}) +
        formatString("* %@", {Value(looked("Detect Lens Focus and Take Photo automatically at the Focused Moment"))});
    const std::string shotText =
        formatString("%@\n", {Value(looked("Take by Shutter"))}) +
        formatString("* %@\n", {Value(looked("Immediate Taking WITHOUT detecting Focused Moment"))}) +
        "* Screen Pan: Adjust Focus Position\n" + "* Second Finger: Exposure Position";
    auto steps = Value::array({
        step(btnMenu_, "App Menu"),
        step(btnSwap_, "Front/Back"),
        step(center_, tapText),
        step(slZoom_, "Zoom Slider"),
        step(btnAsset_, "Edit Photo"),
        step(btnOption_, "Camera Settings"),
        step(btnShot_, shotText),
        step(btnManual_, std::string("Manual Control\n") + "* Focus, Exposure, White Balance"),
        step(btnFilter_, "Image Filter"),
    });
    return Value::dictionary(
        {{"sender", Value(ui_)}, {"noCenterMessage", Value(true)}, {"arr", steps}});
}
