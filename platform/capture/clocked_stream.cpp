// Clock-timed frame streams.
#include "platform/capture/clocked_stream.h"

#include <atomic>
#include <cmath>

#include "platform/dispatch/clock.h"
#include "platform/dispatch/queue.h"

namespace {

class ClockedStream : public CaptureStream {
public:
    struct State {
        std::atomic<bool> active{true};
        double start = 0, rate = 30;
        std::shared_ptr<CVPixelBufferPool> pool;
        CaptureFrameRenderer render;
        CaptureVideoSink sink;
        dispatch_queue_t queue;
    };

    explicit ClockedStream(std::shared_ptr<State> state) : state_(std::move(state)) {}
    ~ClockedStream() override { stop(); }

    static void tick(const std::shared_ptr<State>& s) {
        if (!s->active) return;
        double now = Clock::now();
        if (auto frame = s->pool->createPixelBuffer()) {
            s->render(*frame, now - s->start);
            s->sink(frame, CMTimeMakeWithSeconds(now, 1000000000));
        }
        double next = std::floor((Clock::now() - s->start) * s->rate + 1e-9) + 1;
        double delay = std::max(0.0, s->start + next / s->rate - Clock::now());
        s->queue->after(delay, [s] { tick(s); });
    }

    void stop() override {
        if (!state_->active.exchange(false)) return;
        // A frame being made finishes before stop returns.
        if (!state_->queue->isCurrent()) state_->queue->sync([] {});
    }

private:
    std::shared_ptr<State> state_;
};

}  // namespace

std::unique_ptr<CaptureStream> startClockedVideo(const std::string& label, CMVideoDimensions size, double frameRate,
                                                 CaptureFrameRenderer render, CaptureVideoSink sink) {
    auto s = std::make_shared<ClockedStream::State>();
    s->start = Clock::now();
    s->rate = frameRate;
    s->pool = CVPixelBufferPool::make(std::size_t(size.width), std::size_t(size.height));
    s->render = std::move(render);
    s->sink = std::move(sink);
    s->queue = DispatchQueue::serial(label);
    s->queue->async([s] { ClockedStream::tick(s); });
    return std::make_unique<ClockedStream>(s);
}
