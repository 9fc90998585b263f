// Metadata items of assets and exports: a key in a key space with a string or data value.
#pragma once

#include <memory>
#include <string>

#include "platform/runtime/object.h"
#include "platform/runtime/value.h"

inline constexpr const char* AVMetadataKeySpaceCommon = "comn";
inline constexpr const char* AVMetadataCommonKeySoftware = "software";
inline constexpr const char* AVMetadataCommonKeyCreationDate = "creationDate";
inline constexpr const char* AVMetadataCommonKeyArtwork = "artwork";
inline constexpr const char* AVMetadataCommonKeyTitle = "title";
inline constexpr const char* AVMetadataCommonKeyArtist = "artist";
inline constexpr const char* AVMetadataCommonKeyAlbumName = "albumName";

class AVMetadataItem : public NSObject {
public:
    KORVA_MAKE(AVMetadataItem)

    const std::string& keySpace() const { return keySpace_; }
    const std::string& key() const { return key_; }
    // The key within the common key space, or empty.
    std::string commonKey() const { return keySpace_ == AVMetadataKeySpaceCommon ? key_ : std::string(); }
    const Value& value() const { return value_; }
    std::string stringValue() const { return value_.isString() ? *value_.string() : std::string(); }

    void setKeySpace(std::string s) { keySpace_ = std::move(s); }
    void setKey(std::string k) { key_ = std::move(k); }
    void setValue(Value v) { value_ = std::move(v); }

    std::string className() const override { return "AVMetadataItem"; }

protected:
    AVMetadataItem() = default;
    AVMetadataItem(std::string keySpace, std::string key, Value value)
        : keySpace_(std::move(keySpace)), key_(std::move(key)), value_(std::move(value)) {}

private:
    std::string keySpace_;
    std::string key_;
    Value value_;
};

// The mutable spelling of the platform is the same class.
using AVMutableMetadataItem = AVMetadataItem;
