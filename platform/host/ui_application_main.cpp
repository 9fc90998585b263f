// The application main and the delegate class registry.
#include "platform/host/ui_application_main.h"

#include <cstdio>
#include <map>

#include "platform/host/device_input.h"
#include "platform/host/program_ending.h"
#include "platform/runtime/printable_text.h"
#include "platform/ui/controller/ui_storyboard.h"

namespace {
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
    if (!fallback.empty()) {
        // A window asked for by name is a window or a failure, never a quiet headless run.
        if (options.kindNamed) return fail("KORVA_HOST=window, but no window: " + fallback);
        std::printf("korva: no window (%s); running headless\n", printableText(fallback).c_str());
    }
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
    ProgramEnding::installSignalHandlers();
    ProgramEnding::watchTheEnd();
    HostOptions options = HostOptions::fromEnvironment();
    // The options quote the environment's values, which may hold anything: what reaches the
    // terminal is spelled out.
    for (const auto& warning : options.warnings) std::fprintf(stderr, "korva: %s\n", printableText(warning).c_str());
    auto launched = UIApplicationLaunchWithOptions(options, delegateClassName);
    if (!launched.ok()) {
        std::fprintf(stderr, "korva: %s\n", printableText(launched.error()).c_str());
        return 1;
    }
    auto& host = *launched.value().host;
    std::printf("korva: started the %s\n", printableText(host.options().summary()).c_str());
    std::fflush(stdout);
    ProgramEnding::loopRunning();
    int code = host.run();
    auto request = ProgramEnding::requested();
    if (request && request->status != 0) {
        std::fprintf(stderr, "korva: %s; ending\n", printableText(request->why).c_str());
        code = request->status;
    }
    bool finished = ProgramEnding::finish(host);
    if (host.kind() == HostKind::Headless)
        std::printf("korva: headless host drew one %dx%d frame; exiting\n", host.compositor().pixelWidth(),
                    host.compositor().pixelHeight());
    stopDeviceServices();
    return ProgramEnding::leave(code, finished);
}
