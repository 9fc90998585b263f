// RecentQueue: one serial queue per job; superseded jobs are marked and deliver nothing.
#include "foundation/recent_queue.h"

std::string RecentQueue::jobName() const {
    std::size_t number = jobs_.size();
    for (;; ++number) {
        std::string name = className() + "-" + label_ + "-" + std::to_string(number);
        if (!jobs_.count(name)) return name;
    }
}

void RecentQueue::run(std::function<Value()> work, std::function<void(Value)> deliver) {
    for (auto& entry : jobs_) entry.second.halt = true;
    std::string name = jobName();
    dispatch_queue_t queue = dispatch_queue_create(name.c_str());
    jobs_[name] = Job{queue, false};
    auto self = this->self<RecentQueue>();
    dispatch_async(queue, [self, name, work = std::move(work), deliver = std::move(deliver)]() mutable {
        Value result = work ? work() : Value();
        dispatch_async(dispatch_get_main_queue(), [self, name, result, deliver = std::move(deliver)]() mutable {
            auto found = self->jobs_.find(name);
            bool halted = found == self->jobs_.end() || found->second.halt;
            if (found != self->jobs_.end()) self->jobs_.erase(found);
            if (!halted && deliver) {
                auto call = std::move(deliver);
                call(result);
            }
        });
    });
}

std::vector<std::string> RecentQueue::pendingJobNames() const {
    std::vector<std::string> names;
    for (const auto& entry : jobs_) names.push_back(entry.first);
    return names;
}
