// The photo library: opening, changes, observers and fetching.
#include "platform/photos/ph_photo_library.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <future>
#include <set>

#include "platform/dispatch/clock.h"
#include "platform/image/codec/image_data.h"
#include "platform/photos/asset_index.h"
#include "platform/photos/image_file_check.h"
#include "platform/photos/library_folder_watch.h"
#include "platform/photos/library_location.h"
#include "platform/photos/movie_file_check.h"
#include "platform/photos/ph_asset_change_request.h"
#include "platform/photos/ph_authorization.h"
#include "platform/photos/photos_log.h"
#include "platform/runtime/log.h"
#include "platform/storage/file_manager.h"
#include "platform/storage/file_removal.h"
#include "platform/storage/new_file.h"
#include "platform/storage/owned_descriptor.h"

namespace {

std::atomic<PHPhotoLibrary::IndexingHook> beforeIndexing{nullptr};

struct Shared {
    std::mutex mutex;
    std::string directory;  // set by the host or a test; empty for the default
    std::shared_ptr<PHPhotoLibrary> library;
};

Shared& shared() {
    static Shared s;
    return s;
}

std::shared_ptr<NSError> photosError(PHPhotosError code, const std::string& text) {
    return NSError::withDescription(PHPhotosErrorDomain, code, text);
}

bool authorized() {
    auto s = PhotoLibraryAuthorization::status();
    return s == PHAuthorizationStatus::Authorized || s == PHAuthorizationStatus::Limited;
}

std::string stripFileScheme(const std::string& url) {
    const std::string scheme = "file://";
    return url.rfind(scheme, 0) == 0 ? url.substr(scheme.size()) : url;
}

// A QuickTime movie keeps its kind; anything else the library holds is MPEG-4.
std::string movieExtension(const std::string& source) {
    std::string ext = source.size() >= 4 ? source.substr(source.size() - 4) : std::string();
    for (char& c : ext) c = char(std::toupper(static_cast<unsigned char>(c)));
    return ext == ".MOV" ? ".MOV" : ".MP4";
}

// The names a new file of the asset may take, in turn, with the given extension.
std::function<std::string(int)> freshNames(const std::string& identifier, const std::string& ext) {
    return [first = "IMG_" + identifier.substr(0, 8) + ext](int i) { return libraryFileNameInTurn(first, i); };
}

}  // namespace

std::shared_ptr<PHPhotoLibrary> PHPhotoLibrary::sharedPhotoLibrary() {
    auto& s = shared();
    std::lock_guard lock(s.mutex);
    if (!s.library) {
        std::string dir = s.directory;
        if (dir.empty()) {
            const char* env = std::getenv("KORVA_LIBRARY_DIR");
            dir = env && *env ? env : defaultPhotoLibraryDirectory();
        }
        s.library = PHPhotoLibrary::make(dir);
    }
    return s.library;
}

void PHPhotoLibrary::setLibraryDirectory(const std::string& path) {
    auto& s = shared();
    std::lock_guard lock(s.mutex);
    s.directory = path;
    s.library.reset();
}

std::string PHPhotoLibrary::libraryDirectory() {
    return sharedPhotoLibrary()->folder();
}

PHAuthorizationStatus PHPhotoLibrary::authorizationStatus() {
    return PhotoLibraryAuthorization::status();
}

void PHPhotoLibrary::setBeforeIndexingForTesting(IndexingHook hook) {
    beforeIndexing.store(hook);
}

void PHPhotoLibrary::requestAuthorization(std::function<void(PHAuthorizationStatus)> handler) {
    PhotoLibraryAuthorization::request(std::move(handler));
}

PHPhotoLibrary::PHPhotoLibrary(std::string folder) : folder_(std::move(folder)) {}

PHPhotoLibrary::~PHPhotoLibrary() {
    // The watch's thread uses the library's members until it is joined.
    watch_.reset();
}

void PHPhotoLibrary::init() {
    queue_ = DispatchQueue::serial("korva.photos");
    me_ = self<PHPhotoLibrary>();
    // Watched before the index reads the folder, so that no file copied meanwhile goes unseen.
    std::error_code ignored;  // the index's open says why a folder cannot be made
    std::filesystem::create_directories(folder_, ignored);
    if (auto watch = LibraryFolderWatch::start(folder_, [this](FolderEvents e) { folderChanged(std::move(e)); }))
        watch_ = std::move(watch.value());
    else
        Log::warning(kPhotosLog, watch.error() + "; what other programs change there is seen at the next start");
    auto index = AssetIndex::open(folder_);
    if (index) {
        index_ = std::move(index.value());
        if (auto rows = index_->query({}))
            for (const auto& r : *rows) told_[r.identifier] = r.modificationDate;
    } else {
        openError_ = index.error();
        Log::error(kPhotosLog, "photo library unavailable: " + openError_);
    }
}

