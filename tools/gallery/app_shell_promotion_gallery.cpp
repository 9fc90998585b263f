// The promotion pop-up, filled from a page and a picture that a local server hands out, in a
// data folder and a bundle of its own (the bundle's download host names the server).
#include <chrono>
#include <filesystem>
#include <thread>

#include "app/promo/pop_new_app_view.h"
#include "app/shell/placeholder_controller.h"
#include "foundation/global.h"
#include "foundation/net_services.h"
#include "language/server_pages.h"
#include "platform/dispatch/clock.h"
#include "platform/storage/bundle.h"
#include "platform/storage/file_manager.h"
#include "platform/storage/sandbox.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/control/ui_image_view.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/draw/context.h"
#include "platform/ui/draw/graphics.h"
#include "platform/ui/draw/image.h"
#include "tests/support/local_server.h"
#include "tools/gallery/app_shell_gallery.h"
#include "tools/gallery/gallery.h"

namespace {

namespace fs = std::filesystem;

// A round, two-colour app picture.
std::string appPicture() {
    UIGraphicsBeginImageContextWithOptions({200, 200}, true, 1);
    CGContext* c = UIGraphicsGetCurrentContext();
    c->setRGBFillColor(0.10, 0.45, 0.80, 1);
    c->fillRect(CGRectMake(0, 0, 200, 200));
    c->setRGBFillColor(1.0, 0.75, 0.20, 1);
    c->addEllipseInRect(CGRectMake(50, 50, 100, 100));
    c->fillPath();
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    auto png = UIImagePNGRepresentation(image);
    return png ? std::string(png.value().begin(), png.value().end()) : std::string();
}

// The application's bundle with another download host: every entry linked, the Info.plist rewritten.
void bundleWithHost(const fs::path& folder, const std::string& host) {
    const fs::path real = NSBundle::mainBundle()->bundlePath();
    fs::create_directories(folder);
    for (const auto& entry : fs::directory_iterator(real))
        if (entry.path().filename() != "Info.plist") fs::create_symlink(entry.path(), folder / entry.path().filename());
    Value info = NSBundle::mainBundle()->infoDictionary();
    info.set("KorvaDownloadHost", Value(host));
    std::string plist = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict>";
    for (const auto& [key, value] : *info.dictionaryPtr())
        if (value.isString()) plist += "<key>" + key + "</key><string>" + *value.string() + "</string>";
    plist += "</dict></plist>";
    (void)writeFileAtomically((folder / "Info.plist").string(), plist);
}

// Runs the page until the condition holds (network replies arrive in real time).
bool stepUntil(GalleryPage& page, const std::function<bool()>& done) {
    for (int i = 0; i < 400 && !done(); ++i) {
        page.step(0.01);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return done();
}

}  // namespace

void galleryAppShellPromotion(GalleryPage& page) {
    LocalServer server;
    const std::string picture = appPicture();
    server.routes().Get(PopNewAppView::kPagePath, [&](const httplib::Request&, httplib::Response& response) {
        Value app = Value::dictionary({{"url", Value("https://apps.korva.invalid/notes")},
                                       {"title", Value("Korva Notes")},
                                       {"message", Value("Write down what you saw, with the picture beside it.")},
                                       {"image", Value(server.url("/notes.png"))}});
        response.set_content(server_pages::replyPage(Value::array({app})), "text/html; charset=utf-8");
    });
    server.routes().Get("/notes.png", [&](const httplib::Request&, httplib::Response& response) {
        response.set_content(picture, "image/png");
    });
    server.start();

    const fs::path root = fs::temp_directory_path() / ("korva-gallery-promotion-" + std::to_string(::getpid()));
    fs::remove_all(root);
    bundleWithHost(root / "bundle", server.url(""));
    const std::string previousData = Sandbox::root();
    Sandbox::setRoot((root / "data").string());
    NSBundle::setMainBundleRoot((root / "bundle").string());
    Global::resetSharedForTesting();
    registerPicsAndFilesHost();

    auto window = page.newWindow();
    auto screen = PlaceholderController::make();
    window->setRootViewController(screen);
    page.step(0.3);
    {
        auto popup = PopNewAppView::make(screen);
        // The first reply only starts the count; a day later the app may show.
        std::optional<bool> answer;
        popup->testAvailable([&](bool a) { answer = a; });
        stepUntil(page, [&] { return answer.has_value(); });
        Clock::advanceVirtual(86401);
        answer.reset();
        popup->testAvailable([&](bool a) { answer = a; });
        stepUntil(page, [&] { return answer.has_value(); });
        if (answer.value_or(false)) {
            popup->show(screen->view());
            stepUntil(page, [&] { return popup->iv()->image() != nullptr; });
            page.step(0.6);
            page.shotScreen("promotion-popup");
        } else {
            std::fprintf(stderr, "korva_gallery: the promotion pop-up did not become ready\n");
        }
        popup->hideInternal();
        page.step(0.5);
    }
    window->setRootViewController(nullptr);
    server.stop();
    NSBundle::setMainBundleRoot("");
    Sandbox::setRoot(previousData);
    Global::resetSharedForTesting();
    fs::remove_all(root);
}
