// The program's one registration call against what the screens ask for: every controller
// identifier the code hands the storyboard, every service Global makes through a subsystem's
// maker, the status-bar rules and the rating prompt.
#include "main/program_registry.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "app/base/my_navigation_controller.h"
#include "app/base/my_view_controller.h"
#include "app/rate/rate_prompt.h"
#include "camera/screen/view_controller.h"
#include "editor/photo/edit_controller.h"
#include "filter/glk_view.h"
#include "foundation/global.h"
#include "platform/capture/capture_authorization.h"
#include "platform/capture/capture_device_registry.h"
#include "platform/dispatch/clock.h"
#include "platform/dispatch/queue.h"
#include "platform/dispatch/run_loop.h"
#include "platform/host/headless_host.h"
#include "platform/host/ui_application_main.h"
#include "platform/image/codec/jpeg.h"
#include "platform/runtime/source_resources.h"
#include "platform/storage/user_defaults.h"
#include "platform/ui/app/ui_application.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/control/ui_control.h"
#include "platform/ui/control/ui_scroll_view.h"
#include "platform/ui/controller/ui_storyboard.h"
#include "platform/ui/gesture/ui_gesture_recognizer.h"
#include "tests/support/temp_app_folders.h"
#include "tests/support/temp_photo_library.h"
#include "ui/controls/anim_button.h"
#include "ui/popup/hud_view.h"
#include "widgets/flat/status_bar_flat_kit.h"

namespace fs = std::filesystem;

