// The transfer engine: an easy handle driven by a multi handle, so that the time-outs and
// cancellation are checked while waiting; every callback hands its piece on at once.
#include "platform/net/url_stream_transfer.h"

#include <curl/curl.h>
#include <strings.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "platform/net/url_error.h"

namespace {

using SteadyClock = std::chrono::steady_clock;

void initialiseCurl() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
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

struct StreamExchange {
    CURL* easy = nullptr;
    URLTransferObserver* observer = nullptr;
    std::shared_ptr<NSURL> requestURL;
    std::vector<NSHTTPURLResponse::HeaderField> headers;
    std::shared_ptr<NSURLResponse> response;
    bool refused = false;
    std::optional<std::size_t> maximumBody;
    std::size_t received = 0;
    bool tooLarge = false;
    SteadyClock::time_point lastActivity = SteadyClock::now();
    curl_off_t lastDown = 0;
    curl_off_t lastUp = 0;
    const Bytes* upload = nullptr;
    std::size_t uploadOffset = 0;

    // The final reply's head, made once from the last status line's fields.
    const std::shared_ptr<NSURLResponse>& head() {
        if (response) return response;
        char* effective = nullptr;
        curl_easy_getinfo(easy, CURLINFO_EFFECTIVE_URL, &effective);
        std::shared_ptr<NSURL> finalURL = effective ? NSURL::URLWithString(effective) : nullptr;
        if (!finalURL) finalURL = requestURL;
        if (requestURL->isFileURL()) {
            curl_off_t length = -1;
            curl_easy_getinfo(easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
            response =
                NSURLResponse::make(finalURL, fileMimeType(requestURL->path()), static_cast<std::int64_t>(length));
        } else {
            long status = 0;
            curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
            response = NSHTTPURLResponse::make(finalURL, static_cast<std::int64_t>(status), headers);
        }
        if (!observer->transferDidReceiveResponse(response)) refused = true;
        return response;
    }
};

std::size_t onBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto* exchange = static_cast<StreamExchange*>(user);
    exchange->lastActivity = SteadyClock::now();
    exchange->head();
    if (exchange->refused) return 0;
    // The bytes arrive decoded, so a small compressed reply that inflates past the cap stops
    // here as well; answering less than given ends the transfer.
    if (exchange->maximumBody && size * count > *exchange->maximumBody - exchange->received) {
        exchange->tooLarge = true;
        return 0;
    }
    exchange->received += size * count;
    if (!exchange->observer->transferDidReceiveData(data, size * count)) {
        exchange->refused = true;
        return 0;
    }
    return size * count;
}

std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* user) {
    auto* exchange = static_cast<StreamExchange*>(user);
    exchange->lastActivity = SteadyClock::now();
    std::string_view line(data, size * count);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    // Each status line starts a new reply (redirects, interim replies): keep only the last.
    if (line.rfind("HTTP/", 0) == 0) {
        exchange->headers.clear();
        return size * count;
    }
    std::size_t colon = line.find(':');
    if (colon == std::string_view::npos || colon == 0) return size * count;
    std::string_view value = line.substr(colon + 1);
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
    exchange->headers.emplace_back(std::string(line.substr(0, colon)), std::string(value));
    return size * count;
}

std::size_t onUploadRead(char* buffer, std::size_t size, std::size_t count, void* user) {
    auto* exchange = static_cast<StreamExchange*>(user);
    const Bytes& body = *exchange->upload;
    std::size_t n = std::min(size * count, body.size() - exchange->uploadOffset);
    if (n > 0) std::memcpy(buffer, body.data() + exchange->uploadOffset, n);
    exchange->uploadOffset += n;
    return n;
}

// A redirect that keeps the method (307, 308) sends the body again from its start.
int onUploadSeek(void* user, curl_off_t offset, int origin) {
    auto* exchange = static_cast<StreamExchange*>(user);
    if (origin != SEEK_SET || offset < 0 || static_cast<std::size_t>(offset) > exchange->upload->size())
        return CURL_SEEKFUNC_CANTSEEK;
    exchange->uploadOffset = static_cast<std::size_t>(offset);
    return CURL_SEEKFUNC_OK;
}

