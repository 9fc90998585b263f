// The side menu and the settings lists: the menu in the camera screen's drawer with its switches
// and the maker's other apps (list and icons from a local server the section starts), the
// no-mail alert, the licences list and one licence text, the language list with its recents,
// section titles and side index, a search with results and one with none, a value list with its
// check mark, and an empty list's placeholder.
#include <filesystem>
#include <random>

#include "app/base/my_navigation_controller.h"
#include "app/shell/root_controller.h"
#include "foundation/global.h"
#include "foundation/net_services.h"
#include "foundation/system_services.h"
#include "language/code_table_rows.h"
#include "language/language_code.h"
#include "language/language_services.h"
#include "platform/dispatch/queue.h"
#include "platform/runtime/source_resources.h"
#include "platform/storage/bundle.h"
#include "platform/storage/file_manager.h"
#include "platform/storage/sandbox.h"
#include "platform/text/ns_locale.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/controller/mf_mail_compose_view_controller.h"
#include "platform/ui/controller/ui_alert_controller.h"
#include "platform/ui/controller/ui_navigation_controller.h"
#include "platform/ui/controller/ui_storyboard.h"
#include "platform/ui/draw/graphics.h"
#include "platform/ui/draw/image.h"
#include "platform/ui/draw/path.h"
#include "platform/ui/input/ui_search_bar.h"
#include "platform/ui/view/ui_appearance.h"
#include "settings/left/left_controller.h"
#include "settings/licenses/licenses_controller.h"
#include "settings/licenses/third_party_components.h"
#include "settings/lists/language_controller.h"
#include "settings/lists/value_table_basic_controller.h"
#include "settings/lists/value_table_controller.h"
#include "settings/settings_controllers.h"
#include "tests/support/maker_server.h"
#include "tools/gallery/gallery.h"
#include "tools/gallery/widget_gallery_support.h"
#include "ui/popup/pop_left_view.h"
#include "ui/ui_services.h"

namespace fs = std::filesystem;

