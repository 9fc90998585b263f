// Global: the singleton and the application's own choices.
#include "foundation/global.h"

#include <mutex>

#include "foundation/service_factory.h"
#include "foundation/string_custom_paths.h"
#include "platform/dispatch/notification_center.h"

namespace {
std::mutex sharedMutex;
std::shared_ptr<Global> sharedGlobal;
}  // namespace

std::shared_ptr<Global> Global::shared() {
    std::lock_guard lock(sharedMutex);
    if (!sharedGlobal) sharedGlobal = Global::make();
    return sharedGlobal;
}

void Global::resetSharedForTesting() {
    std::shared_ptr<Global> old;
    {
        std::lock_guard lock(sharedMutex);
        old = std::move(sharedGlobal);
    }
}

std::optional<std::string> Global::getLastInfoPath() const {
    return withLibraryPath("Global.1");
}

void Global::setGeoTagging(bool v) {
    if (geoTagging() == v) return;
    setBOOL("geoTagging", v);
    NSNotificationCenter::defaultCenter()->post(kGeoTaggingChangedNotification, self<NSObject>());
}

void Global::reset() {
    GlobalBase::reset();
    filterPreset_.reset();
}

std::shared_ptr<FilterPreset> Global::filterPreset() {
    if (!filterPreset_) filterPreset_ = ServiceFactory<FilterPreset>::makeService();
    return filterPreset_;
}

const std::string& Global::appName() {
    if (!appName_) {
        std::string name = appNameMenu();
        std::string sub = subName();
        if (!sub.empty() && name.find(sub) == std::string::npos) name += " " + sub;
        appName_ = name;
    }
    return *appName_;
}

std::string Global::appMetadataName() {
    std::string name = appName();
    auto filter = lastFilterName();
    if (filter && !filter->empty()) name += " '" + *filter + "'";
    return name;
}
