// Shutter times as photographers write them: whole seconds, or the nearest of the common
// fractions (1/2, 3/5, 2/3, 3/4, 4/5) and of 1/n.
#pragma once

#include <string>

std::string shutterLabel(float seconds);
