// Local identifiers of assets: a random UUID with the platform's "/L0/001" suffix.
#pragma once

#include <string>

std::string makeAssetIdentifier();
