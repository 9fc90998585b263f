// DownloadHost: files downloaded by URL in a background session, with a persisted table that
// survives the application being ended, pausing into resume data on disk, and completion into a
// destination folder under a name that clashes with nothing. Each download is known by its URL
// string; the class name enters the session identifier and the store name, so a subclass gets
// its own.
//
// A download is running while its URL is in tasks() with a live task, paused while it is in
// rtasks(), gone when in neither: request/resume take none or paused to running, pause running
// to paused (or gone without resume data), cancel anything to gone, the file's arrival or an
// error running to gone. Both tables are saved after every change, each entry as a dictionary of
// its lasting fields.
//
// Main-thread only: session events and the pause and listing callbacks arrive on the main queue.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "foundation/download_service.h"
#include "language/download_destination.h"
#include "platform/net/url_session_download_task.h"
#include "platform/runtime/value.h"

class LastInfo;

class DownloadHost : public DownloadService, public NSURLSessionDelegate {
public:
    KORVA_MAKE(DownloadHost)

    static constexpr const char* kResumeDataFolder = "DownloadGlobal.ResumeData.1";
    // The largest file a download may bring (decoded bytes); a larger reply fails the download.
    static constexpr std::size_t kMaximumFileBytes = std::size_t{256} << 20;

    // One download: where it goes, its progress, what its end reports, and while it runs its
    // task, while it is paused its resume-data file.
    struct Entry {
        std::shared_ptr<NSURLSessionDownloadTask> task;
        // 0 to 1; 0 while the size is unknown.
        double percent = 0.0;
        // Once the server announced a size.
        std::optional<std::int64_t> totalBytesExpectedToWrite;
        DownloadDestination dest = DownloadDestination::FullPath;
        std::string pathSaveTo;
        bool newDir = false;
        // Null when the end is not reported.
        Value notiLabel;
        Value notiUserInfo;
        // Relative to the Library folder; only while paused.
        std::optional<std::string> resumePath;
        // The arrived file, or why the download failed; set at the end.
        std::optional<std::string> path;
        std::shared_ptr<NSError> error;
        bool done = false;

        // The dictionary the table store keeps (no task, file or error), and an entry made from
        // one; what is missing or of another kind takes its default.
        Value stored() const;
        static std::shared_ptr<Entry> restored(const Value& stored);
    };
    // URL and entry, in the order the downloads were made.
    using Table = std::vector<std::pair<std::string, std::shared_ptr<Entry>>>;

    // The table store "DownloadHost.1-<class name>" in the Library folder.
    std::shared_ptr<LastInfo> lastInfo();
    // Running downloads, and paused ones; read from the store on first use (entries that are no
    // dictionaries are left out).
    const Table& tasks();
    const Table& rtasks();
    // The error of the most recent completion; none after a success.
    std::shared_ptr<NSError> lastError() const { return lastError_; }
    // The background session "<app name>-DownloadHost-<class name>", made on first use.
    std::shared_ptr<NSURLSession> session();

    // Starts the download, or resumes it when paused; the entry, or none when no task could be
    // made.
    std::shared_ptr<Entry> request(const std::string& url, DownloadDestination dest, const std::string& pathSaveTo,
                                   bool newDir, const Value& notiLabel, const Value& notiUserInfo);
    // Resumes a paused download; its entry, or none (the paused state is then gone).
    std::shared_ptr<Entry> resume(const std::string& url);
    // Stops the download and keeps resume data when the server allows it.
    void pause(const std::string& url);
    // Stops the download and forgets it, paused state included.
    void cancel(const std::string& url);
    bool isActive(const std::string& url);
    bool isResumable(const std::string& url);
    // From tasks, else rtasks, else none.
    std::shared_ptr<Entry> getItem(const std::string& url);
    // URLs of tasks then rtasks; with a pathSaveTo only those saving there (and, with a dest, only
    // those of that destination).
    std::vector<std::string> getList(std::optional<DownloadDestination> dest,
                                     const std::optional<std::string>& pathSaveTo);
    // Start-up clean-up: cancels the session's tasks and the running entries of an earlier run;
    // paused downloads stay.
    void refresh() override;
    void save();
    std::optional<std::string> getURLfromTask(const NSURLSessionTask& task);
    // Moves the finished file into place and reports; once per entry.
    void complete(const NSURLSessionTask& task);

    // Hooks for a subclass: after a successful download, and at the end of one with a label.
    virtual void done(const std::string& /*url*/, const std::string& /*path*/, const Entry& /*entry*/) {}
    virtual void noti(bool /*success*/, const Value& /*label*/, const Value& /*userInfo*/) {}

    void URLSessionDownloadTaskDidWriteData(NSURLSession&, NSURLSessionDownloadTask& task, std::int64_t bytesWritten,
                                            std::int64_t totalBytesWritten,
                                            std::int64_t totalBytesExpectedToWrite) override;
    void URLSessionDownloadTaskDidFinishDownloadingToURL(NSURLSession&, NSURLSessionDownloadTask& task,
                                                         const std::shared_ptr<NSURL>& location) override;
    void URLSessionTaskDidCompleteWithError(NSURLSession&, NSURLSessionTask& task,
                                            std::shared_ptr<NSError> error) override;
    void URLSessionDidFinishEventsForBackgroundURLSession(NSURLSession&) override;

    std::string className() const override { return "DownloadHost"; }

protected:
    DownloadHost() = default;

private:
    // Both tables, read from the store the first time.
    void load();
    // Runs the task for the entry, now in tasks(); answers the entry.
    std::shared_ptr<Entry> start(const std::string& url, const std::shared_ptr<Entry>& entry,
                                 const std::shared_ptr<NSURLSessionDownloadTask>& task);
    // The entry of the table under the task's URL, unless it belongs to another live task.
    std::shared_ptr<Entry> entryOf(const NSURLSessionTask& task, const Table& table);
    std::optional<std::string> resumeFile(const Entry& entry) const;

    std::shared_ptr<LastInfo> lastInfo_;
    bool loaded_ = false;
    Table tasks_;
    Table rtasks_;
    std::shared_ptr<NSError> lastError_;
    std::shared_ptr<NSURLSession> session_;
};
