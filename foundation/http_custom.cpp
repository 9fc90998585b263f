// HTTP helpers: request building with the fixed header sets, synchronous sends and the
// asynchronous data tasks whose handlers hop to the main queue.
#include "foundation/http_custom.h"

#include "foundation/data_custom.h"
#include "foundation/dictionary_custom.h"
#include "foundation/global.h"
#include "foundation/service_factory.h"
#include "foundation/string_custom_paths.h"
#include "foundation/upload_service.h"
#include "platform/dispatch/queue.h"
#include "platform/net/url_contents.h"
#include "platform/net/url_error.h"

namespace {

constexpr const char* kBrowserAccept = "text/html,application/xhtml+xml,application/xml;q=0.9,image/webp,*/*;q=0.8";
constexpr const char* kBrowserAgent =
    "Mozilla/5.0 (Macintosh; Intel Mac OS X 10_8_5) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/48.0.2564.116 "
    "Safari/537.36";

// The browser-like set in its fixed order; `full` adds the fields only the asynchronous GET sends.
void setBrowserHeaders(NSURLRequest& request, bool full) {
    request.setValue(request.URL() ? request.URL()->host() : std::string(), "Host");
    request.setValue("keep-alive", "Connection");
    request.setValue("no-cache", "Pragma");
    request.setValue("no-cache", "Cache-Control");
    request.setValue(kBrowserAccept, "Accept");
    request.setValue("1", "Upgrade-Insecure-Requests");
    if (full) request.setValue(kBrowserAgent, "User-Agent");
    request.setValue("gzip, deflate, sdch", "Accept-Encoding");
    if (full) request.setValue("ko-KR,ko;q=0.8,en-US;q=0.6,en;q=0.4", "Accept-Language");
    request.setValue(
        "ID=" + generateRandomString(16) + ":U=" + generateRandomString(16) + ":S=" + generateRandomString(12),
        "Cookie");
}

// The caller's fields after the fixed ones, so that a caller's field replaces a fixed one.
// Text values are sent as they are, numbers as their text; other kinds cannot be a field.
void setCallerHeaders(NSURLRequest& request, const Value& headers) {
    const ValueDictionary* fields = headers.dictionaryPtr();
    if (!fields) return;
    for (const auto& [name, value] : *fields) {
        if (value.isString()) {
            request.setValue(*value.string(), name);
        } else if (value.isNumber()) {
            request.setValue(value.stringValue(), name);
        }
    }
}

std::optional<std::string> asText(const std::optional<Bytes>& data) {
    if (!data) return std::nullopt;
    return string_utf8(*data);
}

std::string decimalLength(std::size_t length) {
    return std::to_string(length);
}

void deliverOnMain(HTTPHandler handler, std::optional<Bytes> data, std::shared_ptr<NSURLResponse> response,
                   std::shared_ptr<NSError> error) {
    if (!handler) return;
    dispatch_async(dispatch_get_main_queue(), [handler = std::move(handler), data = std::move(data),
                                               response = std::move(response), error = std::move(error)]() mutable {
        HTTPHandler call = std::move(handler);
        call(std::move(data), std::move(response), std::move(error));
    });
}

NSURLRequest postRequest(std::string_view url, std::string_view contentType, Bytes body) {
    NSURLRequest request(NSURL::URLWithString(url));
    request.setValue(contentType, "Content-Type");
    request.setHTTPMethod("POST");
    request.setHTTPBody(std::move(body));
    return request;
}

}  // namespace

std::optional<std::string> loadHTML(std::string_view url) {
    auto parsed = NSURL::URLWithString(url);
    if (!parsed) return std::nullopt;
    Result<std::string> text = stringWithContentsOfURL(parsed);
    if (!text) return std::nullopt;
    return std::move(text).value();
}

std::optional<Bytes> loadHTML2_data(std::string_view url, const Value& headers) {
    auto parsed = NSURL::URLWithString(url);
    if (!parsed) return std::nullopt;
    NSURLRequest request(parsed);
    setBrowserHeaders(request, false);
    setCallerHeaders(request, headers);
    URLSyncReply reply = sendSynchronousRequest(request);
    if (reply.error || !reply.data || reply.data->empty()) return std::nullopt;
    return std::move(reply.data);
}

std::optional<std::string> loadHTML2(std::string_view url, const Value& headers) {
    return asText(loadHTML2_data(url, headers));
}

