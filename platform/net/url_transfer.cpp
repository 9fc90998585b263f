// Loading into memory: the transfer engine with an observer that gathers the reply body.
#include "platform/net/url_transfer.h"

#include "platform/net/url_stream_transfer.h"

namespace {

class CollectingObserver : public URLTransferObserver {
public:
    bool transferDidReceiveData(const char* data, std::size_t size) override {
        body.insert(body.end(), data, data + size);
        return true;
    }
    Bytes body;
};

}  // namespace

URLLoadResult performURLRequest(const NSURLRequest& request, const std::atomic<bool>* cancelled) {
    URLTransferLimits limits = transferLimitsFor(request, request.timeoutInterval(), URLReplyDestination::Memory);
    limits.fileURLs = true;
    CollectingObserver observer;
    URLStreamResult outcome = performStreamingRequest(request, limits, observer, cancelled);
    URLLoadResult result;
    if (outcome.error) {
        result.error = std::move(outcome.error);
        return result;
    }
    result.response = std::move(outcome.response);
    result.data = std::move(observer.body);
    return result;
}
