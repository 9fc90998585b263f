// PHPhotoLibrary: a folder of image files with an SQLite index, its permission, atomic changes
// and change observers.
//
// The folder is, in order: the one given to setLibraryDirectory() (the host, tests), the
// environment variable KORVA_LIBRARY_DIR, or "Korva" inside the user's pictures folder
// ($XDG_PICTURES_DIR, the user-dirs file, ~/Pictures). A change writes its files first (each
// atomically), then its index rows in one transaction; nothing of a failed change remains.
//
// The folder is watched while the library lives: a photo or movie that another program finishes
// writing into it, moves or links into it, makes readable, replaces, deletes or moves out is
// settled into the index on the library's queue once the folder has been quiet for kFolderQuiet
// seconds of Clock time (kFolderLongest at most while changes keep coming), and observers hear of
// it as of a change of the library's own. The library's own writes and its temporary and hidden
// files give no notice of their own. A settlement goes a few files at a time (kSettleFiles,
// kSettleBytes), so that a save waits for one step of it at most, and stops once the program's end
// has begun (ExitHold::ending): the next start reads the folder anyway.
// The folder is followed by its name, whatever happens to the folders above it: when it goes
// (deleted, moved away, out of reach) the index closes and saves fail until a folder is there
// again. That folder's own index is then opened at once (a save waits for no more) and its files
// are settled as files that arrive are, in steps behind the saves, stopped by the end and finished
// by the next start; observers hear what that changed as it goes.
// Thread-safe: changes and folder settlements run one at a time on the library's queue; the watch
// has a thread of its own, joined when the library goes.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/dispatch/queue.h"
#include "platform/photos/ph_asset.h"
#include "platform/photos/ph_types.h"
#include "platform/runtime/error.h"
#include "platform/runtime/result.h"

class AssetIndex;
class LibraryFolderWatch;
class PHFetchResultChangeDetails;
struct FolderEvents;
struct AssetQuery;
struct AssetRecord;
struct FolderIdentity;

// What one change did, handed to observers.
class PHChange : public NSObject {
public:
    KORVA_MAKE(PHChange)
    const std::vector<std::string>& insertedIdentifiers() const { return inserted_; }
    const std::vector<std::string>& removedIdentifiers() const { return removed_; }
    // Assets whose file another program replaced (their modification date moved).
    const std::vector<std::string>& changedIdentifiers() const { return changed_; }
    // What the change did to a fetch result, fetched again with its query; none when the change
    // does not touch it (or the result has no query).
    std::shared_ptr<PHFetchResultChangeDetails> changeDetailsForFetchResult(
        const std::shared_ptr<PHFetchResult>& fetchResult) const;

protected:
    PHChange(std::vector<std::string> inserted, std::vector<std::string> removed, std::vector<std::string> changed = {})
        : inserted_(std::move(inserted)), removed_(std::move(removed)), changed_(std::move(changed)) {}

private:
    std::vector<std::string> inserted_, removed_, changed_;
};

class PHPhotoLibraryChangeObserver {
public:
    virtual ~PHPhotoLibraryChangeObserver() = default;
    virtual void photoLibraryDidChange(const std::shared_ptr<PHChange>& change) = 0;
};

class PHPhotoLibrary : public NSObject {
public:
    KORVA_MAKE(PHPhotoLibrary)

    static std::shared_ptr<PHPhotoLibrary> sharedPhotoLibrary();
    // Moves the library (empty: back to the default); the shared library is reopened there.
    static void setLibraryDirectory(const std::string& path);
    static std::string libraryDirectory();

    static PHAuthorizationStatus authorizationStatus();
    static PHAuthorizationStatus authorizationStatusForAccessLevel(PHAccessLevel) { return authorizationStatus(); }
    // The handler runs once, on a background queue.
    static void requestAuthorization(std::function<void(PHAuthorizationStatus)> handler);

    // Runs the block on the library's queue, where it makes change requests; then commits them and
    // calls the completion (on that queue) with the result. Observers hear of a successful change
    // with anything in it once, on the main queue.
    void performChanges(std::function<void()> changes,
                        std::function<void(bool success, const std::shared_ptr<NSError>& error)> completion);
    // The same, waiting for the commit (not on the main thread if observers matter to the caller).
    Result<void> performChangesAndWait(std::function<void()> changes);

    // Observers are held weakly.
    void registerChangeObserver(const std::shared_ptr<PHPhotoLibraryChangeObserver>& observer);
    void unregisterChangeObserver(const std::shared_ptr<PHPhotoLibraryChangeObserver>& observer);

    // Fetching (used by PHAsset); empty when unauthorized or when the index could not be opened.
    std::vector<std::shared_ptr<PHAsset>> fetch(const AssetQuery& query) const;
    const std::string& folder() const { return folder_; }
    // Why the library cannot be used, empty when it can.
    std::string openError() const;

