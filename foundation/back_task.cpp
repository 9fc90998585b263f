// BackTask over the device's background grants.
#include "foundation/back_task.h"

BackTask::~BackTask() {
    stop();
}

void BackTask::init() {
    start();
}

void BackTask::start() {
    stop();
    auto services = SystemServices::shared();
    services_ = services;
    std::weak_ptr<BackTask> weakSelf = self<BackTask>();
    auto granted = std::make_shared<UIBackgroundTaskIdentifier>(UIBackgroundTaskInvalid);
    std::weak_ptr<SystemServices> weakServices = services;
    bgTask_ = services->beginBackgroundTask([weakSelf, weakServices, granted]() {
        if (auto owner = weakServices.lock()) owner->endBackgroundTask(*granted);
        // Only the grant this handler belongs to is forgotten; a newer one stays.
        if (auto strong = weakSelf.lock(); strong && strong->bgTask_ == *granted)
            strong->bgTask_ = UIBackgroundTaskInvalid;
    });
    *granted = bgTask_;
}

void BackTask::stop() {
    if (bgTask_ == UIBackgroundTaskInvalid) return;
    if (auto services = services_.lock()) services->endBackgroundTask(bgTask_);
    bgTask_ = UIBackgroundTaskInvalid;
}

double BackTask::getRemainSec() const {
    return SystemServices::shared()->backgroundTimeRemaining();
}
