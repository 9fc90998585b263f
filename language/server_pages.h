// The pages read from the maker's server: their paths, how a request is addressed, and how a reply
// carries its JSON payload (a "<!-- DRAVELINQT:payload-->" comment anywhere in a text page). Any
// server that answers these pages this way serves the application.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/dispatch/queue.h"
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

// Runs `read` on a background queue and hands its result to `done` on the main queue: reading a
// payload out of a page a server sent may take seconds even with the bounded expressions, and
// the main queue must not wait for it.
template <class T>
void readOffMainQueue(std::function<T()> read, std::function<void(T)> done) {
    dispatch_async(dispatch_get_global_queue(), [read = std::move(read), done = std::move(done)]() mutable {
        T result = read();
        dispatch_async(dispatch_get_main_queue(), [done = std::move(done), result = std::move(result)]() mutable {
            if (done) done(std::move(result));
        });
    });
}

}  // namespace server_pages
