// What an address field makes of typed text: an address as typed when it names a scheme, a host
// with "http://" in front, or a web search for anything that is not an address.
#pragma once

#include <string>
#include <string_view>

// The web search host of the bundle's configuration.
std::string webSearchHost();
std::string addressFromTypedText(std::string_view typed, std::string_view searchHost);