std::string PHPhotoLibrary::openError() const {
    std::lock_guard lock(indexMutex_);
    return openError_;
}

std::shared_ptr<AssetIndex> PHPhotoLibrary::index() const {
    std::lock_guard lock(indexMutex_);
    return index_;
}

void PHPhotoLibrary::registerChangeObserver(const std::shared_ptr<PHPhotoLibraryChangeObserver>& observer) {
    std::lock_guard lock(observersMutex_);
    observers_.push_back(observer);
}

void PHPhotoLibrary::unregisterChangeObserver(const std::shared_ptr<PHPhotoLibraryChangeObserver>& observer) {
    std::lock_guard lock(observersMutex_);
    std::erase_if(observers_, [&](const std::weak_ptr<PHPhotoLibraryChangeObserver>& w) {
        auto s = w.lock();
        return !s || s == observer;
    });
}

void PHPhotoLibrary::notify(const std::shared_ptr<PHChange>& change) {
    std::vector<std::weak_ptr<PHPhotoLibraryChangeObserver>> targets;
    {
        std::lock_guard lock(observersMutex_);
        targets = observers_;
    }
    auto self = shared_from_this();
    dispatch_get_main_queue()->async([this, self, targets, change] {
        for (auto& w : targets) {
            auto o = w.lock();
            if (!o) continue;
            // An observer unregistered since the change was queued is not told.
            bool still;
            {
                std::lock_guard lock(observersMutex_);
                still = std::any_of(observers_.begin(), observers_.end(), [&](auto& r) { return r.lock() == o; });
            }
            if (still) o->photoLibraryDidChange(change);
        }
    });
}

void PHPhotoLibrary::performChanges(std::function<void()> changes,
                                    std::function<void(bool, const std::shared_ptr<NSError>&)> completion) {
    auto self = this->self<PHPhotoLibrary>();
    queue_->async([self, changes = std::move(changes), completion = std::move(completion)] {
        PHChangeTransaction transaction;
        PHChangeTransaction::current() = &transaction;
        if (changes) changes();
        PHChangeTransaction::current() = nullptr;

        std::vector<std::string> removed;
        auto inserted = self->commit(transaction, removed);
        if (!inserted) {
            Log::warning(kPhotosLog, "change not saved: " + inserted.error());
            auto code = authorized() ? PHPhotosErrorInvalidResource : PHPhotosErrorAccessUserDenied;
            if (completion) completion(false, photosError(code, inserted.error()));
            return;
        }
        if (!inserted->empty() || !removed.empty()) self->notify(PHChange::make(*inserted, removed));
        if (completion) completion(true, nullptr);
    });
}

Result<void> PHPhotoLibrary::performChangesAndWait(std::function<void()> changes) {
    auto done = std::make_shared<std::promise<std::string>>();
    auto future = done->get_future();
    performChanges(std::move(changes), [done](bool ok, const std::shared_ptr<NSError>& error) {
        done->set_value(ok ? "" : (error ? error->localizedDescription() : "failed"));
    });
    std::string error = future.get();
    if (!error.empty()) return fail(error);
    return {};
}

