// The pop-up framework and the controls: anchored, centred, titled and stock pop-ups over a
// photograph, the grow over time, the HUDs, and the toolkit's controls in their states.
#include <string>

#include "foundation/global.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/controller/ui_storyboard.h"
#include "platform/ui/controller/ui_view_controller.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/draw/path.h"
#include "platform/ui/text/attributed_string.h"
#include "settings/settings_controllers.h"
#include "tools/gallery/gallery.h"
#include "tools/gallery/widget_gallery_support.h"
#include "ui/controls/anim_button.h"
#include "ui/controls/check_control.h"
#include "ui/controls/gradient_lr_view.h"
#include "ui/controls/label_status_button.h"
#include "ui/controls/loading_views.h"
#include "ui/controls/menu_label_view.h"
#include "ui/controls/message_view.h"
#include "ui/controls/status_button_image.h"
#include "ui/controls/status_button_path.h"
#include "ui/controls/stepper_view.h"
#include "ui/controls/tab_bar_button.h"
#include "ui/popup/hud_det_view.h"
#include "ui/popup/hud_view.h"
#include "ui/popup/pop_confirm_view.h"
#include "ui/popup/pop_left_view.h"
#include "ui/popup/pop_menu_view.h"
#include "ui/popup/pop_message_view.h"
#include "ui/popup/pop_search_view.h"
#include "ui/popup/pop_text_view.h"
#include "ui/popup/pop_title_base.h"
#include "ui/theme/font.h"
#include "ui/theme/image_custom.h"
#include "ui/ui_services.h"
#include "widgets/scroll/scroll_label.h"

