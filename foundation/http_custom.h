// HTTP helpers every server exchange goes through: synchronous and asynchronous GET, POST and
// a JSON query POST, with the browser-like header set of the fallback GET.
//
// Synchronous helpers block the calling thread (background threads only). Asynchronous ones
// may be called from any thread; their handler runs exactly once, later, on the main queue.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/net/url_session.h"
#include "platform/runtime/value.h"

// (data, response, error): data none and an error on failure.
using HTTPHandler = URLCompletion;

// The page as text in the encoding detected from the reply; none on any error.
std::optional<std::string> loadHTML(std::string_view url);
// GET with the browser-like header set and then the caller's fields (a string dictionary, may
// be null). None for an invalid URL, a failed exchange, or no or empty data.
std::optional<Bytes> loadHTML2_data(std::string_view url, const Value& headers);
// The same as UTF-8 text; none when the data is none or not UTF-8.
std::optional<std::string> loadHTML2(std::string_view url, const Value& headers);
inline std::optional<Bytes> httpGET_sync0(std::string_view url, const Value& headers) {
    return loadHTML2_data(url, headers);
}
// loadHTML2, and when that gives none or empty text, loadHTML of the same address.
std::optional<std::string> httpGET_sync(std::string_view url, const Value& headers);

// POST with "Content-Length", "User-Agent: Mozilla/4.0 (compatible)" and then the caller's
// fields; 30 s time-out. The reply body whatever the status; none when no data came back or
// the URL is invalid.
std::optional<Bytes> httpPOST_sync0(std::string_view url, const Value& headers, const Bytes& body);
std::optional<std::string> httpPOST_sync(std::string_view url, const Value& headers, const Bytes& body);
// POST of {"query": query, "variables": variables} as compact JSON; 30 s time-out.
std::optional<Bytes> httpGraphQL_sync0(std::string_view url, std::string_view query, const Value& variables);
std::optional<std::string> httpGraphQL_sync(std::string_view url, std::string_view query, const Value& variables);

// Sends the request as given.
void httpGET0(NSURLRequest request, HTTPHandler handler);
// A plain GET with no header fields of its own.
void httpGET1(std::string_view url, HTTPHandler handler);
// A GET with the browser-like header set.
void httpGET2(std::string_view url, HTTPHandler handler);
// httpGET1, then httpGET2 once when the first brought no or empty data.
void httpGET12(std::string_view url, HTTPHandler handler);
// An empty or null dictionary: httpGET12; else a GET with exactly the given fields.
void httpGET(std::string_view url, const Value& headers, HTTPHandler handler);
// A POST with "Content-Type" and the body.
void httpPOST1(std::string_view url, std::string_view contentType, Bytes body, HTTPHandler handler);
// The same request handed to the application's upload service; without one the handler gets
// an error.
void httpPOST2(std::string_view url, std::string_view contentType, Bytes body, bool noti, HTTPHandler handler);
