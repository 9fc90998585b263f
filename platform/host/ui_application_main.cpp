// The application main and the delegate class registry.
#include "platform/host/ui_application_main.h"

#include <cstdio>
#include <map>

#include "platform/dispatch/queue.h"
#include "platform/host/device_input.h"
#include "platform/ui/controller/ui_storyboard.h"

namespace {
// How long the end of the program waits for background work (a large photo's save takes a
// second or two on a slow machine).
constexpr double kExitGraceSeconds = 10;

std::map<std::string, UIApplicationDelegateClasses::Factory>& delegateClasses() {
    static std::map<std::string, UIApplicationDelegateClasses::Factory> classes;
    return classes;
}
}  // namespace

void UIApplicationDelegateClasses::registerClass(const std::string& name, Factory factory) {
    if (name.empty() || !factory) return;
    delegateClasses()[name] = std::move(factory);
}

std::shared_ptr<UIApplicationDelegate> UIApplicationDelegateClasses::make(const std::string& name) {
    auto it = delegateClasses().find(name);
    return it == delegateClasses().end() ? nullptr : it->second();
}

void UIApplicationDelegateClasses::clear() {
    delegateClasses().clear();
}

Result<UIApplicationLaunch> UIApplicationLaunchWithOptions(const HostOptions& options,
                                                           const std::string& delegateClassName) {
    auto delegate = UIApplicationDelegateClasses::make(delegateClassName);
    if (!delegate) return fail("no application delegate class named \"" + delegateClassName + "\"");

    std::string fallback;
    UIApplicationLaunch launch;
    launch.host = Host::create(options, &fallback);
    if (!fallback.empty()) std::printf("korva: no window (%s); running headless\n", fallback.c_str());
    launch.delegate = delegate;

    auto app = UIApplication::sharedApplication();
    app->setDelegate(delegate);
    launch.window = UIWindow::make();
    delegate->setWindow(launch.window);
    if (auto root = UIStoryboard::mainStoryboard()->instantiateInitialViewController())
        launch.window->setRootViewController(root);
    launch.window->makeKeyAndVisible();
    app->finishLaunching();
    return launch;
}

int UIApplicationMain(int /*argc*/, char** /*argv*/, const std::string& /*principalClassName*/,
                      const std::string& delegateClassName) {
    HostOptions options = HostOptions::fromEnvironment();
    for (const auto& warning : options.warnings) std::fprintf(stderr, "korva: %s\n", warning.c_str());
    auto launched = UIApplicationLaunchWithOptions(options, delegateClassName);
    if (!launched.ok()) {
        std::fprintf(stderr, "korva: %s\n", launched.error().c_str());
        return 1;
    }
    auto& host = *launched.value().host;
    std::printf("korva: started the %s\n", host.options().summary().c_str());
    std::fflush(stdout);
    int code = host.run();
    // Work still running on background queues (a photo being saved, the camera's last settings)
    // finishes before the process tears down what it uses; work stuck for longer is left to end
    // with the process.
    if (!DispatchQueue::waitUntilBackgroundIdleFor(kExitGraceSeconds))
        std::fprintf(stderr, "korva: background work still running after %.0f s; exiting without it\n",
                     kExitGraceSeconds);
    if (host.kind() == HostKind::Headless)
        std::printf("korva: headless host drew one %dx%d frame; exiting\n", host.compositor().pixelWidth(),
                    host.compositor().pixelHeight());
    stopDeviceServices();
    return code;
}