    // Clock seconds a burst of folder changes is gathered for: until the folder has been quiet
    // this long, and no longer than the longest wait after its first change.
    static constexpr double kFolderQuiet = 0.3;
    static constexpr double kFolderLongest = 1.0;
    // Files one step of a settlement looks at, at most, and the bytes they may hold (a step has at
    // least one file).
    static constexpr std::size_t kSettleFiles = 16;
    static constexpr std::int64_t kSettleBytes = 16 << 20;
    // What a wait for the folder's changes needs besides its files: nothing, news that no folder
    // is under the library's name, or that one is there again (and watched).
    enum class FolderWait { Files, FolderGone, FolderBack };
    // Waits, at most `seconds` of real time (the kernel's events come on their own thread), until
    // the folder watch has taken in changes to all of the named files that are not settled yet
    // (and the news of the folder asked for); whether it has. For tests, which then move the Clock
    // on to the settlement.
    bool waitForFolderChanges(const std::vector<std::string>& names, double seconds,
                              FolderWait also = FolderWait::Files) const;
    // Tests only: called with the names of a change's new files once they are in place in the
    // folder, just before their rows are written, as if another program acted then. Null removes
    // it; thread-safe.
    using IndexingHook = void (*)(const std::vector<std::string>& files);
    static void setBeforeIndexingForTesting(IndexingHook hook);

    ~PHPhotoLibrary() override;
    void init() override;

protected:
    explicit PHPhotoLibrary(std::string folder);

private:
    Result<std::vector<std::string>> commit(struct PHChangeTransaction& transaction, std::vector<std::string>& removed);
    // After an open that failed for a passing reason (a lock, an I/O error): opens the index again;
    // none when it still fails. From a save (on the library's queue) or a fetch (any thread).
    std::shared_ptr<AssetIndex> openAgain() const;
    // After a change found the index damaged, or open only for reading: reopens it (a damaged one
    // set aside and rebuilt from the folder, which already holds the change's files) and applies
    // the change there. Where another folder than the one holding the change's files (`filesIn`)
    // is under the name by then, the change fails: no index names another folder's files.
    Result<void> reopenAndApply(const std::vector<AssetRecord>& records, const std::vector<AssetRecord>& doomed,
                                const std::string& failure, const FolderIdentity* filesIn = nullptr);
    std::shared_ptr<AssetIndex> index() const;
    void notify(const std::shared_ptr<PHChange>& change);
    // On the watch's thread: gathers the names and plans their settlement.
    void folderChanged(FolderEvents events);
    void settleFolderLater(double delay);
    // On the library's queue: takes the gathered files into the settlement, and starts it.
    void settleFolder();
    // On the library's queue: one step of the settlement into the index; the next step is queued
    // behind whatever the library was asked meanwhile. The notice comes at its end (and each
    // kFolderLongest of a long one).
    void settleStep();
    // On the library's queue: keeps the index the folder's under the library's name. Closes it
    // when the folder went, opens the one there now when another came (or one came back), whose
    // files are then settled in steps.
    void followFolder();
    // On the library's queue: after an index opened without reading its folder, settles the whole
    // folder (unless a settlement under way has taken it in already).
    void settleWholeFolder();
    // Tells observers what the index holds that they were not told of (whoever wrote it: this
    // library's folder settlement, or another library on the same folder).
    void announceIndexChanges(const AssetIndex& index);
    void announceRows(const std::vector<AssetRecord>& rows);

    std::string folder_;
    // Replaced when it fails while in use (on the library's queue) or opened again after a failed
    // open (by a save or a fetch); read from any thread.
    mutable std::mutex indexMutex_;
    mutable std::shared_ptr<AssetIndex> index_;
    mutable std::string openError_;
    // Whether the folder went while the library ran (its index closed then); until one is opened
    // again, no open makes it.
    mutable std::atomic<bool> folderLost_{false};
    // Whether the index there now was opened without reading its folder, which a settlement of the
    // whole folder has not taken in yet.
    mutable std::atomic<bool> wholeFolderDue_{false};
    // Held through every open after the first, so that two never repair the folder at once.
    mutable std::mutex openMutex_;
    dispatch_queue_t queue_;
    mutable std::mutex observersMutex_;
    std::vector<std::weak_ptr<PHPhotoLibraryChangeObserver>> observers_;

    std::weak_ptr<PHPhotoLibrary> me_;
    std::unique_ptr<LibraryFolderWatch> watch_;
    // The folder's changes not settled yet, behind their own lock (the watch's thread adds them).
    mutable std::mutex folderMutex_;
    mutable std::condition_variable folderTaken_;
    std::set<std::string> folderNames_;
    bool folderOverflowed_ = false;
    bool folderSettleDue_ = false;
    // Whether the folder under the name moved since the last settlement, and what is there now.
    bool folderMoved_ = false;
    FolderWait folderNews_ = FolderWait::Files;
    double folderFirst_ = 0, folderLast_ = 0;
    // The settlement under way, on the library's queue only: the files still to look at, whether
    // the whole folder is to be looked at, whether a step is queued, and when observers last heard.
    std::set<std::string> settling_;
    bool settlingAll_ = false;
    bool settleQueued_ = false;
    double lastAnnounced_ = 0;
    // Each asset observers were told of, with the modification date they were told; on the
    // library's queue only (and in init, before the queue has work).
    std::unordered_map<std::string, double> told_;
};
