// The web screen with pages from a local server (a page, while loading, after a failed load; the
// page also on a tablet), the web pop-up at a button on a phone and on a tablet, the address field
// at rest and editing, and the side bar closed, sliding in with its depth style, and open. Pages
// run on the page engine on a display (a virtual one is started when the session has none), and
// are shown as text where none can be had.
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "app/base/my_navigation_controller.h"
#include "app/shell/app_registry.h"
#include "app/shell/placeholder_controller.h"
#include "app/sidebar/root_controller_base.h"
#include "app/sidebar/side_menu.h"
#include "app/web/my_safari_url_field.h"
#include "app/web/my_web_controller.h"
#include "foundation/global.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/controller/ui_storyboard.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/view/ui_appearance.h"
#include "platform/webengine/web_engine.h"
#include "tests/support/local_server.h"
#include "tests/support/run_loop_pump.h"
#include "tests/support/virtual_display.h"
#include "tools/gallery/gallery.h"
#include "tools/gallery/widget_gallery_support.h"
#include "ui/ui_services.h"

namespace {

constexpr const char* kArticle =
    "<html><head><title>Korva field notes</title><style>"
    "body{font-family:sans-serif;margin:16px;color:#222;line-height:1.4}h1{font-size:24px;margin:0 0 8px}"
    "h2{font-size:18px;color:#b35c00}a{color:#0a60d0}"
    ".band{height:90px;border-radius:10px;background:linear-gradient(90deg,#1d3557,#e76f51,#f4a261)}"
    "</style></head><body><div class=\"band\"></div>"
    "<h1>Shooting in low light</h1>"
    "<p>Raise the ISO one step at a time and watch the noise in the shadows. A slower shutter keeps the "
    "picture clean, as long as the camera rests on something steady.</p>"
    "<h2>Filters at dusk</h2>"
    "<p>Warm presets flatter skin in the blue hour; see the <a href=\"/presets\">preset guide</a> or the "
    "<a href=\"/white-balance\">notes on white balance</a> before you start.</p>"
    "<ul><li>Lock the focus on the brightest edge.</li><li>Keep the self-timer at two seconds.</li></ul>"
    "<p>More in the <a href=\"/archive\">archive</a>.</p><script>var x = 1;</script></body></html>";

// The pages, served on 127.0.0.1 for as long as the section runs.
struct Pages {
    LocalServer server;
    Pages() {
        server.routes().Get("/article", [](const httplib::Request&, httplib::Response& r) {
            r.set_content(kArticle, "text/html; charset=utf-8");
        });
        server.routes().Get("/slow", [this](const httplib::Request&, httplib::Response& r) {
            server.pause(5);
            r.set_content("<title>Late</title>late", "text/html");
        });
        server.start();
    }
};

// The side bar shows the right-hand 220 points of the menu's view, so the rows stand there.
struct GalleryMenu : UIViewController, SideMenu {
    void viewDidLoad() override {
        view()->setBackgroundColor(UIColor::colorWithRed(0.13, 0.14, 0.17, 1));
        CGFloat y = 80, x = view()->bounds().size.width - RootControllerBase::kMenuWidth + 24;
        for (const char* row : {"Camera", "Photo editor", "Presets", "Settings", "About"}) {
            auto label = UILabel::make(CGRectMake(x, y, 180, 30));
            label->setText(row);
            label->setTextColor(UIColor::whiteColor());
            view()->addSubview(label);
            y += 48;
        }
    }
    void reload() override {}
    void onDidShow() override {}
};

struct GalleryContent : PlaceholderController {
    void viewDidLoad() override {
        PlaceholderController::viewDidLoad();
        view()->addSubview(galleryPhotoBackdrop(view()->bounds()));
        auto label = UILabel::make(CGRectMake(20, 120, 300, 40));
        label->setText("Camera");
        label->setTextColor(UIColor::whiteColor());
        view()->addSubview(label);
    }
};

// A screen with a button near the top to anchor the pop-up on.
struct Owner : MyViewController {
    KORVA_MAKE(Owner)
    std::shared_ptr<UIButton> button;
    void viewDidLoad() override {
        MyViewController::viewDidLoad();
        view()->addSubview(galleryPhotoBackdrop(view()->bounds()));
        button = UIButton::buttonWithType(UIButtonType::System);
        button->setTitle("Help", UIControlStateNormal);
        button->setBackgroundColor(UIColor::whiteColor());
        button->setFrame(CGRectMake(24, 120, 80, 36));
        view()->addSubview(button);
    }

protected:
    Owner() = default;
};

// Pages run on the engine where a display can be had; elsewhere they are shown as text.
void startPageEngine() {
    auto why = testsupport::VirtualDisplay::ensure();
    if (!why) why = webengine::install();
    if (why) std::fprintf(stderr, "gallery: web pages shown as text: %s\n", why->c_str());
}

void setUp() {
    startPageEngine();
    registerUIServices();
    UIStoryboard::resetMainStoryboard();
    auto storyboard = UIStoryboard::mainStoryboard();
    registerAppControllers(storyboard);
    storyboard->registerController("LeftController", [] { return make<GalleryMenu>(); });
    storyboard->registerController("GalleryContent", [] { return make<GalleryContent>(); });
    storyboard->registerController("GalleryOwner", [] { return Owner::make(); });
}

// Waits for the page, lays the screen out, then gives the engine a moment to paint the page at
// its size.
void waitForPage(GalleryPage& page, WKWebView& web) {
    pumpMainUntil([&] { return !web.isLoading(); });
    if (web.runsEngine()) {
        page.step(0.1);
        auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(600);
        pumpMainUntil([&] { return std::chrono::steady_clock::now() > until; });
    }
    page.step(0.2);
}

void waitForPage(GalleryPage& page, MyWebController& web) {
    if (web.webView()) waitForPage(page, *web.webView());
}

std::shared_ptr<MyWebController> webScreen(const std::string& address) {
    auto web = std::dynamic_pointer_cast<MyWebController>(
        UIStoryboard::mainStoryboard()->instantiateViewControllerWithIdentifier(MyWebController::kStoryboardID));
    web->setUrl(address);
    return web;
}

void shootWebScreens(GalleryPage& page, Pages& pages) {
    auto delegate = Owner::make();
    auto web = webScreen(pages.server.url("/article"));
    web->setDelegate(delegate);
    page.newWindow()->setRootViewController(MyNavigationController::withRoot(web));
    waitForPage(page, *web);
    page.shotScreen("web-screen");

    auto slow = webScreen(pages.server.url("/slow"));
    slow->setDelegate(delegate);
    page.newWindow()->setRootViewController(MyNavigationController::withRoot(slow));
    page.step(0.1);
    // The page engine reports the start a moment after the request.
    pumpMainUntil([&] { return slow->loading(); }, 5);
    page.step(0.2);
    page.shotScreen("web-screen-loading");

    auto failed = webScreen("http://127.0.0.1:" + std::to_string(LocalServer::closedPort()) + "/article");
    failed->setDelegate(delegate);
    page.newWindow()->setRootViewController(MyNavigationController::withRoot(failed));
    waitForPage(page, *failed);
    page.shotScreen("web-screen-failed");
}

void shootPopup(GalleryPage& page, Pages& pages, const std::string& name) {
    auto owner = std::dynamic_pointer_cast<Owner>(
        UIStoryboard::mainStoryboard()->instantiateViewControllerWithIdentifier("GalleryOwner"));
    page.newWindow()->setRootViewController(MyNavigationController::withRoot(owner));
    page.step(0.2);
    owner->openURL(pages.server.url("/article"), owner->button);
    waitForPage(page, *owner->popWeb()->web());
    page.step(0.5);
    page.shotScreen(name);
}

void shootAddressField(GalleryPage& page) {
    auto root = galleryControllerRoot(page, UIColor::systemGray6Color());
    auto field = MySafariURLField::make(CGRectMake(16, 80, root->bounds().size.width - 32, 40));
    field->setTextLabel("Korva field notes");
    field->setTextInput("http://127.0.0.1/article");
    root->addSubview(field);
    page.step(0.2);
    page.shotScreen("address-field");
    field->onTapNormal();
    page.step(0.5);
    page.shotScreen("address-field-editing");
}

void shootSideBar(GalleryPage& page) {
    auto root = std::dynamic_pointer_cast<RootControllerBase>(
        UIStoryboard::mainStoryboard()->instantiateViewControllerWithIdentifier(RootControllerBase::kStoryboardID));
    page.newWindow()->setRootViewController(root);
    root->main()->setName("GalleryContent");
    page.step(0.2);
    page.shotScreen("side-bar-closed");
    root->showMenuViewControllerInDirection(SideBarDirection::Left);
    page.step(0.15);
    page.shotScreen("side-bar-0.15s");
    page.step(0.15);
    page.shotScreen("side-bar-0.3s");
    page.step(0.5);
    page.shotScreen("side-bar-open");
}

}  // namespace

void galleryWebSideBar(GalleryPage& page) {
    setUp();
    Pages pages;
    shootWebScreens(page, pages);
    shootPopup(page, pages, "web-popup-phone");
    shootAddressField(page);
    shootSideBar(page);
    UIAppearance::reset();
    UIStoryboard::resetMainStoryboard();
}

void galleryWebPopupTablet(GalleryPage& page) {
    setUp();
    Pages pages;
    auto delegate = Owner::make();
    auto web = webScreen(pages.server.url("/article"));
    web->setDelegate(delegate);
    page.newWindow()->setRootViewController(MyNavigationController::withRoot(web));
    waitForPage(page, *web);
    page.shotScreen("web-screen-tablet");
    shootPopup(page, pages, "web-popup-tablet");
    UIStoryboard::resetMainStoryboard();
}
