// The X display under the window: reaching it within a time limit, and hearing of a connection
// that breaks instead of letting the X library end the process. Main thread.
#pragma once

#include <functional>
#include <optional>
#include <string>

struct SDL_Window;

namespace xdisplay {

// How long reaching the display may take before it counts as not there.
constexpr double kAnswerSeconds = 4;

// None when the display `name` answers within `seconds`; otherwise why not, naming it. A display
// that never answers leaves a thread waiting on it for the rest of the process.
std::optional<std::string> reach(const std::string& name, double seconds = kAnswerSeconds);

// From now on a broken connection on any of the process's displays calls `lost` with the
// display's name, once, and the X library goes on with calls that fail, where its default would
// end the process from inside whatever call noticed. Nothing is watched for a window on
// another kind of display.
void watch(SDL_Window* window, std::function<void(const std::string& display)> lost);

// Whether a connection broke since watch().
bool lost();

}  // namespace xdisplay
