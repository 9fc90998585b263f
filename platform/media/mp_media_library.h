// The music library: the tagged sound files of one folder (the host option KORVA_MUSIC_DIR,
// else $XDG_MUSIC_DIR, else ~/Music) as media items with stable persistent ids (from the file's
// path in the folder), queried by property. Item asset URLs are "korva-library://item?id=<id>";
// URL assets resolve them to the file. Thread-safe; every query reads the folder afresh.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/net/url.h"
#include "platform/runtime/value.h"

enum class MPMediaLibraryAuthorizationStatus : std::int64_t {
    NotDetermined = 0,
    Denied = 1,
    Restricted = 2,
    Authorized = 3
};

inline constexpr const char* MPMediaItemPropertyPersistentID = "persistentID";
inline constexpr const char* MPMediaItemPropertyMediaType = "mediaType";
inline constexpr const char* MPMediaItemPropertyTitle = "title";
inline constexpr const char* MPMediaItemPropertyArtist = "artist";
inline constexpr const char* MPMediaItemPropertyAlbumTitle = "albumTitle";
inline constexpr const char* MPMediaItemPropertyAssetURL = "assetURL";
inline constexpr const char* MPMediaItemPropertyLyrics = "lyrics";
inline constexpr std::uint64_t MPMediaTypeMusic = 1;
inline constexpr const char* kMediaLibraryScheme = "korva-library";

using MPMediaEntityPersistentID = std::uint64_t;

class MPMediaItem : public NSObject {
public:
    KORVA_MAKE(MPMediaItem)

    MPMediaEntityPersistentID persistentID() const { return id_; }
    const std::string& path() const { return path_; }
    // Null for an unknown property.
    Value valueForProperty(const std::string& property) const;
    std::shared_ptr<NSURL> assetURL() const;

    std::string className() const override { return "MPMediaItem"; }

protected:
    MPMediaItem(MPMediaEntityPersistentID id, std::string path, ValueDictionary tags)
        : id_(id), path_(std::move(path)), tags_(std::move(tags)) {}

private:
    MPMediaEntityPersistentID id_;
    std::string path_;
    ValueDictionary tags_;
};

class MPMediaLibrary {
public:
    static MPMediaLibraryAuthorizationStatus authorizationStatus() {
        return MPMediaLibraryAuthorizationStatus::Authorized;
    }
    // Empty: the default folder.
    static void setLibraryDirectory(std::string path);
    static std::string libraryDirectory();
    static std::vector<std::shared_ptr<MPMediaItem>> items();
    static MPMediaEntityPersistentID persistentIDForPath(const std::string& relativePath);
    // The file of a library URL, or none.
    static std::optional<std::string> pathForAssetURL(const NSURL& url);
};

class MPMediaPropertyPredicate : public NSObject {
public:
    KORVA_MAKE(MPMediaPropertyPredicate)
    static std::shared_ptr<MPMediaPropertyPredicate> predicateWithValue(Value value, std::string property) {
        return make(std::move(value), std::move(property));
    }
    bool matches(const MPMediaItem& item) const;

protected:
    MPMediaPropertyPredicate(Value value, std::string property)
        : value_(std::move(value)), property_(std::move(property)) {}

private:
    Value value_;
    std::string property_;
};

class MPMediaQuery : public NSObject {
public:
    KORVA_MAKE(MPMediaQuery)
    void addFilterPredicate(std::shared_ptr<MPMediaPropertyPredicate> p) { filters_.push_back(std::move(p)); }
    std::vector<std::shared_ptr<MPMediaItem>> items() const;

protected:
    MPMediaQuery() = default;

private:
    std::vector<std::shared_ptr<MPMediaPropertyPredicate>> filters_;
};
