// The application's controller registry and delegate class, filled at start-up.
#pragma once

#include <memory>

class UIStoryboard;

// Registers the shell's controllers ("RootController", the initial one, "MainController",
// "ViewController", the web screen "MyWebController" and the side-bar root "RootControllerBase")
// and the delegate class "AppDelegate".
void registerAppControllers(const std::shared_ptr<UIStoryboard>& storyboard);
