// The picture download cache: downloads a picture, passes it through the caller's preprocessing,
// keeps it as a JPEG file at the caller's path and reuses that file for a number of days. An
// index of addresses ("dict" in its store) remembers when each file was written.
//
// Main thread: requests, the index and the completions. The file reads and downloads run on the
// queue the caller gives.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/dispatch/queue.h"
#include "platform/runtime/value.h"

class LastInfo;
class UIImage;

class PicsBase : public NSObject {
public:
    KORVA_MAKE(PicsBase)
    using Image = std::shared_ptr<UIImage>;
    using Preprocess = std::function<Image(Image)>;
    using Completion = std::function<void(Image)>;

    const std::string& path() const { return path_; }
    std::shared_ptr<LastInfo> lastInfo();
    // Unescaped address -> {"date": when the file was last written, "durday": days it stays valid}.
    Value dict();

    // Calls `completion` on the main thread with the picture at `filePath` when it is there and
    // younger than `durday` days (0: no expiry; a file the index has no date for is expired), else with the freshly
    // downloaded, preprocessed picture (none when the download failed). Requests for the same address and file while a
    // download runs share it; at most `maxQueue` downloads of this cache run at once (0: no limit).
    // A folder found under `filePath` stays whole: the picture is downloaded and given, kept nowhere.
    void downloadAndSave(const dispatch_queue_t& queue, const std::string& url, const std::string& filePath,
                         std::uint64_t durday, std::uint64_t maxQueue, Preprocess preprocess, Completion completion);
    // Writes the index.
    void save();

    std::string className() const override { return "PicsBase"; }

protected:
    explicit PicsBase(std::string path) : path_(std::move(path)) {}

private:
    struct Download {
        dispatch_queue_t queue;
        std::string url;
        std::string key;
        std::string filePath;
        Preprocess preprocess;
    };
    void startOrQueue(Download download, std::uint64_t maxQueue);
    void startNext();
    void finish(const Download& download, std::optional<Bytes> bytes);

    std::string path_;
    std::shared_ptr<LastInfo> lastInfo_;
    Value dict_;
    // Handlers waiting for a running or queued download, by address and file; never archived.
    std::map<std::string, std::vector<Completion>> waiting_;
    std::deque<Download> queued_;
    std::size_t running_ = 0;
    std::uint64_t limit_ = 0;
};

// The application's cache, on "Global.Pics.5" in the cache directory.
class Pics : public PicsBase {
public:
    KORVA_MAKE(Pics)
    std::string className() const override { return "Pics"; }

protected:
    Pics();
};