int onProgress(void* user, curl_off_t, curl_off_t dlnow, curl_off_t, curl_off_t ulnow) {
    auto* exchange = static_cast<StreamExchange*>(user);
    if (dlnow != exchange->lastDown || ulnow != exchange->lastUp) {
        exchange->lastActivity = SteadyClock::now();
        if (ulnow != exchange->lastUp) exchange->observer->transferDidSend(static_cast<std::int64_t>(ulnow));
        exchange->lastDown = dlnow;
        exchange->lastUp = ulnow;
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

// Owns the handles and the header list for one exchange.
struct StreamHandles {
    CURL* easy = curl_easy_init();
    CURLM* multi = curl_multi_init();
    curl_slist* headers = nullptr;
    ~StreamHandles() {
        if (multi && easy) curl_multi_remove_handle(multi, easy);
        if (easy) curl_easy_cleanup(easy);
        if (multi) curl_multi_cleanup(multi);
        curl_slist_free_all(headers);
    }
};

void configureStream(StreamHandles& h, const NSURLRequest& request, const URLTransferLimits& limits,
                     StreamExchange& exchange, const std::optional<URLUploadBody>& upload) {
    CURL* easy = h.easy;
    curl_easy_setopt(easy, CURLOPT_URL, request.URL()->absoluteString().c_str());
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, limits.fileURLs ? "http,https,file" : "http,https");
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
    if (limits.maximumBody)
        curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(*limits.maximumBody));

    const std::string& method = request.HTTPMethod();
    bool sendsBody = method != "GET" && method != "HEAD";
    if (method == "HEAD") {
        curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
    } else if (sendsBody) {
        exchange.upload = upload && upload->bytes ? upload->bytes : &request.HTTPBody();
        curl_easy_setopt(easy, CURLOPT_POST, 1L);
        curl_easy_setopt(easy, CURLOPT_READFUNCTION, onUploadRead);
        curl_easy_setopt(easy, CURLOPT_READDATA, &exchange);
        curl_easy_setopt(easy, CURLOPT_SEEKFUNCTION, onUploadSeek);
        curl_easy_setopt(easy, CURLOPT_SEEKDATA, &exchange);
        if (!upload || upload->lengthKnown) {
            curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(exchange.upload->size()));
        } else {
            h.headers = curl_slist_append(h.headers, "Transfer-Encoding: chunked");
        }
        if (method != "POST") curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, method.c_str());
    }

    bool expectSet = false;
    for (const auto& [name, value] : request.allHTTPHeaderFields()) {
        // The length and the framing are always the body's own: a hand-set value that disagrees
        // would corrupt the exchange, and one that agrees changes nothing.
        if (strcasecmp(name.c_str(), "Content-Length") == 0 || strcasecmp(name.c_str(), "Transfer-Encoding") == 0)
            continue;
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
        if (name.find_first_of("\r\n") != std::string::npos || value.find_first_of("\r\n") != std::string::npos)
            return name;
    }
    return std::nullopt;
}

// A method is one token: a line break, a space or a control character would let it write the
// rest of the request line, or further lines, of the sender's choosing.
bool isMethodToken(const std::string& method) {
    if (method.empty()) return false;
    for (unsigned char c : method)
        if (c <= 0x20 || c >= 0x7F) return false;
    return true;
}

