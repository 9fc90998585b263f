// DownloadHost: files downloaded by URL in a background session, with a persisted table that
// survives the application being ended, pausing into resume data on disk, and completion into a
// destination folder under a name that clashes with nothing. Each download is known by its URL
// string; the class name enters the session identifier and the store name, so a subclass gets
// its own.
//
// A download is running while its URL is in tasks() with a live task, paused while it is in
// rtasks(), gone when in neither: request/resume take none or paused to running, pause running
// to paused (or gone without resume data), cancel anything to gone, the file's arrival or an
// error running to gone. Both tables are saved after every change.
//
// Main-thread only: session events and the pause and listing callbacks arrive on the main queue.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "foundation/download_service.h"
#include "language/download_destination.h"
#include "platform/net/url_session_download_task.h"

class LastInfo;

class DownloadHost : public DownloadService, public NSURLSessionDelegate {
public:
    KORVA_MAKE(DownloadHost)

    static constexpr const char* kResumeDataFolder = "DownloadGlobal.ResumeData.1";
    // The largest file a download may bring (decoded bytes); a larger reply fails the download.
    static constexpr std::size_t kMaximumFileBytes = std::size_t{256} << 20;

    // The table store "DownloadHost.1-<class name>" in the Library folder.
    std::shared_ptr<LastInfo> lastInfo();
    // URL string to entry (a dictionary): running downloads, and paused ones.
    Value tasks();
    Value rtasks();
    // The error of the most recent completion; none after a success.
    std::shared_ptr<NSError> lastError() const { return lastError_; }
    // The background session "<app name>-DownloadHost-<class name>", made on first use.
    std::shared_ptr<NSURLSession> session();

    // Starts the download, or resumes it when paused; the entry, or null when no task could be
    // made. The entry keeps the destination as its stored number under "dest".
    Value request(const std::string& url, DownloadDestination dest, const std::string& pathSaveTo, bool newDir,
                  const Value& notiLabel, const Value& notiUserInfo);
    // Resumes a paused download; its entry, or null (the paused state is then gone).
    Value resume(const std::string& url);
    // Stops the download and keeps resume data when the server allows it.
    void pause(const std::string& url);
    // Stops the download and forgets it, paused state included.
    void cancel(const std::string& url);
    bool isActive(const std::string& url);
    bool isResumable(const std::string& url);
    // From tasks, else rtasks, else null.
    Value getItem(const std::string& url);
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
    virtual void done(const std::string& /*url*/, const std::string& /*path*/, const Value& /*entry*/) {}
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
    // Runs the task for the entry, now in tasks(); answers the entry.
    Value start(const std::string& url, const Value& entry, const std::shared_ptr<NSURLSessionDownloadTask>& task);
    // The entry of the table under the task's URL, unless it belongs to another live task.
    Value entryOf(const NSURLSessionTask& task, const Value& table);
    std::optional<std::string> resumeFile(const Value& entry) const;

    std::shared_ptr<LastInfo> lastInfo_;
    Value tasks_;
    Value rtasks_;
    std::shared_ptr<NSError> lastError_;
    std::shared_ptr<NSURLSession> session_;
};
