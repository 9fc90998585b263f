// Additions to URL responses for page scrapers: the redirect target and the text encoding.
#pragma once

#include <optional>
#include <string>

#include "platform/net/url_contents.h"
#include "platform/net/url_response.h"

// The "Location" header field of an HTTP response; none for other responses or without one.
std::optional<std::string> location(const NSURLResponse& response);
// Pages are read as UTF-8 whatever charset the response names.
NSStringEncoding encoding(const NSURLResponse& response);
