// The application main: makes the host from the environment, the delegate by class name, puts
// the controller registry's initial controller into the key window, finishes launching and runs
// the host. Main thread only.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/host/host.h"
#include "platform/runtime/result.h"
#include "platform/ui/app/ui_application.h"
#include "platform/ui/app/ui_window.h"

// Delegate classes the application main can make by name.
class UIApplicationDelegateClasses {
public:
    using Factory = std::function<std::shared_ptr<UIApplicationDelegate>()>;
    static void registerClass(const std::string& name, Factory factory);
    // None for a name nobody registered.
    static std::shared_ptr<UIApplicationDelegate> make(const std::string& name);
    static void clear();
};

// A launched application, not yet running its loop.
struct UIApplicationLaunch {
    std::unique_ptr<Host> host;
    std::shared_ptr<UIApplicationDelegate> delegate;
    std::shared_ptr<UIWindow> window;
};

// Everything the application main does before the loop. Fails when the delegate class is unknown;
// a registry without an initial controller leaves the window empty.
Result<UIApplicationLaunch> UIApplicationLaunchWithOptions(const HostOptions& options,
                                                           const std::string& delegateClassName);

// Options from the environment, launch, then the host's loop; the loop's exit code (1 when the
// launch failed). The arguments and principal class are accepted for the shape of the call.
int UIApplicationMain(int argc, char** argv, const std::string& principalClassName,
                      const std::string& delegateClassName);