Result<std::vector<std::string>> PHPhotoLibrary::commit(PHChangeTransaction& t, std::vector<std::string>& removed) {
    if (!authorized()) return fail("the photo library is not authorized");
    // A save goes to the folder under the name now: the index must be that folder's.
    followFolder();
    std::shared_ptr<AssetIndex> assets = index();
    if (!assets) assets = openAgain();
    if (!assets) return fail("the photo library is unavailable: " + openError());

    // Files first: everything is read and checked before anything is written.
    struct Pending {
        AssetRecord record;
        Bytes data;
        std::string extension;
    };
    std::vector<Pending> pending;
    double now = Clock::absoluteTime();
    for (const auto& request : t.creations) {
        if (request->resources().empty()) return fail("a creation request without a resource");
        const auto& resource = request->resources().front();
        Bytes data;
        if (resource.data) {
            data = *resource.data;
        } else {
            auto read = readFileData(stripFileScheme(resource.filePath));
            if (!read) return fail("cannot read " + resource.filePath + ": " + read.error());
            data = std::move(read.value());
        }
        Pending p;
        p.record.identifier = request->placeholderForCreatedAsset()->localIdentifier();
        if (resource.type == PHAssetResourceType::Video) {
            std::string source = stripFileScheme(resource.filePath);
            auto movie = describeMovieFile(source);
            if (!movie) return fail("not a movie the library can hold: " + movie.error());
            p.record.mediaType = PHAssetMediaType::Video;
            p.record.pixelWidth = movie->pixelWidth;
            p.record.pixelHeight = movie->pixelHeight;
            p.record.duration = movie->duration;
            p.extension = movieExtension(source);
        } else {
            auto info = readImageInfo(data);
            if (!info) return fail("not an image the library can hold: " + info.error());
            // What would not be listed at the next open is not saved now.
            if (auto whole = checkImageDataIsWhole(data); !whole)
                return fail("not an image the library can hold: " + whole.error());
            p.record.mediaType = PHAssetMediaType::Image;
            bool turned = info->orientation >= 5 && info->orientation <= 8;
            p.record.pixelWidth = turned ? info->height : info->width;
            p.record.pixelHeight = turned ? info->width : info->height;
            p.extension = info->format == ImageFormat::PNG ? ".PNG" : ".JPG";
        }
        p.record.creationDate = request->creationDate().value_or(now);
        p.record.modificationDate = now;
        p.record.location = request->location();
        p.data = std::move(data);
        pending.push_back(std::move(p));
    }

    // The files go into the folder whose index takes their rows, held for as long as the change
    // (its index may be reopened meanwhile), whatever is renamed in its place meanwhile.
    const OwnedDescriptor held{::fcntl(assets->folderHandle(), F_DUPFD_CLOEXEC, 0)};
    const int folder = held.fd;
    if (folder < 0) return fail("cannot write in the library folder: " + std::string(std::strerror(errno)));
    std::vector<std::string> written;
    auto undo = [&] {
        for (const auto& name : written) ::unlinkat(folder, name.c_str(), 0);
    };
    std::vector<AssetRecord> records;
    for (auto& p : pending) {
        const auto names = freshNames(p.record.identifier, p.extension);
        const std::string_view data(reinterpret_cast<const char*>(p.data.data()), p.data.size());
        // The photo's own name, once, with the reason: the library's folder is no news to the user.
        auto w = writeNewFileAtomically(folder, folder_, names, data, WriteFailureText::ReasonOnly);
        if (!w) {
            undo();
            return fail("cannot write " + names(0) + ": " + w.error());
        }
        p.record.file = *w;
        written.push_back(p.record.file);
        const std::string path = assets->pathInFolder(p.record.file);
        // The file was checked whole before it was written; its stamp spares the next open a read.
        p.record.stamp = contentStampOf(path);
        // Without a location of its own, the one in the file's GPS block is indexed.
        if (!p.record.location && p.record.mediaType == PHAssetMediaType::Image)
            if (auto described = AssetIndex::describeFile(path, false)) p.record.location = described->location;
        records.push_back(p.record);
    }

    // Deletions: the rows of assets that exist; their files go once the rows are gone.
    AssetQuery q;
    q.identifiers = t.deletions;
    std::vector<AssetRecord> doomed;
    if (!t.deletions.empty())
        if (auto found = assets->query(q)) doomed = std::move(found.value());
    std::vector<std::string> doomedIds;
    for (const auto& r : doomed) doomedIds.push_back(r.identifier);

    if (records.empty() && doomedIds.empty()) return std::vector<std::string>{};
    if (const IndexingHook hook = beforeIndexing.load(); hook && !written.empty()) hook(written);
    // A save's file that another program listed between its naming and now keeps the row it has.
    std::vector<std::string> identifiers;
    if (auto applied = assets->apply(records, doomedIds, RowConflict::TakeSameFile, &identifiers); !applied) {
        // A lock held elsewhere, a full disk or an I/O error fail this change alone; the index
        // and its connection stay for the next one. A connection that opened read-only (a
        // read-only disk, a file without write permission) stays so after its disk or file is
        // writable again: the index is opened afresh and the change goes through where it can.
        if (!assets->damaged() && !assets->readOnly()) {
            undo();
            return fail(applied.error());
        }
        const FolderIdentity filesIn = assets->folderIdentity();
        assets.reset();
        auto again = reopenAndApply(records, doomed, applied.error(), &filesIn);
        assets = index();
        if (!again || !assets) {
            undo();
            return fail(again ? applied.error() : again.error());
        }
    }
    // The caller and the observers know the photo by the identifier its row has.
    for (std::size_t i = 0; i < identifiers.size() && i < records.size(); ++i) {
        if (identifiers[i] == records[i].identifier) continue;
        Log::info(kPhotosLog, "another program listed " + records[i].file + " first; the save takes its row");
        records[i].identifier = identifiers[i];
        t.creations[i]->placeholderForCreatedAsset()->identifier_ = identifiers[i];
    }
    // The photo's file alone: a folder under its name since stays whole.
    for (const auto& r : doomed)
        if (const int error = removeOneFile(AT_FDCWD, assets->pathInFolder(r.file)); error != 0)
            Log::warning(kPhotosLog,
                         "deleted asset's file stays: cannot remove " + r.file + ": " + std::strerror(error));
    removed = doomedIds;
    // Observers hear of the change from performChanges; the folder's news of its files is no news.
    for (const auto& r : records) told_[r.identifier] = r.modificationDate;
    for (const auto& id : doomedIds) told_.erase(id);
    std::vector<std::string> inserted;
    for (const auto& r : records) inserted.push_back(r.identifier);
    return inserted;
}