namespace {

struct Titled : PopTitleBase {
    KORVA_MAKE(Titled)
    explicit Titled(std::shared_ptr<UIViewController> vc) : PopTitleBase(std::move(vc)) {}
};

// A screen over a photograph, with a button to anchor pop-ups on.
struct Scene {
    std::shared_ptr<UIViewController> vc = UIViewController::make();
    std::shared_ptr<UIView> sender = UIView::make();
    explicit Scene(GalleryPage& page, CGRect senderFrame) {
        registerUIServices();
        auto window = page.newWindow();
        window->setRootViewController(vc);
        vc->view()->addSubview(galleryPhotoBackdrop(vc->view()->bounds()));
        sender->setFrame(senderFrame);
        sender->setBackgroundColor(UIColor::orangeColor());
        vc->view()->addSubview(sender);
        page.step(0.05);
    }
    CGRect bounds() const { return vc->view()->bounds(); }
};

std::shared_ptr<NSAttributedString> text(const std::string& s) {
    return NSAttributedString::make(s);
}

struct MenuTitles : PopMenuViewDelegate {
    std::vector<std::string> titles;
    std::vector<std::string> onPopMenuViewGetLabelArray(PopMenuView&) override { return titles; }
    void onPopMenuViewTap(PopMenuView&, UIButton&, const std::string&) override {}
};

// The drawer as the program has it: holding the side menu, which it finds in the storyboard of
// the screen it is shown on (the camera screen's, in the program).
void showDrawer(GalleryPage& page, CGRect senderFrame, const std::string& name) {
    UIStoryboard::resetMainStoryboard();
    auto storyboard = UIStoryboard::mainStoryboard();
    registerSettingsControllers(storyboard);
    storyboard->registerController("GalleryCamera", [] { return UIViewController::make(); });
    auto camera = storyboard->instantiateViewControllerWithIdentifier("GalleryCamera");
    page.newWindow()->setRootViewController(camera);
    camera->view()->addSubview(galleryPhotoBackdrop(camera->view()->bounds()));
    auto sender = UIView::make(senderFrame);
    sender->setBackgroundColor(UIColor::orangeColor());
    camera->view()->addSubview(sender);
    page.step(0.05);
    auto drawer = PopLeftView::make(camera);
    drawer->show(sender);
    page.step(0.5);
    page.shotScreen(name);
    drawer->hide(nullptr);
    page.step(0.5);
    UIStoryboard::resetMainStoryboard();
}

void popups(GalleryPage& page) {
    {
        Scene scene(page, {{40, 140}, {60, 40}});
        auto pop = Titled::make(scene.vc);
        pop->setSize({260, 160});
        pop->setBgColor(UIColor::colorWithWhite(0.15, 1));
        pop->showLeft("Back", false);
        pop->showRight("Reset", true);
        pop->show(scene.sender, std::string("Exposure"), nullptr);
        page.step(0.1);
        page.shotScreen("titled-grow-0.1");
        page.step(0.1);
        page.shotScreen("titled-grow-0.2");
        page.step(0.1);
        page.shotScreen("titled-grow-0.3-mid-slide");
        page.step(0.5);
        page.shotScreen("titled-below-sender");
    }
    {
        const CGFloat h = page.host().screen()->bounds().size.height;
        Scene scene(page, {{200, h - 160}, {60, 40}});
        auto tip = PopTextView::make(scene.vc);
        tip->setAttributedText(text("Tap to choose another filter"));
        tip->show(scene.sender, nullptr, nullptr);
        page.step(0.5);
        page.shotScreen("text-bubble-above-sender");
    }
    {
        Scene scene(page, {{40, 140}, {60, 40}});
        auto message = PopMessageView::make(scene.vc);
        message->setAttributedText(text("Saved to the photo library"));
        message->showAndDelayedHide(
            std::shared_ptr<NSObject>{}, 2, [] {}, nullptr);
        page.step(0.5);
        page.shotScreen("message-centred");
    }
    {
        Scene scene(page, {{40, 140}, {60, 40}});
        auto confirm = PopConfirmView::make(scene.vc);
        confirm->setAttributedText(text("Delete this photo?"));
        confirm->show(
            std::shared_ptr<NSObject>{}, 5, [] {}, [] {});
        page.step(1.4);
        page.shotScreen("confirm-countdown");
    }
    {
        Scene scene(page, {{40, 140}, {60, 40}});
        auto menu = PopMenuView::make(scene.vc);
        auto titles = std::make_shared<MenuTitles>();
        titles->titles = {"Normal", "Multiply", "Screen"};
        menu->setDelegate(titles);
        menu->setTitle("Blend mode");
        menu->showRight("Reset");
        menu->show(scene.sender, nullptr);
        page.step(0.5);
        page.shotScreen("menu");
        menu->hide(nullptr);
        page.step(0.5);
        // A row longer than the screen scrolls: the last entry chosen, with the band at the left.
        titles->titles = {"Normal", "Multiply", "Screen", "Overlay", "Darken", "Lighten"};
        menu->show(scene.sender, nullptr);
        page.step(0.5);
        menu->onLabel(*menu->buttons().back());
        page.step(0.5);
        page.shotScreen("menu-scrolled");
        menu->hide(nullptr);
        page.step(0.5);
        auto search = PopSearchView::make(scene.vc);
        search->show(scene.sender, "sepia", "Find a filter", nullptr);
        page.step(0.5);
        page.shotScreen("search");
    }
    showDrawer(page, {{10, 60}, {44, 44}}, "drawer");
    {
        Scene scene(page, {{150, 300}, {80, 40}});
        auto hud = HudView::make(scene.vc);
        hud->showWithProgress();
        hud->setProgress(0.4f);
        page.step(0.5);
        page.shotScreen("hud-progress");
        hud->hide();
        auto act = HudAct::make(scene.vc);
        act->show(scene.sender);
        page.step(0.3);
        page.shotScreen("hud-act-over-button");
        act->hide();
        auto det = HudDetView::make(scene.vc);
        det->show();
        det->setProgress(0.25f);
        page.step(0.5);
        page.shotScreen("hud-det-25");
    }
}

std::shared_ptr<UILabel> caption(const std::string& s, CGRect frame) {
    auto label = UILabel::make(frame);
    label->setText(s);
    label->setFont(UIFont::systemFontOfSize(11));
    label->setTextColor(UIColor::whiteColor());
    return label;
}

struct Labels : MenuLabelViewDelegate {
    std::vector<std::string> onMenuLabelViewGetArray(MenuLabelView&) override {
        return {"Classic", "Portrait", "Vivid", "Mono", "Warm", "Cool", "Film", "Faded", "Dramatic"};
    }
    void onMenuLabelViewLabelTap(MenuLabelView&, long, UIButton&) override {}
};
struct Seven : StepperViewDelegate {
    float onStepperViewGetValue(StepperView&) override { return 7.25f; }
    void onStepperViewChanged(StepperView&, float) override {}
};

void controls(GalleryPage& page) {
    registerUIServices();
    auto root = galleryControllerRoot(page, UIColor::colorWithWhite(0.2, 1));
    auto font = Global::shared()->font();
    CGFloat y = 60;
    // Status buttons: the dial at 0, 0.5 and 1, a path, an image, a selected caption and the tag.
    for (double p : {0.0, 0.5, 1.0}) {
        auto timer = StatusButtonTimer::make();
        timer->setFrame({{16 + p * 140, y}, {60, 40}});
        timer->setPercent(p);
        timer->setTitle(p == 0 ? "0" : p == 1 ? "1" : "0.5");
        root->addSubview(timer);
    }
    CGPath grid;
    for (CGFloat d : {-3.0, 3.0}) {
        grid.moveToPoint({-9, d});
        grid.addLineToPoint({9, d});
        grid.moveToPoint({d, -9});
        grid.addLineToPoint({d, 9});
    }
    auto path = StatusButtonPath::make(grid, CGPoint{10, 10}, CGSize{20, 20});
    path->setFrame({{226, y}, {60, 40}});
    path->setTitle("GRID");
    path->setSelected(true);
    root->addSubview(path);
    auto image = StatusButtonImage::make(imageColor(UIColor::whiteColor(), {20, 20}));
    image->setFrame({{296, y}, {60, 40}});
    image->setTitle("OFF");
    root->addSubview(image);
    y += 60;
    auto tag = LabelStatusButton::make(imageColor(UIColor::orangeColor(), {15, 15}));
    tag->setFrame({{16, y}, {200, 30}});
    tag->setBackgroundColor(UIColor::whiteColor());
    tag->setTitle("Sepia tone");
    tag->label()->setTextColor(UIColor::blackColor());
    root->addSubview(tag);
    y += 50;

    // Animated buttons: off, on, mid-cross-fade and with a badge.
    auto off = imageColor(UIColor::darkGrayColor(), {44, 44});
    auto on = imageColor(UIColor::redColor(), {44, 44});
    std::vector<std::shared_ptr<AnimButton>> anim;
    for (int i = 0; i < 4; ++i) {
        auto b = AnimButton::make();
        b->setFrame({{16 + i * 80.0, y}, {44, 44}});
        b->setImages(off, on);
        root->addSubview(b);
        anim.push_back(b);
    }
    page.step(0.5);
    anim[1]->setOn(true, nullptr);
    anim[3]->setBadgeValue("12");
    anim[2]->setOn(true, [](AnimButton&) {});
    root->addSubview(caption("off          on          fading       badge", {{16, y + 50}, {340, 14}}));
    y += 80;

    auto stepper = StepperView::make();
    auto seven = std::make_shared<Seven>();
    stepper->setDelegate(seven);
    stepper->setFrame({{16, y}, {170, 45}});
    stepper->update();
    root->addSubview(stepper);
    y += 60;

    auto menu =
        MenuLabelView::make(font->filterMenuNormal(), UIColor::colorWithRed(89 / 255.0, 169 / 255.0, 233 / 255.0, 1),
                            UIColor::clearColor(), UIColor::whiteColor());
    auto labels = std::make_shared<Labels>();
    menu->setDelegate(labels);
    menu->setFrame({{0, y}, {root->bounds().size.width, 40}});
    root->addSubview(menu);
    y += 60;

    // The tab button, the radio and check boxes, the loading views and a flashed message.
    auto tab = TabBarButton::make(CGRect{{16, y}, {80, 49}});
    tab->image()->setImages(off, on);
    tab->text()->setTitle(std::string("Camera"), UIControlStateNormal);
    root->addSubview(tab);
    auto radio = MyRadioButton::make(CGRect{{110, y}, {120, 44}});
    radio->setText("Auto");
    radio->setBackgroundColor(UIColor::whiteColor());
    radio->setChecked(true);
    root->addSubview(radio);
    auto box = LabeledCheckBox::make(CGRect{{240, y}, {130, 44}});
    box->setText("Grid");
    box->setBackgroundColor(UIColor::whiteColor());
    root->addSubview(box);
    y += 70;
    auto loading = LoadingProgView::make();
    loading->setFrame({{16, y}, {120, 90}});
    loading->setBackgroundColor(UIColor::whiteColor());
    loading->setDetailText("3 of 10");
    loading->setProgress(0.3f);
    root->addSubview(loading);
    auto slot = LoadingImageView::make(CGRect{{150, y}, {90, 90}});
    slot->set(nullptr);
    root->addSubview(slot);
    auto flash = MessageView::make(root, UIFont::systemFontOfSize(15), UIFont::systemFontOfSize(30));

    page.step(0.05);
    menu->updateData();
    menu->setSelection(4, [] {});
    flash->showNormal("Copied", false);
    page.step(0.15);
    page.shotScreen("controls-mid-fade");
    page.step(0.5);
    page.shotScreen("controls");
}

void popupsLandscape(GalleryPage& page) {
    Scene scene(page, {{300, 200}, {60, 40}});
    auto pop = Titled::make(scene.vc);
    pop->setSize({260, 120});
    pop->setBgColor(UIColor::colorWithWhite(0.15, 1));
    pop->showRight("Reset", false);
    pop->setShowAboveIfBothAvailable(true);
    pop->show(scene.sender, std::string("White balance"), nullptr);
    page.step(0.5);
    page.shotScreen("titled-landscape");
}

void popupsTablet(GalleryPage& page) {
    registerUIServices();
    showDrawer(page, {{20, 40}, {44, 44}}, "drawer-tablet");
}

}  // namespace

void galleryPopups(GalleryPage& page) {
    popups(page);
}
void galleryPopupsLandscape(GalleryPage& page) {
    popupsLandscape(page);
}
void galleryPopupsTablet(GalleryPage& page) {
    popupsTablet(page);
}
void galleryControls(GalleryPage& page) {
    controls(page);
}
