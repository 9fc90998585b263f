// The camera's controllers in the application's registry.
#pragma once

#include <memory>

class UIStoryboard;

// Registers the camera screen under "ViewController", replacing the shell's stand-in.
void registerCameraControllers(const std::shared_ptr<UIStoryboard>& storyboard);