std::optional<std::string> httpGET_sync(std::string_view url, const Value& headers) {
    std::optional<std::string> text = loadHTML2(url, headers);
    if (text && !text->empty()) return text;
    return loadHTML(url);
}

std::optional<Bytes> httpPOST_sync0(std::string_view url, const Value& headers, const Bytes& body) {
    auto parsed = NSURL::URLWithString(url);
    if (!parsed) return std::nullopt;
    NSURLRequest request(parsed);
    request.setHTTPMethod("POST");
    request.setValue(decimalLength(body.size()), "Content-Length");
    request.setValue("Mozilla/4.0 (compatible)", "User-Agent");
    setCallerHeaders(request, headers);
    request.setHTTPBody(body);
    request.setTimeoutInterval(30.0);
    return sendSynchronousRequest(request).data;
}

std::optional<std::string> httpPOST_sync(std::string_view url, const Value& headers, const Bytes& body) {
    return asText(httpPOST_sync0(url, headers, body));
}

std::optional<Bytes> httpGraphQL_sync0(std::string_view url, std::string_view query, const Value& variables) {
    auto parsed = NSURL::URLWithString(url);
    if (!parsed) return std::nullopt;
    std::optional<Bytes> body = jsonData(Value::dictionary({{"query", Value(query)}, {"variables", variables}}));
    // A value that cannot be written as JSON leaves nothing to send.
    if (!body) return std::nullopt;
    NSURLRequest request(parsed);
    request.setHTTPMethod("POST");
    request.setValue(decimalLength(body->size()), "Content-Length");
    request.setValue("application/json", "Content-Type");
    request.setHTTPBody(std::move(*body));
    request.setTimeoutInterval(30.0);
    return sendSynchronousRequest(request).data;
}

std::optional<std::string> httpGraphQL_sync(std::string_view url, std::string_view query, const Value& variables) {
    return asText(httpGraphQL_sync0(url, query, variables));
}

void httpGET0(NSURLRequest request, HTTPHandler handler) {
    auto task = NSURLSession::sharedSession()->dataTaskWithRequest(
        std::move(request),
        [handler = std::move(handler)](std::optional<Bytes> data, std::shared_ptr<NSURLResponse> response,
                                       std::shared_ptr<NSError> error) mutable {
            deliverOnMain(std::move(handler), std::move(data), std::move(response), std::move(error));
        });
    task->resume();
}

void httpGET1(std::string_view url, HTTPHandler handler) {
    httpGET0(NSURLRequest(NSURL::URLWithString(url)), std::move(handler));
}

void httpGET2(std::string_view url, HTTPHandler handler) {
    NSURLRequest request(NSURL::URLWithString(url));
    setBrowserHeaders(request, true);
    httpGET0(std::move(request), std::move(handler));
}

void httpGET12(std::string_view url, HTTPHandler handler) {
    httpGET1(url, [url = std::string(url), handler = std::move(handler)](std::optional<Bytes> data,
                                                                         std::shared_ptr<NSURLResponse> response,
                                                                         std::shared_ptr<NSError> error) mutable {
        if (data && !data->empty()) {
            HTTPHandler call = std::move(handler);
            if (call) call(std::move(data), std::move(response), std::move(error));
            return;
        }
        httpGET2(url, std::move(handler));
    });
}

void httpGET(std::string_view url, const Value& headers, HTTPHandler handler) {
    if (headers.count() == 0 || !headers.isDictionary()) {
        httpGET12(url, std::move(handler));
        return;
    }
    NSURLRequest request(NSURL::URLWithString(url));
    setCallerHeaders(request, headers);
    httpGET0(std::move(request), std::move(handler));
}

void httpPOST1(std::string_view url, std::string_view contentType, Bytes body, HTTPHandler handler) {
    httpGET0(postRequest(url, contentType, std::move(body)), std::move(handler));
}

void httpPOST2(std::string_view url, std::string_view contentType, Bytes body, bool noti, HTTPHandler handler) {
    NSURLRequest request = postRequest(url, contentType, std::move(body));
    std::shared_ptr<UploadService> host = Global::shared()->upload();
    if (!host) {
        deliverOnMain(std::move(handler), std::nullopt, nullptr, makeURLError(NSURLErrorUnknown, std::string(url)));
        return;
    }
    if (auto task = host->request(std::move(request), noti, std::move(handler))) task->resume();
}
