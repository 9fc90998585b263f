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
// The same, put off until the first web view asks for the engine (the toolkit and the engine
// hold tens of megabytes from their start); returns why it cannot be installed only where there
// is no display at all. A toolkit that then cannot start leaves the web views in their text form.
std::optional<std::string> installOnFirstUse();
bool installed();

}  // namespace webengine
