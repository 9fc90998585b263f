// The page engine for web views, on a display: installs itself as the web views' engine when a
// display can be opened, and is stepped from the main run loop. Without a display (the headless
// host, a session without one) web views keep their text form. Main-thread only.
#pragma once

#include <optional>
#include <string>

namespace webengine {

// Opens the display (DISPLAY or WAYLAND_DISPLAY) with the engine's toolkit, sets the engine up to
// run without hardware acceleration and without its sandbox (these machines run as root), and
// installs it for the web views made from now on. Returns why it could not, or none once it is
// installed (again none on later calls).
std::optional<std::string> install();
bool installed();

}  // namespace webengine
