// A screen's overlays, its fly-in, its tutorial, and the custom tab container.
#include <algorithm>

#include "app/base/my_view_controller.h"
#include "app/containers/my_tab_bar_custom_controller.h"
#include "foundation/global.h"
#include "foundation/icon_glyph_image.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/controller/ui_navigation_controller.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/draw/context.h"
#include "platform/ui/draw/graphics.h"
#include "platform/ui/draw/image.h"
#include "platform/ui/text/attributed_string.h"
#include "tools/gallery/app_shell_gallery.h"
#include "tools/gallery/gallery.h"
#include "ui/popup/hud_view.h"
#include "ui/popup/pop_message_view.h"
#include "ui/popup/pop_text_view.h"

namespace {

// A screen with a few captioned controls and a three-step tutorial about them.
struct DemoScreen : MyViewController {
    KORVA_MAKE(DemoScreen)
    std::vector<std::shared_ptr<UIButton>> controls;

    void viewDidLoad() override {
        MyViewController::viewDidLoad();
        view()->setBackgroundColor(UIColor::colorWithRed(0.12, 0.16, 0.22, 1));
        const char* titles[] = {"Filter", "Timer", "Shutter"};
        for (int i = 0; i < 3; ++i) {
            auto button = UIButton::buttonWithType(UIButtonType::System);
            button->setTitle(std::string(titles[i]), UIControlStateNormal);
            button->setTintColor(UIColor::whiteColor());
            button->setBackgroundColor(UIColor::colorWithWhite(1, 0.15));
            button->setFrame(CGRectMake(30 + 120 * i, 600, 100, 44));
            view()->addSubview(button);
            controls.push_back(button);
        }
    }
    Value tutorialGetDictionary() override {
        Value arr = Value::array(
            {Value::dictionary({{"sender", Value(controls[0])}, {"text", Value("Pick a look for the picture")}}),
             Value::dictionary(
                 {{"sender", Value(controls[1])}, {"text", Value("Wait a few seconds\nbefore the picture is taken")}}),
             Value::dictionary({{"sender", Value(controls[2])}, {"text", Value("Take the picture")}})});
        return Value::dictionary({{"sender", Value(view())}, {"arr", arr}});
    }

protected:
    DemoScreen() = default;
};

// Lets time pass frame by frame, as a screen would show it: layout runs between the frames.
void play(GalleryPage& page, double seconds) {
    constexpr double kFrame = 1.0 / 30;
    for (double t = 0; t < seconds - 1e-9; t += kFrame) page.step(std::min(kFrame, seconds - t));
}

// A tab's picture when selected: its glyph on an orange disc.
std::shared_ptr<UIImage> selectedGlyph(int glyph, CGSize size) {
    UIGraphicsBeginImageContextWithOptions(size, false, 0);
    CGContext* c = UIGraphicsGetCurrentContext();
    c->setRGBFillColor(0.95, 0.55, 0.15, 1);
    c->fillEllipseInRect(CGRectMake(0, 0, size.width, size.height));
    if (auto image = iconGlyphImage(glyph, {size.width * 0.6, size.height * 0.6}))
        image->drawInRect(CGRectMake(size.width * 0.2, size.height * 0.2, size.width * 0.6, size.height * 0.6));
    auto out = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return out;
}

std::shared_ptr<DemoScreen> showDemo(GalleryPage& page) {
    auto window = page.newWindow();
    auto screen = DemoScreen::make();
    window->setRootViewController(UINavigationController::withRoot(screen));
    screen->setTitle("Camera");
    play(page, 0.5);
    return screen;
}

}  // namespace

void galleryAppShellScreens(GalleryPage& page) {
    auto screen = showDemo(page);
    screen->hudView()->showWithProgress();
    screen->hudView()->setProgress(0.4f);
    play(page, 0.5);
    page.shotScreen("screen-hud");
    screen->hudView()->hide();

    screen->tip()->setAttributedText(NSAttributedString::make("Hold to compare with the original"));
    screen->tip()->show(screen->controls[1], nullptr, nullptr);
    play(page, 0.5);
    page.shotScreen("screen-tip");
    screen->hideTip();

    screen->message()->setAttributedText(NSAttributedString::make("Saved to the library"));
    screen->message()->show(screen->view(), nullptr, nullptr);
    play(page, 0.5);
    page.shotScreen("screen-message");

    // The fly-in, half-way through its second.
    screen = showDemo(page);
    screen->anim_AddItem(screen->controls[2], iconGlyphImage(0xf030, {30, 30}));
    play(page, 0.2 + 0.5);
    page.shotScreen("fly-in-midway");

    auto window = page.newWindow();
    auto tabs = MyTabBarCustomController::make();
    window->setRootViewController(UINavigationController::withRoot(tabs));
    // As the storyboard would: a dark screen under the bar.
    tabs->view()->setBackgroundColor(UIColor::colorWithWhite(0.08, 1));
    tabs->setTitle("Library");
    const std::pair<int, const char*> items[] = {{0xf030, "Camera"}, {0xf03e, "Photos"}, {0xf013, "Settings"}};
    for (const auto& [glyph, title] : items) {
        auto child = DemoScreen::make();
        tabs->addWithVC(child, iconGlyphImage(glyph, {36, 36}), selectedGlyph(glyph, {36, 36}), title);
    }
    tabs->selectTab(1);
    play(page, 0.8);
    page.shotScreen("custom-tab-container");
}

void galleryAppShellTutorial(GalleryPage& page) {
    auto screen = showDemo(page);
    screen->tutorialStart();
    play(page, 1.2);
    page.shotScreen("tutorial-0-start");
    for (int step = 1; step <= 3; ++step) {
        screen->tutorialNext();
        play(page, 1.5);
        page.shotScreen("tutorial-" + std::to_string(step));
    }
    screen->tutorialNext();
    play(page, 0.8);
    page.shotScreen("tutorial-4-done");
    play(page, 1.5);
    page.shotScreen("tutorial-5-ended");
}
