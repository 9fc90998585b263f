// FilesHost: access to files the user picked outside the application's folders. It starts and
// stops security-scoped access, remembers the URLs with access started, and keeps bookmarks for
// them as "<random>.alias" files in "files_bookmarks" of the library folder. Main thread.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/net/url.h"

class FilesHost : public NSObject {
public:
    KORVA_MAKE(FilesHost)

    // The bookmark folder, created when missing.
    const std::string& rootPath();

    // The platform's access calls.
    virtual bool start0(const NSURL& url);
    virtual void stop0(const NSURL& url);
    // True at once for a URL with access started; otherwise starts it and remembers the URL.
    bool start(const std::shared_ptr<NSURL>& url);
    void stop(const std::shared_ptr<NSURL>& url);
    // Stops access to every remembered URL and forgets them.
    void flush();
    bool isStarted(const NSURL& url) const { return started_.count(url.absoluteString()) != 0; }

    // The name of the new bookmark file; none when it could not be written.
    std::optional<std::string> writeBookmark(const std::shared_ptr<NSURL>& url);
    // Only names of files directly in the bookmark folder count; any other name gives none.
    std::shared_ptr<NSURL> readBookmark(const std::string& name);
    bool removeBookmark(const std::string& name);

    std::string className() const override { return "FilesHost"; }

protected:
    FilesHost() = default;

private:
    std::optional<std::string> bookmarkPath(const std::string& name);

    std::optional<std::string> rootPath_;
    std::map<std::string, std::shared_ptr<NSURL>> started_;
};
