// LocalSearch: the installed provider, or an empty answer.
#include "capture/local_search.h"

#include <memory>
#include <mutex>

#include "platform/dispatch/queue.h"

namespace {
std::mutex providerMutex;
LocalSearch::Provider provider;
}  // namespace

void LocalSearch::setProvider(Provider p) {
    std::lock_guard lock(providerMutex);
    provider = std::move(p);
}

void LocalSearch::start(const LocalSearchRequest& request, Answer answer) {
    Provider current;
    {
        std::lock_guard lock(providerMutex);
        current = provider;
    }
    auto once = std::make_shared<Answer>(std::move(answer));
    auto deliver = [once](std::vector<MapItem> items) {
        dispatch_async(dispatch_get_main_queue(), [once, items = std::move(items)]() mutable {
            auto a = std::move(*once);
            *once = nullptr;
            if (a) a(std::move(items));
        });
    };
    if (!current) return deliver({});
    current(request, deliver);
}
