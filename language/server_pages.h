// The pages read from the maker's server: their paths, how a request is addressed, and how a reply
// carries its JSON payload (a "<!-- DRAVELINQT:payload-->" comment anywhere in a text page). Any
// server that answers these pages this way serves the application.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/runtime/value.h"

namespace server_pages {

// The more-apps list: query name, version, lang, p ("mac", "ipad" or "iphone"); a JSON array of
// objects with "title", "url" and "image".
inline constexpr std::string_view kMoreAppsPath = "/d/moreapps.php";
// The string table: query a, version, lang, p ("ipad" or "iphone"); a JSON object.
inline constexpr std::string_view kStringTablePath = "/d/lang.korvas.html";
// The tag of the payload comment (matched in any case by readers).
inline constexpr std::string_view kPayloadTag = "DRAVELINQT";

// The page on the configured download host.
std::string pageAddress(std::string_view path);
// "<address>?<query>", the query's keys and string values escaped.
std::string pageRequest(std::string_view address, const Value& query);
// The JSON payload of a reply, any kind; none when the page has no payload comment or the payload
// is not JSON.
std::optional<Value> replyPayload(std::string_view page);
// A reply page carrying the payload, as a server writes it.
std::string replyPage(const Value& payload);

}  // namespace server_pages