namespace {
// An app icon: a rounded square in a colour.
Bytes iconPNG(CGColor colour) {
    UIGraphicsBeginImageContextWithOptions({60, 60}, true, 2);
    auto* c = UIGraphicsGetCurrentContext();
    c->setFillColorWithColor(colour);
    c->fillRect(CGRectMake(0, 0, 60, 60));
    c->setFillColorWithColor(CGColor::rgb(1, 1, 1, 0.85));
    CGPath p;
    p.addEllipseInRect(CGRectMake(16, 16, 28, 28));
    c->addPath(p);
    c->fillPath();
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    auto png = UIImagePNGRepresentation(image);
    return png ? *png : Bytes();
}

// A data folder and a bundle whose resources are the source tree's, with the download host on
// the local server.
struct Folders {
    fs::path root;
    explicit Folders(const std::string& host) {
        std::random_device random;
        root = fs::temp_directory_path() / ("korva-gallery-side-" + std::to_string(random()));
        fs::create_directories(root / "data");
        fs::create_directories(root / "bundle");
        fs::path resources = kSourceResourcesFolder;
        for (const auto& entry : fs::directory_iterator(resources))
            if (entry.path().filename() != "Info.plist")
                fs::create_symlink(entry.path(), root / "bundle" / entry.path().filename());
        std::string info =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict>"
            "<key>CFBundleDisplayName</key><string>Korva</string>"
            "<key>CFBundleName</key><string>Korva</string>"
            "<key>CFBundleShortVersionString</key><string>1.0</string>"
            "<key>KorvaDownloadHost</key><string>" +
            host + "</string></dict></plist>";
        (void)writeFileAtomically((root / "bundle" / "Info.plist").string(), info);
        Sandbox::setRoot((root / "data").string());
        NSBundle::setMainBundleRoot((root / "bundle").string());
        SystemServices::setShared(nullptr);
        Global::resetSharedForTesting();
        registerUIServices();
        registerLanguageServices();
        registerPicsAndFilesHost();
    }
    ~Folders() {
        Global::resetSharedForTesting();
        SystemServices::setShared(nullptr);
        NSBundle::setMainBundleRoot("");
        Sandbox::setRoot("");
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
};

// Lets the background downloads arrive while the clock steps.
void waitFor(GalleryPage& page, const std::function<bool()>& done) {
    for (int i = 0; i < 400 && !done(); ++i) {
        DispatchQueue::waitUntilBackgroundIdle();
        page.step(0.05);
    }
}

std::shared_ptr<UINavigationController> inNavigation(GalleryPage& page,
                                                     const std::shared_ptr<UIViewController>& screen) {
    auto navigation = MyNavigationController::withRoot(screen);
    page.newWindow()->setRootViewController(navigation);
    page.step(0.5);
    return navigation;
}

void typeSearch(GalleryPage& page, LanguageController& list, const std::string& text) {
    list.searchBar()->setText(text);
    list.textDidChange(*list.searchBar(), text);
    page.step(0.3);
}
}  // namespace

void gallerySideMenu(GalleryPage& page) {
    MakerServer maker;
    std::vector<Bytes> icons{iconPNG(CGColor::rgb(0.95, 0.55, 0.15, 1)), iconPNG(CGColor::rgb(0.2, 0.55, 0.9, 1)),
                             iconPNG(CGColor::rgb(0.3, 0.7, 0.4, 1))};
    for (std::size_t i = 0; i < icons.size(); ++i)
        maker.server().routes().Get("/icons/" + std::to_string(i) + ".png",
                                    [bytes = icons[i]](const httplib::Request&, httplib::Response& r) {
                                        r.set_content(std::string(bytes.begin(), bytes.end()), "image/png");
                                    });
    maker.start();
    NSLocale::setPreferredLanguagesForTesting(std::vector<std::string>{"en-US"});
    Folders folders(maker.host());
    Value apps = Value::array();
    const char* titles[] = {"Korva Notes", "Korva Scan", "Korva Trips"};
    for (std::size_t i = 0; i < 3; ++i)
        apps.append(Value::dictionary({{"title", Value(titles[i])},
                                       {"url", Value("https://apps.korva.invalid/" + std::to_string(i))},
                                       {"image", Value(maker.host() + "/icons/" + std::to_string(i) + ".png")}}));
    maker.setPayload(std::string(server_pages::kMoreAppsPath), apps);
    UIStoryboard::resetMainStoryboard();
    registerSettingsControllers(UIStoryboard::mainStoryboard());

    // The side menu in the camera screen's drawer.
    {
        // A stand-in for the camera screen, made from the storyboard so that its drawer finds the
        // side menu there.
        UIStoryboard::mainStoryboard()->registerController("GalleryCamera", [] { return UIViewController::make(); });
        auto camera = UIStoryboard::mainStoryboard()->instantiateViewControllerWithIdentifier("GalleryCamera");
        auto window = page.newWindow();
        window->setRootViewController(camera);
        camera->view()->addSubview(galleryPhotoBackdrop(camera->view()->bounds()));
        auto sender = UIView::make(CGRectMake(10, 60, 44, 44));
        camera->view()->addSubview(sender);
        page.step(0.05);
        auto drawer = PopLeftView::make(camera);
        drawer->show(sender);
        page.step(0.5);
        auto menu = std::dynamic_pointer_cast<LeftController>(drawer->dict());
        if (menu) {
            menu->onDidShow();
            waitFor(page, [&] { return !menu->loadingApps() && menu->arrApps().count() == 3; });
            // The icons come through the picture cache on the menu's queue.
            for (int i = 0; i < 60; ++i) {
                DispatchQueue::waitUntilBackgroundIdle();
                page.step(0.05);
            }
            menu->tableView()->setContentOffset(CGPoint{0, 0});
            page.step(0.3);
            page.shotScreen("drawer-menu");
            menu->tableView()->setContentOffset(menu->tableView()->maximumContentOffset());
            page.step(0.3);
            page.shotScreen("drawer-menu-more-apps");

            MFMailComposeViewController::setMailOpener(nullptr);
            menu->sendFeedback();
            page.step(0.6);
            page.shotScreen("no-mail-alert");
            if (auto alert = std::dynamic_pointer_cast<UIAlertController>(menu->presentedViewController()))
                alert->chooseActionWithTitle("OK");
            page.step(0.6);
            // Where a mail program can be reached, the message to hand it.
            MFMailComposeViewController::setMailOpener([](const std::string&, auto taken) { taken({}); });
            menu->sendFeedback();
            page.step(0.8);
            page.shotScreen("feedback-composer");
            if (auto composer = std::dynamic_pointer_cast<MFMailComposeViewController>(menu->presentedViewController()))
                composer->cancel();
            page.step(0.6);
        }
        drawer->hide(nullptr);
        page.step(0.5);
    }

    // The licences list and one licence text, with the bar buttons the program's root tints.
    {
        RootController::installAppearance();
        auto licences = LicensesController::make(thirdPartyComponents());
        auto navigation = inNavigation(page, licences);
        page.shotScreen("licences");
        licences->tableView()->tapRowAtIndexPath({0, 0});
        page.step(0.8);
        page.shotScreen("licence-text");
        UIAppearance::reset();
    }

    // The language list: recents, sections and side index; searches with and without results.
    {
        auto languages = std::dynamic_pointer_cast<LanguageCode>(Global::shared()->lcode());
        // Native names in Chinese, Japanese and Korean among the recents.
        for (const char* code : {"ko", "zh-cn", "ja", "de", "fi"}) languages->makeRecent(code);
        auto list = LanguageController::make();
        // As a presenter sets it up: the languages it offers, here every language of the table
        // once. Without such a list every key is a row, and the aliased languages (zs and zt for
        // the two Chinese, iw, pb) would show twice.
        std::vector<std::string> offered;
        for (const LanguageRow& row : kIso639_1Rows)
            if (row.aliasOf.empty()) offered.emplace_back(row.key);
        list->setLimitedCodes(std::move(offered));
        list->setLocalizeCount(6);
        list->setSelectedCode(std::string("fi"));
        list->setTextTitle("Language");
        inNavigation(page, list);
        page.shotScreen("language-list");
        list->tableView()->scrollToRowAtIndexPath({3, 0}, UITableViewScrollPosition::Top, false);
        page.step(0.3);
        page.shotScreen("language-list-sections");
        typeSearch(page, *list, "fr en");
        page.shotScreen("language-search");
        typeSearch(page, *list, "zzzz");
        page.shotScreen("language-search-none");
    }

    // A value list with its check mark, a searchable one, and an empty one.
    {
        auto sizes = ValueTableBasicController::make();
        sizes->setArr({"Default", "Small", "Smaller", "Smallest", "1920x1080", "1280x720", "640x480"});
        sizes->setDef("Small");
        sizes->setTextTitle("BACK Camera: Image Size");
        inNavigation(page, sizes);
        page.shotScreen("value-list");

        auto searchable = ValueTableController::make();
        searchable->setArr({"Amber", "apricot", "Azure", "Beige", "black", "Blue", "Coral", "cyan", "Denim"});
        searchable->setDef("Blue");
        searchable->setTextTitle("Colour");
        inNavigation(page, searchable);
        page.shotScreen("value-list-searchable");

        auto empty = ValueTableBasicController::make();
        empty->setTextTitle("Nothing to choose");
        inNavigation(page, empty);
        page.shotScreen("empty-placeholder");
    }
    UIStoryboard::resetMainStoryboard();
    NSLocale::setPreferredLanguagesForTesting(std::nullopt);
    maker.stop();
}
