// The photo library following its folder: changes other programs make, gathered, settled into the
// index and announced.
#include <algorithm>

#include "platform/dispatch/clock.h"
#include "platform/photos/asset_index.h"
#include "platform/photos/library_folder_watch.h"
#include "platform/photos/ph_authorization.h"
#include "platform/photos/ph_photo_library.h"
#include "platform/photos/photos_log.h"
#include "platform/runtime/log.h"

void PHPhotoLibrary::folderChanged(FolderEvents events) {
    std::lock_guard lock(folderMutex_);
    bool news = events.overflowed;
    // The index and its journals, temporary files of saves under way, and whatever is not a
    // photo or a movie are not the library's news.
    for (auto& name : events.names)
        if (isLibraryFileName(name)) news |= folderNames_.insert(std::move(name)).second;
    if (!news) return;
    if (events.overflowed) {
        Log::warning(kPhotosLog, "the library folder changed faster than it could be followed; all of it is looked at");
        folderOverflowed_ = true;
    }
    const double now = Clock::now();
    folderLast_ = now;
    if (!folderSettleDue_) {
        folderSettleDue_ = true;
        folderFirst_ = now;
        settleFolderLater(kFolderQuiet);
    }
    folderTaken_.notify_all();
}

void PHPhotoLibrary::settleFolderLater(double delay) {
    queue_->after(delay, [weak = me_] {
        if (auto me = weak.lock()) me->settleFolder();
    });
}

bool PHPhotoLibrary::waitForFolderChanges(const std::vector<std::string>& names, double seconds) const {
    std::unique_lock lock(folderMutex_);
    return folderTaken_.wait_for(lock, std::chrono::duration<double>(seconds), [&] {
        return std::all_of(names.begin(), names.end(), [&](const std::string& n) { return folderNames_.count(n); });
    });
}

void PHPhotoLibrary::settleFolder() {
    std::set<std::string> names;
    bool everything;
    {
        std::lock_guard lock(folderMutex_);
        // A copy of many files still under way is settled once it pauses, or after the longest wait.
        const double now = Clock::now();
        const double due = std::min(folderLast_ + kFolderQuiet, folderFirst_ + kFolderLongest);
        if (now < due) {
            settleFolderLater(due - now);
            return;
        }
        names.swap(folderNames_);
        everything = folderOverflowed_;
        folderOverflowed_ = folderSettleDue_ = false;
    }
    std::shared_ptr<AssetIndex> assets = index();
    if (!assets) assets = openAgain();
    if (!assets) return;  // the next open reads the folder
    if (auto settled = assets->settleFiles(everything ? std::nullopt : std::optional(names)); !settled) {
        Log::warning(kPhotosLog, "the library folder's changes are not indexed: " + settled.error());
        // A damaged index is rebuilt from the folder, which holds the changes; a passing condition
        // leaves them to the next change or open.
        if (!assets->damaged()) return;
        assets.reset();
        if (!reopenAndApply({}, {}, settled.error())) return;
        assets = index();
        if (!assets) return;
    }
    announceIndexChanges(*assets);
}

void PHPhotoLibrary::announceIndexChanges(const AssetIndex& index) {
    auto rows = index.query({});
    if (!rows) {
        Log::warning(kPhotosLog, "the library's changes cannot be read: " + rows.error());
        return;
    }
    std::vector<std::string> inserted, removed, changed;
    std::unordered_map<std::string, double> now;
    for (const auto& r : *rows) {
        now[r.identifier] = r.modificationDate;
        auto was = told_.find(r.identifier);
        if (was == told_.end())
            inserted.push_back(r.identifier);
        else if (was->second != r.modificationDate)
            changed.push_back(r.identifier);
    }
    for (const auto& [identifier, date] : told_)
        if (!now.count(identifier)) removed.push_back(identifier);
    told_ = std::move(now);
    if (inserted.empty() && removed.empty() && changed.empty()) return;
    // Without permission nothing is visible, so there is nothing to tell.
    auto status = PhotoLibraryAuthorization::status();
    if (status != PHAuthorizationStatus::Authorized && status != PHAuthorizationStatus::Limited) return;
    notify(PHChange::make(std::move(inserted), std::move(removed), std::move(changed)));
}
