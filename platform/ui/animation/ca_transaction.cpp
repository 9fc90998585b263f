// The stack of open transactions and their completion groups.
#include "platform/ui/animation/ca_transaction.h"

#include "platform/dispatch/run_loop.h"
#include "platform/ui/animation/ca_animation_engine.h"

namespace {

constexpr double kDefaultDuration = 0.25;

struct Frame {
    double duration = kDefaultDuration;
    bool durationSet = false;
    std::shared_ptr<CAMediaTimingFunction> timing;
    bool disableActions = false;
    std::shared_ptr<CAAnimationCompletionGroup> group;
};

std::vector<Frame>& frames() {
    static std::vector<Frame> stack;
    return stack;
}

void runLater(std::function<void(bool)> completion) {
    if (!completion) return;
    RunLoop::main().perform([completion = std::move(completion)] { completion(true); });
}

}  // namespace

void CATransaction::begin() {
    Frame f;
    // Nested transactions inherit the enclosing settings.
    if (!frames().empty()) {
        const Frame& outer = frames().back();
        f.duration = outer.duration;
        f.timing = outer.timing;
        f.disableActions = outer.disableActions;
    }
    frames().push_back(std::move(f));
}

void CATransaction::commit() {
    if (frames().empty()) return;
    Frame f = std::move(frames().back());
    frames().pop_back();
    if (auto g = f.group) {
        g->committed = true;
        if (g->pending == 0 && !g->done) {
            g->done = true;
            runLater(std::move(g->completion));
        }
    }
    if (frames().empty()) CAAnimationEngine::update();
}

void CATransaction::flush() {
    CAAnimationEngine::update();
}

double CATransaction::animationDuration() {
    return frames().empty() ? kDefaultDuration : frames().back().duration;
}

void CATransaction::setAnimationDuration(double seconds) {
    if (frames().empty()) return;
    frames().back().duration = seconds;
    frames().back().durationSet = true;
}

std::shared_ptr<CAMediaTimingFunction> CATransaction::animationTimingFunction() {
    return frames().empty() ? nullptr : frames().back().timing;
}

void CATransaction::setAnimationTimingFunction(std::shared_ptr<CAMediaTimingFunction> function) {
    if (!frames().empty()) frames().back().timing = std::move(function);
}

bool CATransaction::disableActions() {
    return !frames().empty() && frames().back().disableActions;
}

void CATransaction::setDisableActions(bool disable) {
    if (!frames().empty()) frames().back().disableActions = disable;
}

void CATransaction::setCompletionBlock(std::function<void()> block) {
    auto wrapped = block ? std::function<void(bool)>([block = std::move(block)](bool) { block(); }) : nullptr;
    if (frames().empty()) {
        runLater(std::move(wrapped));
        return;
    }
    Frame& f = frames().back();
    if (!f.group) f.group = std::make_shared<CAAnimationCompletionGroup>();
    f.group->completion = std::move(wrapped);
}

std::size_t CATransaction::depth() {
    return frames().size();
}

std::vector<std::shared_ptr<CAAnimationCompletionGroup>> CATransaction::openCompletionGroups() {
    std::vector<std::shared_ptr<CAAnimationCompletionGroup>> out;
    for (const auto& f : frames())
        if (f.group) out.push_back(f.group);
    return out;
}

void CATransaction::reset() {
    frames().clear();
}
