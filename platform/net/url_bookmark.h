// Bookmarks of file URLs: data that finds the file again later, kept in bookmark files.
// This platform has no file-access sandbox, so security-scoped access to an existing file or
// folder is always granted and a bookmark records the file's absolute URL.
#pragma once

#include <memory>
#include <optional>

#include "platform/net/url.h"
#include "platform/runtime/value.h"

// Granted for a file URL whose item exists; refused for anything else.
bool startAccessingSecurityScopedResource(const NSURL& url);
void stopAccessingSecurityScopedResource(const NSURL& url);

// None for a URL that is not a file URL.
std::optional<Bytes> bookmarkDataWithURL(const NSURL& url);
// The URL the bookmark names; none for data that is no bookmark. A bookmark of a file that has
// gone still resolves (it is stale, not broken).
std::shared_ptr<NSURL> URLByResolvingBookmarkData(const Bytes& data);
