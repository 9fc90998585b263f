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
        step(v_.btnMenu, "App Menu"),
        step(v_.btnSwap, "Front/Back"),
        step(v_.center, tapText),
        step(v_.slZoom, "Zoom Slider"),
        step(v_.btnAsset, "Edit Photo"),
        step(v_.btnOption, "Camera Settings"),
        step(v_.btnShot, shotText),
        step(v_.btnManual, std::string("Manual Control\n") + "* Focus, Exposure, White Balance"),
        step(v_.btnFilter, "Image Filter"),
    });
    return Value::dictionary({{"sender", Value(v_.ui)}, {"noCenterMessage", Value(true)}, {"arr", steps}});
}