namespace {

const fs::path& sourceRoot() {
    static const fs::path root = fs::path(kSourceResourcesFolder).parent_path();
    return root;
}

std::string readText(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The folders whose code asks for screens and services (the platform below asks for none).
const char* const kScreenFolders[] = {"app", "camera", "editor", "settings", "ui", "widgets", "language", "capture"};

// The arguments of a call whose opening parenthesis is at `open`, split at the top level.
std::vector<std::string> callArguments(const std::string& text, std::size_t open) {
    std::vector<std::string> args(1);
    int depth = 0;
    for (std::size_t i = open; i < text.size(); ++i) {
        char c = text[i];
        if (c == '(') {
            if (depth++ == 0) continue;
        } else if (c == ')') {
            if (--depth == 0) break;
        } else if (c == ',' && depth == 1) {
            args.emplace_back();
            continue;
        }
        args.back() += c;
    }
    for (auto& a : args) a = std::regex_replace(a, std::regex(R"(^\s+|\s+$)"), "");
    return args;
}

struct AskedIdentifiers {
    std::set<std::string> identifiers;
    std::vector<std::string> unresolved;  // "file: argument"
};

// Calls that hand the storyboard an identifier they were given, so their own argument is no
// identifier: the content switcher's screen by name, the side menu's item action, the segmented
// container's children and the tab container's tabs. Their callers are scanned in turn.
const std::set<std::pair<std::string, std::string>> kForwardingCalls = {
    {"app/shell/main_controller.cpp", "identifier"},
    {"settings/left/left_controller_actions.cpp", "name"},
    {"app/containers/my_segmented_controller.cpp", "identifier.stringValue()"},
    {"app/containers/my_tab_bar_custom_controller.cpp", "identifier"},
};

// Every identifier the code asks the storyboard for: the second argument of storyboard(receiver,
// identifier) and the first of the forwarders (setName, addWithIdentifier), as a literal or a
// named constant ("k..." of the file's own header, or "Class::k..." of the class's header).
AskedIdentifiers askedIdentifiers() {
    std::map<std::string, std::string> headerText;  // path from the root -> text
    std::vector<std::pair<std::string, std::string>> sources;
    for (const char* folder : kScreenFolders) {
        for (const auto& entry : fs::recursive_directory_iterator(sourceRoot() / folder)) {
            const auto ext = entry.path().extension();
            if (ext != ".cpp" && ext != ".h") continue;
            const std::string rel = fs::relative(entry.path(), sourceRoot()).string();
            std::string text = readText(entry.path());
            if (ext == ".h") headerText[rel] = text;
            // Only files that make one of the calls are searched with the pattern.
            for (const char* name : {"storyboard(", "setName(", "addWithIdentifier("})
                if (text.find(name) != std::string::npos) {
                    sources.emplace_back(rel, text);
                    break;
                }
        }
    }
    auto constantIn = [](const std::string& text, const std::string& name) -> std::optional<std::string> {
        std::smatch m;
        if (std::regex_search(text, m, std::regex(name + R"(\s*=\s*"([^"]+)\")"))) return m[1].str();
        return std::nullopt;
    };
    auto resolve = [&](const std::string& file, const std::string& arg) -> std::optional<std::string> {
        std::smatch m;
        if (std::regex_match(arg, m, std::regex(R"x("([^"]+)")x"))) return m[1].str();
        if (std::regex_match(arg, m, std::regex(R"((\w+)::(k\w+))"))) {
            for (const auto& [path, text] : headerText)
                if (std::regex_search(text, std::regex("class " + m[1].str() + R"(\b[^;]*\{)")))
                    if (auto value = constantIn(text, m[2].str())) return value;
            return std::nullopt;
        }
        if (std::regex_match(arg, std::regex(R"(k\w+)"))) {
            auto own = headerText.find(fs::path(file).replace_extension(".h").string());
            if (own != headerText.end()) return constantIn(own->second, arg);
        }
        return std::nullopt;
    };
    AskedIdentifiers asked;
    const std::regex call(R"((?:^|[^\w])(storyboard|setName|addWithIdentifier)\s*\()");
    for (const auto& [file, text] : sources) {
        for (std::sregex_iterator it(text.begin(), text.end(), call), end; it != end; ++it) {
            const std::size_t open = it->position(0) + it->length(0) - 1;
            // Declarations and definitions name a parameter's type, not an argument.
            auto args = callArguments(text, open);
            const bool viaStoryboard = (*it)[1] == "storyboard";
            if (viaStoryboard && args.size() != 2) continue;
            const std::string& arg = viaStoryboard ? args[1] : args[0];
            if (arg.empty() || arg.find("std::string") != std::string::npos) continue;
            if (kForwardingCalls.count({file, arg})) continue;
            if (auto value = resolve(file, arg))
                asked.identifiers.insert(*value);
            else
                asked.unresolved.push_back(file + ": " + arg);
        }
    }
    return asked;
}

class ProgramRegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        folders.create("korva-program-registry", "<key>CFBundleShortVersionString</key><string>3.1</string>");
        NSUserDefaults::resetStandardUserDefaults();
        UIStoryboard::resetMainStoryboard();
        UIApplicationDelegateClasses::clear();
        RatePrompt::resetSharedInstance();
        registerProgram();
    }
    void TearDown() override {
        RatePrompt::resetSharedInstance();
        RunLoop::main().runUntilIdle();
        UIStoryboard::resetMainStoryboard();
        UIApplicationDelegateClasses::clear();
        NSUserDefaults::resetStandardUserDefaults();
        folders.remove();
    }
    TempAppFolders folders;
};

}  // namespace

TEST_F(ProgramRegistryTest, EveryScreenAnyScreenAsksForIsRegistered) {
    auto asked = askedIdentifiers();
    EXPECT_TRUE(asked.unresolved.empty())
        << "identifiers this test cannot read from the code: " << ::testing::PrintToString(asked.unresolved);
    // The scan found the screens the shell, the camera screen, the side menu and the pop-ups ask for.
    for (const char* known : {"MainController", "ViewController", "LeftController", "EditController", "MyWebController",
                              "SettingsDictController"})
        EXPECT_TRUE(asked.identifiers.count(known)) << known << " was not found in the code";

    auto storyboard = UIStoryboard::mainStoryboard();
    auto initial = storyboard->instantiateInitialViewController();
    ASSERT_TRUE(initial) << "no initial screen";
    EXPECT_EQ(initial->className(), "RootController");
    for (const auto& identifier : asked.identifiers) {
        ASSERT_TRUE(storyboard->hasController(identifier)) << identifier;
        auto made = storyboard->instantiateViewControllerWithIdentifier(identifier);
        ASSERT_TRUE(made) << identifier;
        // The screen itself, not a stand-in (the shell registers one under "ViewController").
        EXPECT_EQ(made->className(), identifier);
    }
    EXPECT_TRUE(UIApplicationDelegateClasses::make("AppDelegate")) << "the application delegate class";
}

TEST_F(ProgramRegistryTest, EveryServiceGlobalMakesThroughAMakerIsRegistered) {
    auto global = Global::shared();
    const std::map<std::string, std::function<bool()>> made = {
        {"lcode", [&] { return global->lcode() != nullptr; }},
        {"ccode", [&] { return global->ccode() != nullptr; }},
        {"font", [&] { return global->font() != nullptr; }},
        {"color", [&] { return global->color() != nullptr; }},
        {"pics", [&] { return global->pics() != nullptr; }},
        {"path", [&] { return global->path() != nullptr; }},
        {"audioSession", [&] { return global->audioSession() != nullptr; }},
        {"colorSpaces", [&] { return global->colorSpaces() != nullptr; }},
        {"upload", [&] { return global->upload() != nullptr; }},
        {"download", [&] { return global->download() != nullptr; }},
        {"addr", [&] { return global->addr() != nullptr; }},
        {"animation", [&] { return global->animation() != nullptr; }},
        {"filesHost", [&] { return global->filesHost() != nullptr; }},
        {"filterPreset", [&] { return global->filterPreset() != nullptr; }},
    };
    // The getters the foundation answers through a subsystem's maker, as its code has them.
    std::set<std::string> getters;
    const std::string base = readText(sourceRoot() / "foundation/global_base.cpp");
    const std::regex byFactory(R"(GlobalBase::(\w+)\(\)\s*\{\s*return madeByFactory)");
    for (std::sregex_iterator it(base.begin(), base.end(), byFactory), end; it != end; ++it) getters.insert((*it)[1]);
    const std::string global_ = readText(sourceRoot() / "foundation/global.cpp");
    const std::regex ownFactory(R"(Global::(\w+)\(\)\s*\{\s*if \(!\w+\) \w+ = ServiceFactory<)");
    for (std::sregex_iterator it(global_.begin(), global_.end(), ownFactory), end; it != end; ++it)
        getters.insert((*it)[1]);
    ASSERT_GE(getters.size(), 10u) << "the scan of the foundation's getters found too few";
    for (const auto& getter : getters) {
        auto check = made.find(getter);
        ASSERT_NE(check, made.end()) << "Global makes \"" << getter << "\" through a maker; check it here too";
        EXPECT_TRUE(check->second()) << getter << " has no maker after the program's registrations";
    }
}

TEST_F(ProgramRegistryTest, TheStatusBarRulesAndTheRatingPromptAreInPlace) {
    auto controller = UIViewController::make();
    setShouldUseLightContent(*controller, true);
    EXPECT_EQ(controller->preferredStatusBarStyle(), UIStatusBarStyle::LightContent);
    // The rating prompt counts the launch once the main queue runs.
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(NSUserDefaults::standardUserDefaults()->integerForKey("RatePromptUseCount"), 1);
}

namespace {

// Whether the view is drawn and can be touched: it and everything above it shown and interactive.
bool touchable(const UIView& view) {
    for (const UIView* v = &view; v; v = v->superview().get())
        if (v->isHidden() || v->alpha() <= 0.01 || !v->isUserInteractionEnabled()) return false;
    return true;
}

// The view's enabled recognisers, less a scroll view's own panning and zooming.
std::vector<std::shared_ptr<UIGestureRecognizer>> ownRecognizers(const UIView& view) {
    std::vector<std::shared_ptr<UIGestureRecognizer>> own;
    auto* scroll = dynamic_cast<const UIScrollView*>(&view);
    for (const auto& r : UIViewGestureRecognizers(view))
        if (r->isEnabled() &&
            !(scroll && (r == scroll->panGestureRecognizer() || r == scroll->pinchGestureRecognizer())))
            own.push_back(r);
    return own;
}

// The views that take touches (enabled controls, views with recognisers of their own) drawn in
// the rectangle, each with the middle of its part there.
void takersIn(const std::shared_ptr<UIView>& view, CGRect area,
              std::vector<std::pair<std::shared_ptr<UIView>, CGPoint>>& out) {
    auto* control = dynamic_cast<UIControl*>(view.get());
    if (((control && control->isEnabled()) || !ownRecognizers(*view).empty()) && touchable(*view)) {
        const CGRect part = CGRectIntersection(view->convertRectToView(view->bounds(), nullptr), area);
        const CGPoint middle{CGRectGetMidX(part), CGRectGetMidY(part)};
        // A view that lets touches through there (a list's placeholder outside its content) is passed by.
        if (!CGRectIsNull(part) && !CGRectIsEmpty(part) && view->hitTest(view->convertPointFromView(middle, nullptr)))
            out.emplace_back(view, middle);
    }
    for (const auto& sub : view->subviews()) takersIn(sub, area, out);
}

// A small JPEG, as the camera saves them.
Bytes smallPhoto() {
    RasterRGBA8 r = makeRaster(64, 48);
    for (std::size_t i = 0; i < r.pixels.size(); ++i) r.pixels[i] = std::uint8_t(i % 4 == 3 ? 255 : i * 7);
    auto jpeg = encodeJpeg(r, JpegEncodeOptions{});
    return jpeg ? *jpeg : Bytes{};
}

struct ScreenModel {
    const char* name;
    bool landscape;
};
const std::vector<ScreenModel> kUprightModels = {{"notched", false}, {"home-button", false}, {"tablet", false}};

// Every screen the program registers, on each screen model (the upright ones unless given), as the
// program shows it (the camera screen with the synthetic camera, the editor with a library photo),
// handed to `check` once its pictures have loaded and its animations ended.

void onEveryScreen(const fs::path& folder,
                   const std::function<void(HeadlessHost&, const std::shared_ptr<UIViewController>&,
                                            const std::shared_ptr<UIWindow>&)>& check,
                   const std::vector<ScreenModel>& models = kUprightModels) {
    Clock::useVirtual();
    CaptureAuthorization::setStatus(AVMediaType::Video, AVAuthorizationStatus::Authorized);
    EXPECT_TRUE(CaptureDeviceRegistry::configure("synthetic@320x240").ok());
    TempPhotoLibrary library;
    library.open(folder / "library");
    auto photo = TempPhotoLibrary::add(smallPhoto());
    EXPECT_TRUE(photo);
    auto storyboard = UIStoryboard::mainStoryboard();
    for (const auto& model : models) {
        HostOptions options;
        options.kind = HostKind::Headless;
        options.screen = *DeviceModel::named(model.name);
        options.landscape = model.landscape;
        HeadlessHost host(options);
        for (const auto& identifier : storyboard->identifiers()) {
            SCOPED_TRACE(identifier + " on the " + model.name + (model.landscape ? " landscape" : "") + " screen");
            auto screen = storyboard->instantiateViewControllerWithIdentifier(identifier);
            EXPECT_TRUE(screen);
            if (!screen) continue;
            if (auto editor = std::dynamic_pointer_cast<AssetEditor>(screen)) editor->setAsset(photo);
            auto window = UIWindow::make();
            window->setRootViewController(screen);
            window->makeKeyAndVisible();
            for (int i = 0; i < 8; ++i) {  // two seconds: pictures load, animations end
                DispatchQueue::waitUntilBackgroundIdle();
                host.step(0.25);
            }
            check(host, screen, window);
            window->setRootViewController(nullptr);
            window->setHidden(true);
            host.step(0.1);
        }
    }
    library.close();
    CaptureDeviceRegistry::reset();
    Clock::useReal();
}

// Whether the view has had a touch since it was last asked: a control tracking one, or one of its
// own recognisers holding one.
bool reached(const UIView& view) {
    auto* control = dynamic_cast<const UIControl*>(&view);
    bool touched = control && control->isTracking();
    for (const auto& r : ownRecognizers(view)) touched = touched || r->numberOfTouches() > 0;
    return touched;
}

}  // namespace

// On every screen: every control and every view with a recogniser of its own drawn in the status
// bar's strip takes a finger put down there through the host, as a click in the window does (none
// is left to the status bar). Then the screen's busy HUD, on its first show and before any layout
// pass, keeps every finger from what it covers, in the strip or below it.
TEST_F(ProgramRegistryTest, EveryScreensStripTakesItsOwnTouchesAndItsBusyHudTakesThemAll) {
    long touch = 50000;
    int inStrip = 0, underHud = 0;
    auto put = [&](HeadlessHost& host, const std::shared_ptr<UIView>& view, CGPoint at, bool reach) {
        host.sendTouches({Clock::now(), {{++touch, at, UITouchPhase::Began}}});
        auto hit = view->window() ? view->window()->hitTest(at) : nullptr;
        EXPECT_EQ(reached(*view), reach) << view->className() << " at (" << at.x << ", " << at.y << "), under "
                                         << (hit ? hit->className() : "nothing");
        host.sendTouches({Clock::now(), {{touch, at, UITouchPhase::Cancelled}}});
    };
    onEveryScreen(folders.root(), [&](HeadlessHost& host, const std::shared_ptr<UIViewController>& screen,
                                      const std::shared_ptr<UIWindow>& window) {
        std::vector<std::pair<std::shared_ptr<UIView>, CGPoint>> takers;
        takersIn(window, UIApplication::sharedApplication()->statusBarFrame(), takers);
        for (const auto& [view, at] : takers) {
            ++inStrip;
            put(host, view, at, true);
        }
        std::shared_ptr<HudView> hud;
        if (auto mine = std::dynamic_pointer_cast<MyViewController>(screen)) hud = mine->hudView();
        if (auto navigation = std::dynamic_pointer_cast<MyNavigationController>(screen)) hud = navigation->hudView();
        if (!hud) return;
        takers.clear();
        takersIn(window, window->bounds(), takers);
        hud->show();
        for (const auto& [view, at] : takers) {
            ++underHud;
            put(host, view, at, false);
        }
        hud->hide();
    });
    EXPECT_GT(inStrip, 0) << "nothing is drawn in any strip (the editor's buttons are)";
    EXPECT_GT(underHud, 0) << "no screen showed a HUD over anything";
}

namespace {

// The camera screen in the controller's tree (the root controller holds it in its switcher).
std::shared_ptr<ViewController> cameraIn(const std::shared_ptr<UIViewController>& controller) {
    if (auto camera = std::dynamic_pointer_cast<ViewController>(controller)) return camera;
    for (const auto& child : controller->childViewControllers())
        if (auto camera = cameraIn(child)) return camera;
    return nullptr;
}

}  // namespace

// The turn key on a portrait and two landscape models: after one press and after two, the window
// covers the screen and every screen fills it; the camera screen's picture, bottom bar and shutter
// lie inside it, and a tap where the shutter is drawn takes a photo.
TEST_F(ProgramRegistryTest, AfterTheTurnKeyEveryScreenIsLaidOutForItsWindowAndTheShutterActsWhereDrawn) {
    int shots = 0;
    auto photos = [] { return PHAsset::fetchAssetsWithOptions(PHFetchOptions::make())->count(); };
    auto settle = [](HeadlessHost& host, int quarters) {
        for (int i = 0; i < quarters; ++i) {
            DispatchQueue::waitUntilBackgroundIdle();
            host.step(0.25);
        }
    };
    auto check = [&](HeadlessHost& host, const std::shared_ptr<UIViewController>& screen,
                     const std::shared_ptr<UIWindow>& window) {
        for (int press = 1; press <= 2; ++press) {
            SCOPED_TRACE(std::to_string(press) + " presses");
            host.turnDevice();
            settle(host, 4);
            const CGRect bounds = window->bounds();
            EXPECT_EQ(window->frame(), host.screen()->bounds());
            EXPECT_EQ(screen->view()->convertRectToView(screen->view()->bounds(), nullptr), bounds);
            auto camera = cameraIn(screen);
            if (!camera) continue;
            const auto& v = camera->views();
            for (UIView* view : {static_cast<UIView*>(camera->previewIfMade().get()), v.bottom.get(),
                                 static_cast<UIView*>(v.btnShot.get())}) {
                const CGRect drawn = view->convertRectToView(view->bounds(), nullptr);
                EXPECT_TRUE(CGRectContainsRect(CGRectInset(bounds, -0.5, -0.5), drawn))
                    << view->className() << " at " << drawn.origin.x << ", " << drawn.origin.y << ", "
                    << drawn.size.width << " x " << drawn.size.height;
            }
            const std::size_t before = photos();
            const CGRect shutter = v.btnShot->convertRectToView(v.btnShot->bounds(), nullptr);
            host.tap({CGRectGetMidX(shutter), CGRectGetMidY(shutter)});
            for (int i = 0; i < 12 && photos() == before; ++i) settle(host, 1);
            EXPECT_EQ(photos(), before + 1) << "the tap on the shutter took no photo";
            ++shots;
        }
    };
    onEveryScreen(folders.root(), check, {{"notched", false}, {"notched", true}, {"tablet", true}});
    EXPECT_GT(shots, 0) << "no camera screen was shown";
}
