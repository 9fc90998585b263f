// The photo library's index: one SQLite table of assets beside the image and movie files.
//
// The folder is the truth and the index is derived from it. Crash safety: files are written
// (atomically) before their rows, rows are written in one transaction per change, and open()
// repairs what a crash or damage can leave: an index that fails to open, fails its integrity
// check or cannot be repaired is set aside and rebuilt from the folder; rows without an
// identifier get one; rows whose file is missing or cut short are dropped (a cut file stays in
// the folder, unlisted); a row whose file is there but cannot be read now (permissions, a failing
// disk) stays, so that its photo keeps its place and identifier; rows whose kind or length disagrees with their file are described
// afresh from it; whole image files without a row are indexed; and the temporary files
// of an interrupted atomic write are removed. Thread-safe (one connection behind a lock).
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/photos/ph_types.h"
#include "platform/runtime/result.h"

struct sqlite3;

struct AssetRecord {
    std::string identifier;
    std::string file;  // name inside the library folder
    PHAssetMediaType mediaType = PHAssetMediaType::Image;
    int pixelWidth = 0, pixelHeight = 0;
    double creationDate = 0, modificationDate = 0;  // seconds since 2001-01-01 UTC
    std::optional<PHAssetLocation> location;
    double duration = 0;  // seconds; 0 for photos
};

enum class AssetSortKey { CreationDate, ModificationDate };

struct AssetQuery {
    std::optional<PHAssetMediaType> mediaType;
    std::vector<std::string> identifiers;  // empty: all
    AssetSortKey sortKey = AssetSortKey::CreationDate;
    bool ascending = true;
    std::size_t limit = 0;  // 0: no limit
};

class AssetIndex {
public:
    static constexpr const char* kIndexFileName = ".korva-library.sqlite";

    ~AssetIndex();
    // Opens (creating) the index in the folder and repairs it against the files there.
    static Result<std::unique_ptr<AssetIndex>> open(const std::string& folder);

    const std::string& folder() const { return folder_; }
    std::string pathOf(const AssetRecord& record) const;

    // One transaction: all inserts and deletions happen, or none.
    Result<void> apply(const std::vector<AssetRecord>& inserts, const std::vector<std::string>& deletions);
    Result<std::vector<AssetRecord>> query(const AssetQuery& query) const;
    std::size_t count() const;

    // Reads an image file's size, type and GPS position, or a movie's size and length; fails for
    // files that do not decode.
    static Result<AssetRecord> describeFile(const std::string& path, bool verifyPixels);

private:
    AssetIndex(std::string folder, sqlite3* db) : folder_(std::move(folder)), db_(db) {}
    static Result<void> setAside(const std::string& path);
    Result<void> exec(const char* sql) const;
    Result<void> checkIntegrity() const;
    Result<void> addDurationColumn();
    Result<void> repair();
    Result<void> giveRowsIdentifiers();
    // The file's own description when a row's kind or length disagrees with it; none when they agree.
    static std::optional<AssetRecord> redescribedRow(const std::string& path, std::int64_t kind, double duration);
    Result<void> updateDescriptions(const std::vector<AssetRecord>& records);

    std::string folder_;
    sqlite3* db_;
    mutable std::mutex mutex_;
};

// File names the library indexes (by extension, case-insensitive): images, movies, either.
bool isLibraryImageName(const std::string& name);
bool isLibraryMovieName(const std::string& name);
bool isLibraryFileName(const std::string& name);
