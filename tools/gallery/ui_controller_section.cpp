// The toolkit's controller side: styling recipes, the loading badge and logo view, the content
// swap over time, and the dialogs on a phone and anchored on a tablet.
#include <string>

#include "foundation/global.h"
#include "platform/dispatch/run_loop.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/bar/ui_navigation_bar.h"
#include "platform/ui/control/ui_image_view.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/controller/ui_activity_view_controller.h"
#include "platform/ui/controller/ui_navigation_controller.h"
#include "tools/gallery/gallery.h"
#include "ui/controller/view_controller_dialogs.h"
#include "ui/controller/view_controller_transition.h"
#include "ui/layout/bar_button_item_custom.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/layout/view_custom_geometry.h"
#include "ui/layout/view_custom_style.h"
#include "ui/theme/color.h"
#include "ui/theme/font.h"
#include "ui/ui_services.h"

namespace {
constexpr CGFloat kLeft = 16;
constexpr CGFloat kTop = 70;

std::shared_ptr<UILabel> caption(const std::string& text, CGRect frame) {
    auto label = UILabel::make(frame);
    label->setText(text);
    label->setFont(UIFont::systemFontOfSize(11));
    label->setTextColor(UIColor::darkGrayColor());
    return label;
}

std::shared_ptr<UIView> tile(CGRect frame, const std::shared_ptr<UIColor>& color) {
    auto view = UIView::make(frame);
    view->setBackgroundColor(color);
    return view;
}

void styling(GalleryPage& page) {
    registerUIServices();
    auto window = page.newWindow();
    window->setBackgroundColor(UIColor::colorWithWhite(0.95, 1));
    auto blue = UIColor::colorWithRed(0.13, 0.38, 0.55, 1);
    auto round = tile(CGRectMake(kLeft, kTop + 16, 100, 60), blue);
    assignRound(*round, 12);
    auto shadow = tile(CGRectMake(kLeft + 120, kTop + 16, 100, 60), UIColor::whiteColor());
    shadow->layer()->setShadowRadius(3);
    assignShadow(*shadow);
    auto border = tile(CGRectMake(kLeft + 240, kTop + 16, 100, 60), UIColor::whiteColor());
    assignBorder(*border, 3, UIColor::redColor());
    auto pill = tile(CGRectMake(kLeft, kTop + 116, 160, 30), UIColor::whiteColor());
    setRoundEdge(*pill);
    auto circle = tile(CGRectMake(kLeft + 200, kTop + 106, 50, 50), UIColor::whiteColor());
    setRoundEdge(*circle);
    for (auto& v : {round, shadow, border, pill, circle}) window->addSubview(v);
    window->addSubview(
        caption("assignRound 12        assignShadow        assignBorder 3 red", CGRectMake(kLeft, kTop, 360, 14)));
    window->addSubview(caption("setRoundEdge (pill, circle)", CGRectMake(kLeft, kTop + 90, 360, 14)));

    auto badge = loading();
    badge->setFrame(CGRectMake(kLeft, kTop + 200, 60, 60));
    badge->setBackgroundColor(UIColor::whiteColor());
    window->addSubview(badge);
    window->addSubview(caption("loading", CGRectMake(kLeft, kTop + 184, 100, 14)));
    auto logo = logoNav();
    logo->setFrame(CGRectMake(kLeft + 120, kTop + 210, 160, 40));
    window->addSubview(logo);
    window->addSubview(caption("logoNav", CGRectMake(kLeft + 120, kTop + 184, 100, 14)));

    // Laid out by the recipes: a band at the top of a panel, a centred box, a one-point inset.
    auto panel = tile(CGRectMake(kLeft, kTop + 300, 340, 200), UIColor::whiteColor());
    window->addSubview(panel);
    auto band = tile(CGRectZero, UIColor::colorWithRed(1, 0.8, 0.3, 1));
    panel->addSubview(band);
    addConstraintsT(band, panel, 0, 0, 0, 45);
    auto inset = tile(CGRectZero, UIColor::clearColor());
    panel->addSubview(inset);
    addConstraintsFull(inset, panel, 5, 50, -5, -5);
    assignBorder(*inset, 1, blue);
    auto centre = tile(CGRectZero, blue);
    panel->addSubview(centre);
    addConstraintsCenter(centre, panel, 0, 20, 80, 40);
    window->addSubview(caption("recipes: T (45 band), Full (5, 50, -5, -5), Center (0, 20, 80 x 40)",
                               CGRectMake(kLeft, kTop + 284, 360, 14)));
    // Two frames: the spinner's spokes settle in its laid-out frame one frame after the layout.
    page.step(0.1);
    page.step(0.1);
    page.shotScreen("styling-loading-logo");
}

struct Screen : UIViewController {
    KORVA_MAKE(Screen)
    std::string name;
    std::shared_ptr<UIColor> color;
    void viewDidLoad() override {
        view()->setBackgroundColor(color);
        auto label = UILabel::make(CGRectMake(0, 300, 390, 60));
        label->setText(name);
        label->setFont(UIFont::boldSystemFontOfSize(40));
        label->setTextAlignment(NSTextAlignment::Center);
        label->setTextColor(UIColor::whiteColor());
        view()->addSubview(label);
    }

protected:
    Screen(std::string n, std::shared_ptr<UIColor> c) : name(std::move(n)), color(std::move(c)) {}
};

void swap(GalleryPage& page) {
    registerUIServices();
    auto window = page.newWindow();
    auto container = UIViewController::make();
    window->setRootViewController(container);
    container->view()->setBackgroundColor(UIColor::blackColor());
    transition(container, Screen::make("Camera", UIColor::colorWithRed(0.13, 0.38, 0.55, 1)), false);
    page.step(0.1);
    transition(container, Screen::make("Editor", UIColor::colorWithRed(0.85, 0.33, 0.32, 1)), false);
    page.step(0);
    page.shotScreen("swap-0.00s");
    page.step(0.05);
    page.shotScreen("swap-0.05s");
    page.step(0.05);
    page.shotScreen("swap-0.10s");
    page.step(0.15);
    page.shotScreen("swap-0.25s");
    page.step(0.25);
    page.shotScreen("swap-0.50s");
    page.step(0.5);
    page.shotScreen("swap-1.00s");
}

std::shared_ptr<UIViewController> host(GalleryPage& page) {
    registerUIServices();
    auto window = page.newWindow();
    auto vc = UIViewController::make();
    vc->view()->setBackgroundColor(UIColor::colorWithWhite(0.9, 1));
    window->setRootViewController(vc);
    page.step(0.1);
    return vc;
}

void dialogsPhone(GalleryPage& page) {
    auto vc = host(page);
    auto shot = [&](const std::string& name) {
        page.step(1);
        page.shotScreen(name);
        if (auto shown = vc->presentedViewController()) shown->dismissViewControllerAnimated(false);
        page.step(1);
    };
    alert(vc, "The photo was saved to the library.", nullptr);
    shot("alert");
    confirm(vc, "Turn geotagging on?", nullptr, nullptr);
    shot("confirm");
    prompt(vc, "Value", "0.0", "1.25", UIKeyboardType::DecimalPad, nullptr, nullptr);
    shot("prompt-keyboard");
    act3(vc, "Photo", {"Save", [] {}}, {"Share", [] {}}, {"d|Delete", [] {}}, nullptr);
    shot("action-sheet");
    activity(vc, nullptr, "Korva", {Value("\n\n#Korva\n\n")}, [](bool) {});
    shot("share-sheet");
    toast(vc, "Unsupported colour space");
    page.step(0.5);
    page.shotScreen("toast");
}

void dialogsTablet(GalleryPage& page) {
    auto vc = host(page);
    auto nav = UINavigationController::withRoot(vc);
    page.newWindow()->setRootViewController(nav);
    auto item = initWithBarButtonSystemItem1(UIBarButtonSystemItem::Action, nullptr);
    auto tint = Global::shared()->color()->barButton();
    item->setTintColor(tint);
    vc->navigationItem()->setRightBarButtonItems({item});
    page.step(0.2);
    act2(vc, "Photo", {"Save", [] {}}, {"d|Delete", [] {}}, item);
    page.step(1);
    page.shotScreen("action-sheet-anchored");
    if (auto shown = nav->presentedViewController()) shown->dismissViewControllerAnimated(false);
    page.step(1);
    act2(vc, "Photo", {"Save", [] {}}, {"d|Delete", [] {}}, nullptr);
    page.step(1);
    page.shotScreen("action-sheet-no-anchor");
}
}  // namespace

void galleryUIStyling(GalleryPage& page) {
    styling(page);
}
void galleryUISwap(GalleryPage& page) {
    swap(page);
}
void galleryUIDialogs(GalleryPage& page) {
    dialogsPhone(page);
}
void galleryUIDialogsTablet(GalleryPage& page) {
    dialogsTablet(page);
}
