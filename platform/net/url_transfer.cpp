// The transfer engine on libcurl: one easy handle per exchange, driven by a multi handle so that
// the quiet-spell time-out and cancellation are checked while waiting.
#include "platform/net/url_transfer.h"

#include <chrono>
#include <cstring>
#include <curl/curl.h>
#include <mutex>
#include <string>
#include <strings.h>
#include <vector>

#include "platform/net/url_error.h"

namespace {

using SteadyClock = std::chrono::steady_clock;

void initialiseCurl() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct Exchange {
    std::size_t maxBody = 0;
    bool tooLarge = false;
    Bytes body;
    std::vector<NSHTTPURLResponse::HeaderField> headers;
    SteadyClock::time_point lastActivity = SteadyClock::now();
    curl_off_t lastDown = 0;
    curl_off_t lastUp = 0;
};

std::size_t onBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto* exchange = static_cast<Exchange*>(user);
    // The bytes arrive decoded, so a small compressed reply that inflates past the cap stops
    // here as well; answering less than given ends the transfer.
    if (size * count > exchange->maxBody - exchange->body.size()) {
        exchange->tooLarge = true;
        return 0;
    }
    exchange->body.insert(exchange->body.end(), data, data + size * count);
    exchange->lastActivity = SteadyClock::now();
    return size * count;
}

std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* user) {
    auto* exchange = static_cast<Exchange*>(user);
    exchange->lastActivity = SteadyClock::now();
    std::string_view line(data, size * count);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    // Each status line starts a new reply (redirects, interim replies): keep only the last.
    if (line.rfind("HTTP/", 0) == 0) {
        exchange->headers.clear();
        exchange->body.clear();
        return size * count;
    }
    std::size_t colon = line.find(':');
    if (colon == std::string_view::npos || colon == 0) return size * count;
    std::string_view value = line.substr(colon + 1);
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
    exchange->headers.emplace_back(std::string(line.substr(0, colon)), std::string(value));
    return size * count;
}

int onProgress(void* user, curl_off_t, curl_off_t dlnow, curl_off_t, curl_off_t ulnow) {
    auto* exchange = static_cast<Exchange*>(user);
    if (dlnow != exchange->lastDown || ulnow != exchange->lastUp) {
        exchange->lastDown = dlnow;
        exchange->lastUp = ulnow;
        exchange->lastActivity = SteadyClock::now();
    }
    return 0;
}

NSURLErrorCode errorCodeFor(CURLcode code) {
    switch (code) {
        case CURLE_UNSUPPORTED_PROTOCOL: return NSURLErrorUnsupportedURL;
        case CURLE_URL_MALFORMAT: return NSURLErrorBadURL;
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_RESOLVE_PROXY: return NSURLErrorCannotFindHost;
        case CURLE_COULDNT_CONNECT: return NSURLErrorCannotConnectToHost;
        case CURLE_OPERATION_TIMEDOUT: return NSURLErrorTimedOut;
        case CURLE_TOO_MANY_REDIRECTS: return NSURLErrorHTTPTooManyRedirects;
        case CURLE_BAD_CONTENT_ENCODING: return NSURLErrorCannotDecodeContentData;
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_PEER_FAILED_VERIFICATION: return NSURLErrorSecureConnectionFailed;
        case CURLE_FILE_COULDNT_READ_FILE: return NSURLErrorFileDoesNotExist;
        case CURLE_GOT_NOTHING:
        case CURLE_RECV_ERROR:
        case CURLE_SEND_ERROR:
        case CURLE_PARTIAL_FILE: return NSURLErrorNetworkConnectionLost;
        case CURLE_WEIRD_SERVER_REPLY: return NSURLErrorBadServerResponse;
        case CURLE_ABORTED_BY_CALLBACK: return NSURLErrorCancelled;
        default: return NSURLErrorUnknown;
    }
}

std::string fileMimeType(const std::string& path) {
    std::size_t dot = path.rfind('.');
    std::string ext = dot == std::string::npos ? "" : path.substr(dot + 1);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ext == "txt") return "text/plain";
    if (ext == "html" || ext == "htm") return "text/html";
    if (ext == "json") return "application/json";
    if (ext == "jpg" || ext == "jpeg") return "image/jpeg";
    if (ext == "png") return "image/png";
    return "application/octet-stream";
}

// Owns the handles and the header list for one exchange.
struct Handles {
    CURL* easy = curl_easy_init();
    CURLM* multi = curl_multi_init();
    curl_slist* headers = nullptr;
    ~Handles() {
        if (multi && easy) curl_multi_remove_handle(multi, easy);
        if (easy) curl_easy_cleanup(easy);
        if (multi) curl_multi_cleanup(multi);
        curl_slist_free_all(headers);
    }
};