// Runs the exchange until it ends, is cancelled or passes a time limit.
CURLcode drive(StreamHandles& handles, const StreamExchange& exchange, const URLTransferLimits& limits,
               const std::atomic<bool>* cancelled) {
    const auto quiet = std::chrono::duration<double>(limits.quiet > 0 ? limits.quiet : 60.0);
    const auto total = std::chrono::duration<double>(limits.total > 0 ? limits.total : 4 * quiet.count());
    const SteadyClock::time_point started = SteadyClock::now();
    while (true) {
        int running = 0;
        if (curl_multi_perform(handles.multi, &running) != CURLM_OK) return CURLE_RECV_ERROR;
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(handles.multi, &queued)) {
            if (message->msg == CURLMSG_DONE) return message->data.result;
        }
        if (cancelled && cancelled->load()) return CURLE_ABORTED_BY_CALLBACK;
        const SteadyClock::time_point now = SteadyClock::now();
        if (now - exchange.lastActivity > quiet || now - started > total) return CURLE_OPERATION_TIMEDOUT;
        curl_multi_poll(handles.multi, nullptr, 0, 20, nullptr);
    }
}

}  // namespace

URLTransferLimits transferLimitsFor(const NSURLRequest& request, double quietLimit, URLReplyDestination destination) {
    URLTransferLimits limits;
    limits.quiet = quietLimit > 0 ? quietLimit : 60.0;
    limits.total = request.setsTotalTimeoutInterval() && request.totalTimeoutInterval() > 0
                       ? request.totalTimeoutInterval()
                       : 4 * limits.quiet;
    limits.maximumBody = destination == URLReplyDestination::Memory || request.setsMaximumBodyLength()
                             ? request.maximumBodyLength()
                             : NSURLRequest::defaultDownloadBodyLimit();
    return limits;
}

URLStreamResult performStreamingRequest(const NSURLRequest& request, const URLTransferLimits& limits,
                                        URLTransferObserver& observer, const std::atomic<bool>* cancelled,
                                        std::optional<URLUploadBody> upload) {
    URLStreamResult result;
    const std::shared_ptr<NSURL>& url = request.URL();
    if (!url) {
        result.error = makeURLError(NSURLErrorBadURL, "");
        return result;
    }
    const std::string& scheme = url->scheme();
    if (scheme != "http" && scheme != "https" && !(limits.fileURLs && scheme == "file")) {
        result.error = makeURLError(NSURLErrorUnsupportedURL, url->absoluteString());
        return result;
    }
    if (!isMethodToken(request.HTTPMethod())) {
        result.error = makeURLError(NSURLErrorBadURL, url->absoluteString(),
                                    "the request method holds a line break, a space or a control character");
        return result;
    }
    if (auto field = fieldWithLineBreak(request)) {
        result.error = makeURLError(NSURLErrorBadURL, url->absoluteString(),
                                    "the header field \"" + *field + "\" holds a line break");
        return result;
    }
    initialiseCurl();
    StreamHandles handles;
    if (!handles.easy || !handles.multi) {
        result.error = makeURLError(NSURLErrorUnknown, url->absoluteString());
        return result;
    }
    StreamExchange exchange;
    exchange.easy = handles.easy;
    exchange.observer = &observer;
    exchange.requestURL = url;
    exchange.maximumBody = limits.maximumBody;
    configureStream(handles, request, limits, exchange, upload);
    curl_multi_add_handle(handles.multi, handles.easy);
    CURLcode outcome = drive(handles, exchange, limits, cancelled);

    // A reply without a body still has its head.
    if (outcome == CURLE_OK && !exchange.refused) exchange.head();
    result.response = exchange.response;
    if (exchange.refused) {
        result.error = observer.refusal ? observer.refusal : makeURLError(NSURLErrorCancelled, url->absoluteString());
    } else if (cancelled && cancelled->load() && outcome != CURLE_OK) {
        result.error = makeURLError(NSURLErrorCancelled, url->absoluteString());
    } else if (exchange.tooLarge || outcome == CURLE_FILESIZE_EXCEEDED) {
        result.error =
            makeURLError(NSURLErrorDataLengthExceedsMaximum, url->absoluteString(),
                         "the reply is larger than " + std::to_string(limits.maximumBody.value_or(0)) + " bytes");
    } else if (outcome != CURLE_OK) {
        result.error = makeURLError(errorCodeFor(outcome), url->absoluteString());
    }
    if (upload || request.HTTPMethod() != "GET")
        observer.transferDidSend(static_cast<std::int64_t>(exchange.uploadOffset));
    return result;
}