std::shared_ptr<AssetIndex> PHPhotoLibrary::openAgain() const {
    std::lock_guard opening(openMutex_);
    // Another save or fetch may have opened it meanwhile.
    if (auto opened = index()) return opened;
    // A folder that went while the library ran is not made again: only one there now is opened,
    // at once, and its files are settled a few at a time behind the saves.
    const bool lost = folderLost_;
    // The watch may still be on a folder moved away with a folder above it: it follows what is
    // under the name now (a folder, before its files are read, so that none copied in meanwhile goes
    // unseen; or, where none is, the folder above, whose news brings the next one).
    if (lost && watch_) watch_->followAgain();
    auto reopened = AssetIndex::open(folder_, lost ? FolderCreation::MustExist : FolderCreation::Create,
                                     lost ? FolderReading::InSteps : FolderReading::AtOpen);
    std::lock_guard lock(indexMutex_);
    if (!reopened) {
        openError_ = reopened.error();
        return nullptr;
    }
    index_ = std::move(reopened.value());
    openError_.clear();
    folderLost_ = false;
    if (lost) {
        wholeFolderDue_ = true;
        queue_->async([weak = me_] {
            if (auto me = weak.lock()) me->settleWholeFolder();
        });
    }
    return index_;
}

Result<void> PHPhotoLibrary::reopenAndApply(const std::vector<AssetRecord>& records,
                                            const std::vector<AssetRecord>& doomed, const std::string& failure,
                                            const FolderIdentity* filesIn) {
    Log::error(kPhotosLog, "the library index failed a change (" + failure + "); reopening it");
    // A later failure that says what the first said (an index still read-only) is said once.
    auto failed = [&](const std::string& later) { return fail(later == failure ? later : failure + "; " + later); };
    std::lock_guard opening(openMutex_);
    {
        // The old connection closes before the file can be checked and set aside.
        std::lock_guard lock(indexMutex_);
        index_.reset();
    }
    // Only the folder there now: one that went is not made again under a running library.
    auto reopened = AssetIndex::open(folder_, FolderCreation::MustExist);
    if (!reopened) {
        std::lock_guard lock(indexMutex_);
        openError_ = reopened.error();
        return failed(reopened.error());
    }
    std::shared_ptr<AssetIndex> index = std::move(reopened.value());
    {
        std::lock_guard lock(indexMutex_);
        index_ = index;
    }
    if (filesIn && index->folderIdentity() != *filesIn)
        return failed("the library folder " + folder_ + " is another one");
    // A rebuild lists the change's files under identifiers of its own: the change's rows replace
    // those of its new files, and the rows of the files it deletes go, whatever their identifier.
    std::set<std::string> files;
    for (const auto& r : records) files.insert(r.file);
    for (const auto& r : doomed) files.insert(r.file);
    std::vector<std::string> replaced;
    auto listed = index->query({});
    if (!listed) return failed(listed.error());
    for (const auto& row : *listed)
        if (files.count(row.file)) replaced.push_back(row.identifier);
    if (auto applied = index->apply(records, replaced); !applied) return failed(applied.error());
    return {};
}

std::vector<std::shared_ptr<PHAsset>> PHPhotoLibrary::fetch(const AssetQuery& query) const {
    if (!authorized()) return {};
    std::shared_ptr<AssetIndex> assets = index();
    // An index a passing condition kept from opening (a lock another program held) is opened
    // again, as a save does, instead of leaving the library empty until a save.
    if (!assets) assets = openAgain();
    if (!assets) return {};
    auto rows = assets->query(query);
    if (!rows) {
        Log::error(kPhotosLog, "fetch failed: " + rows.error());
        return {};
    }
    std::vector<std::shared_ptr<PHAsset>> out;
    for (const auto& r : *rows) {
        PHAsset::Fields f;
        f.identifier = r.identifier;
        f.path = assets->pathOf(r);
        f.mediaType = r.mediaType;
        f.pixelWidth = r.pixelWidth;
        f.pixelHeight = r.pixelHeight;
        f.creationDate = r.creationDate;
        f.modificationDate = r.modificationDate;
        f.location = r.location;
        f.duration = r.duration;
        out.push_back(PHAsset::make(std::move(f)));
    }
    return out;
}
