// The third-party components Korva is built with and ships (libraries and fonts), in the order
// the licences screen lists them; each has its licence text as a "txt" resource in the bundle's
// "licenses" folder.
#pragma once

#include <string>
#include <vector>

const std::vector<std::string>& thirdPartyComponents();