void configure(Handles& h, const NSURLRequest& request, const NSURL& url, Exchange& exchange) {
    CURL* easy = h.easy;
    curl_easy_setopt(easy, CURLOPT_URL, url.absoluteString().c_str());
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https,file");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, 16L);
    // An empty list asks for every coding the library decodes, and turns decoding on even when
    // the caller's own "Accept-Encoding" field replaces the one it would send.
    curl_easy_setopt(easy, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(easy, CURLOPT_USERAGENT, "Korva/1.0");
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, onBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &exchange);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, onHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &exchange);
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, onProgress);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, &exchange);
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
    // A declared length past the cap fails before any of the body is read.
    curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(request.maximumBodyLength()));

    const std::string& method = request.HTTPMethod();
    const Bytes& body = request.HTTPBody();
    bool sendsBody = method != "GET" && method != "HEAD";
    if (method == "HEAD") {
        curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
    } else if (sendsBody) {
        curl_easy_setopt(easy, CURLOPT_POST, 1L);
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
        curl_easy_setopt(easy, CURLOPT_COPYPOSTFIELDS, body.empty() ? "" : reinterpret_cast<const char*>(body.data()));
        if (method != "POST") curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, method.c_str());
    }

    bool expectSet = false;
    for (const auto& [name, value] : request.allHTTPHeaderFields()) {
        // The length is always the body's own: a hand-set value that disagrees would corrupt
        // the exchange, and one that agrees changes nothing.
        if (strcasecmp(name.c_str(), "Content-Length") == 0) continue;
        if (strcasecmp(name.c_str(), "Expect") == 0) expectSet = true;
        std::string line = value.empty() ? name + ";" : name + ": " + value;
        h.headers = curl_slist_append(h.headers, line.c_str());
    }
    if (sendsBody && !expectSet) h.headers = curl_slist_append(h.headers, "Expect:");
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, h.headers);
}

// A line break in a field would end it and start another of the sender's choosing.
std::optional<std::string> fieldWithLineBreak(const NSURLRequest& request) {
    for (const auto& [name, value] : request.allHTTPHeaderFields()) {
        if (name.find_first_of("\r\n") != std::string::npos || value.find_first_of("\r\n") != std::string::npos) return name;
    }
    return std::nullopt;
}

}  // namespace

URLLoadResult performURLRequest(const NSURLRequest& request, const std::atomic<bool>* cancelled) {
    URLLoadResult result;
    const std::shared_ptr<NSURL>& url = request.URL();
    if (!url) {
        result.error = makeURLError(NSURLErrorBadURL, "");
        return result;
    }
    const std::string& scheme = url->scheme();
    if (scheme != "http" && scheme != "https" && scheme != "file") {
        result.error = makeURLError(NSURLErrorUnsupportedURL, url->absoluteString());
        return result;
    }
    if (auto field = fieldWithLineBreak(request)) {
        result.error = makeURLError(NSURLErrorBadURL, url->absoluteString(),
                                    "the header field \"" + *field + "\" holds a line break");
        return result;
    }
    initialiseCurl();
    Handles handles;
    if (!handles.easy || !handles.multi) {
        result.error = makeURLError(NSURLErrorUnknown, url->absoluteString());
        return result;
    }
    Exchange exchange;
    exchange.maxBody = request.maximumBodyLength();
    configure(handles, request, *url, exchange);
    curl_multi_add_handle(handles.multi, handles.easy);

    const auto quietLimit = std::chrono::duration<double>(request.timeoutInterval() > 0 ? request.timeoutInterval() : 60.0);
    const auto totalLimit = std::chrono::duration<double>(
        request.totalTimeoutInterval() > 0 ? request.totalTimeoutInterval() : 4 * quietLimit.count());
    const SteadyClock::time_point started = SteadyClock::now();
    CURLcode outcome = CURLE_OK;
    bool finished = false;
    while (!finished) {
        int running = 0;
        if (curl_multi_perform(handles.multi, &running) != CURLM_OK) {
            outcome = CURLE_RECV_ERROR;
            break;
        }
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(handles.multi, &queued)) {
            if (message->msg == CURLMSG_DONE) {
                outcome = message->data.result;
                finished = true;
            }
        }
        if (finished) break;
        if (cancelled && cancelled->load()) {
            outcome = CURLE_ABORTED_BY_CALLBACK;
            break;
        }
        const SteadyClock::time_point now = SteadyClock::now();
        if (now - exchange.lastActivity > quietLimit || now - started > totalLimit) {
            outcome = CURLE_OPERATION_TIMEDOUT;
            break;
        }
        curl_multi_poll(handles.multi, nullptr, 0, 20, nullptr);
    }

    if (outcome != CURLE_OK) {
        if (exchange.tooLarge || outcome == CURLE_FILESIZE_EXCEEDED) {
            result.error = makeURLError(NSURLErrorDataLengthExceedsMaximum, url->absoluteString(),
                                        "the reply is larger than " + std::to_string(request.maximumBodyLength()) + " bytes");
        } else {
            result.error = makeURLError(errorCodeFor(outcome), url->absoluteString());
        }
        return result;
    }
    char* effective = nullptr;
    curl_easy_getinfo(handles.easy, CURLINFO_EFFECTIVE_URL, &effective);
    std::shared_ptr<NSURL> finalURL = effective ? NSURL::URLWithString(effective) : nullptr;
    if (!finalURL) finalURL = url;
    if (url->isFileURL()) {
        result.response = NSURLResponse::make(finalURL, fileMimeType(url->path()), static_cast<std::int64_t>(exchange.body.size()));
    } else {
        long status = 0;
        curl_easy_getinfo(handles.easy, CURLINFO_RESPONSE_CODE, &status);
        result.response = NSHTTPURLResponse::make(finalURL, static_cast<std::int64_t>(status), std::move(exchange.headers));
    }
    result.data = std::move(exchange.body);
    return result;
}
