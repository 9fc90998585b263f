// The main-thread hop for filtering.
#include "filter/filter_on_main.h"

#include "filter/filter_element.h"
#include "platform/dispatch/queue.h"
#include "platform/dispatch/run_loop.h"

void filterOnMainThread(std::shared_ptr<FilterElement> element, std::shared_ptr<CIImage> image,
                        std::function<void(std::shared_ptr<CIImage>)> completion) {
    auto run = [element = std::move(element), image = std::move(image), completion = std::move(completion)]() mutable {
        std::shared_ptr<CIImage> out = element ? element->make(image) : nullptr;
        auto done = std::move(completion);
        if (done) done(std::move(out));
    };
    if (RunLoop::isMainThread()) {
        run();
    } else {
        dispatch_async(dispatch_get_main_queue(), std::move(run));
    }
}
