// RecentQueue: background jobs of which only the newest result matters. Every job runs to its
// end on a serial queue of its own; a job that a newer one has superseded delivers nothing.
//
// run() and delivery belong to the main thread; the work runs on the job's queue and must not
// touch the runner.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/dispatch/queue.h"
#include "platform/runtime/object.h"
#include "platform/runtime/value.h"

class RecentQueue : public NSObject {
public:
    KORVA_MAKE(RecentQueue)

    const std::string& label() const { return label_; }

    // Runs `work` off the main thread, then `deliver` with its result on the main thread unless
    // another job was submitted in the meantime.
    void run(std::function<Value()> work, std::function<void(Value)> deliver);

    // Names of the jobs not yet finished ("RecentQueue-<label>-<n>"), in name order.
    std::vector<std::string> pendingJobNames() const;

    std::string className() const override { return "RecentQueue"; }

protected:
    explicit RecentQueue(std::string label) : label_(std::move(label)) {}

private:
    struct Job {
        dispatch_queue_t queue;
        bool halt = false;
    };
    std::string jobName() const;

    std::string label_;
    std::map<std::string, Job> jobs_;
};
