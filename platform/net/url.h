// NSURL: a parsed absolute URL (network or file), made only from text that forms one.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/runtime/object.h"

// Immutable; thread-safe.
class NSURL : public NSObject {
public:
    // None for text that is not an absolute URL with a scheme (blanks, control characters,
    // a missing scheme, a malformed host or port).
    static std::shared_ptr<NSURL> URLWithString(std::string_view text);
    // A "file://" URL for an absolute path (a relative path is taken from the current folder).
    static std::shared_ptr<NSURL> fileURLWithPath(std::string_view path);

    const std::string& absoluteString() const { return absolute_; }
    // Lower case.
    const std::string& scheme() const { return scheme_; }
    const std::string& host() const { return host_; }
    std::optional<int> port() const { return port_; }
    // Percent escapes removed; "/" for an empty network path.
    const std::string& path() const { return path_; }
    // Without the "?"; none when the URL has no query.
    const std::optional<std::string>& query() const { return query_; }
    bool isFileURL() const { return scheme_ == "file"; }

    // The path with "." and ".." steps resolved and repeated or trailing slashes removed.
    std::string standardizedPath() const;

    std::string description() const override { return absolute_; }
    std::string className() const override { return "NSURL"; }
    bool isEqual(const NSObject& other) const override;

protected:
    NSURL() = default;

private:
    std::string absolute_;
    std::string scheme_;
    std::string host_;
    std::optional<int> port_;
    std::string path_;
    std::optional<std::string> query_;
};

// "/a/./b/../c//" -> "/a/c". A relative path stays relative; ".." above the root stays at it.
std::string standardizePath(std::string_view path);
