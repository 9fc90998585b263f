// A ten-frame clip at 10 frames a second, 64x48: five red frames, then five blue. Returns its
// path, or "" when it could not be written.
#pragma once

#include <string>

std::string writeTestClip();
