// The photo library following its folder: changes other programs make, gathered, settled into the
// index a few files at a time and announced; and the folder itself followed by its name.
#include <algorithm>

#include "platform/dispatch/clock.h"
#include "platform/dispatch/exit_hold.h"
#include "platform/photos/asset_index.h"
#include "platform/photos/library_folder_watch.h"
#include "platform/photos/ph_authorization.h"
#include "platform/photos/ph_photo_library.h"
#include "platform/photos/photos_log.h"
#include "platform/runtime/log.h"
#include "platform/storage/file_manager.h"

void PHPhotoLibrary::folderChanged(FolderEvents events) {
    std::lock_guard lock(folderMutex_);
    bool news = events.overflowed || events.folderMoved;
    // The index and its journals, temporary files of saves under way, and whatever is not a
    // photo or a movie are not the library's news.
    for (auto& name : events.names)
        if (isLibraryFileName(name)) news |= folderNames_.insert(std::move(name)).second;
    if (!news) return;
    if (events.overflowed) {
        Log::warning(kPhotosLog, "the library folder changed faster than it could be followed; all of it is looked at");
        folderOverflowed_ = true;
    }
    if (events.folderMoved) {
        folderMoved_ = true;
        folderNews_ = events.watching ? FolderWait::FolderBack : FolderWait::FolderGone;
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

bool PHPhotoLibrary::waitForFolderChanges(const std::vector<std::string>& names, double seconds,
                                          FolderWait also) const {
    std::unique_lock lock(folderMutex_);
    return folderTaken_.wait_for(lock, std::chrono::duration<double>(seconds), [&] {
        return (also == FolderWait::Files || folderNews_ == also) &&
               std::all_of(names.begin(), names.end(), [&](const std::string& n) { return folderNames_.count(n); });
    });
}

void PHPhotoLibrary::settleFolder() {
    {
        std::lock_guard lock(folderMutex_);
        // A copy of many files still under way is settled once it pauses, or after the longest wait.
        const double now = Clock::now();
        const double due = std::min(folderLast_ + kFolderQuiet, folderFirst_ + kFolderLongest);
        if (now < due) {
            settleFolderLater(due - now);
            return;
        }
        settling_.merge(folderNames_);
        folderNames_.clear();
        // Dropped events, or another folder under the name: all of it is looked at.
        settlingAll_ = settlingAll_ || folderOverflowed_ || folderMoved_;
        folderOverflowed_ = folderMoved_ = folderSettleDue_ = false;
        folderNews_ = FolderWait::Files;
    }
    // A settlement under way takes the new files into its next step.
    if (settleQueued_) return;
    settleQueued_ = true;
    lastAnnounced_ = Clock::now();
    settleStep();
}

void PHPhotoLibrary::settleStep() {
    auto stop = [this] {
        settleQueued_ = settlingAll_ = false;
        settling_.clear();
    };
    // The program is ending: the next start reads the folder anyway.
    if (ExitHold::ending()) return stop();
    // Another folder under the name is settled whole, in these same steps.
    followFolder();
    if (wholeFolderDue_.exchange(false)) settlingAll_ = true;
    std::shared_ptr<AssetIndex> assets = index();
    if (!assets) assets = openAgain();
    if (!assets) return stop();  // the next open reads the folder
    if (settlingAll_) {
        settlingAll_ = false;
        // The folder whose index settles the files, whatever is under its name by now.
        auto listed = assets->libraryFiles();
        auto rows = assets->query({});
        if (!listed || !rows) {
            Log::warning(kPhotosLog,
                         "the library folder cannot be looked at: " + (listed ? rows.error() : listed.error()));
            return stop();
        }
        settling_.merge(*listed);
        for (const auto& row : *rows) settling_.insert(row.file);
    }
    std::set<std::string> step;
    std::int64_t bytes = 0;
    while (!settling_.empty() && step.size() < kSettleFiles && (step.empty() || bytes < kSettleBytes)) {
        auto name = settling_.extract(settling_.begin()).value();
        if (auto stamp = fileStampOf(assets->pathInFolder(name))) bytes += stamp->size;
        step.insert(std::move(name));
    }
    if (auto settled = assets->settleFiles(step); !settled) {
        Log::warning(kPhotosLog, "the library folder's changes are not indexed: " + settled.error());
        // A damaged index is rebuilt from the folder, which holds the changes; a passing condition
        // leaves them to the next change or open.
        stop();
        if (!assets->damaged()) return;
        assets.reset();
        if (!reopenAndApply({}, {}, settled.error())) return;
        assets = index();
        if (assets) announceIndexChanges(*assets);
        return;
    }
    if (settling_.empty()) {
        settleQueued_ = false;
        announceIndexChanges(*assets);
        return;
    }
    // Behind whatever the library was asked meanwhile: its own saves do not wait for the rest.
    queue_->async([weak = me_] {
        if (auto me = weak.lock()) me->settleStep();
    });
    if (Clock::now() >= lastAnnounced_ + kFolderLongest) announceIndexChanges(*assets);
}

void PHPhotoLibrary::settleWholeFolder() {
    if (!wholeFolderDue_.exchange(false)) return;
    settlingAll_ = true;
    if (settleQueued_) return;
    settleQueued_ = true;
    lastAnnounced_ = Clock::now();
    settleStep();
}

void PHPhotoLibrary::followFolder() {
    std::shared_ptr<AssetIndex> assets = index();
    // An index that never opened is opened again by the next save or fetch, as ever.
    if (!assets && !folderLost_) return;
    std::string absence;
    const auto here = folderIdentityOf(folder_, &absence);
    if (assets && here && assets->folderIdentity() == *here) return;
    if (assets) {
        std::lock_guard opening(openMutex_);
        std::lock_guard lock(indexMutex_);
        if (index_ == assets) index_.reset();
        openError_ = "the library folder " + folder_ + (here ? " is another one" : " " + absence);
        folderLost_ = true;
    }
    if (!here) {
        if (!assets) return;  // told already
        Log::warning(kPhotosLog, "the library folder " + folder_ + " " + absence +
                                     "; nothing is saved there until a folder is there again");
        announceRows({});
        return;
    }
    // Another folder under the name, or one there again: its own index, opened at once.
    auto reopened = openAgain();
    if (!reopened) {
        Log::warning(kPhotosLog, "the library folder " + folder_ + " cannot be opened: " + openError());
        if (assets) announceRows({});
        return;
    }
    Log::info(kPhotosLog, "the library folder " + folder_ + " is " + (assets ? "another one" : "there again") +
                              "; its own index is opened and its files are looked at");
    announceIndexChanges(*reopened);
}

void PHPhotoLibrary::announceIndexChanges(const AssetIndex& index) {
    auto rows = index.query({});
    if (!rows) {
        Log::warning(kPhotosLog, "the library's changes cannot be read: " + rows.error());
        return;
    }
    announceRows(*rows);
}

void PHPhotoLibrary::announceRows(const std::vector<AssetRecord>& rows) {
    lastAnnounced_ = Clock::now();
    std::vector<std::string> inserted, removed, changed;
    std::unordered_map<std::string, double> now;
    for (const auto& r : rows) {
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
