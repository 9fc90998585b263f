// The download service: the persisted tables, pause and resume through resume-data files, and
// the completion that moves each file into place.
#include "language/download_host.h"

#include "foundation/background_session_completion.h"
#include "foundation/global.h"
#include "foundation/last_info.h"
#include "foundation/string_custom_escaping.h"
#include "foundation/string_custom_paths.h"
#include "language/download_destination.h"
#include "platform/dispatch/queue.h"
#include "platform/net/url_session_configuration.h"
#include "platform/storage/file_manager.h"

namespace {

// The platform file-error codes for "no such file" and "write failed".
constexpr std::int64_t kNoSuchFile = 4;
constexpr std::int64_t kWriteFailed = 512;

std::shared_ptr<NSURLSessionDownloadTask> liveTask(const Value& entry) {
    return entry.isDictionary() ? entry["task"].objectAs<NSURLSessionDownloadTask>() : nullptr;
}

Value restoredTable(const Value& stored) {
    return stored.isDictionary() ? stored.deepCopy() : Value::dictionary();
}

}  // namespace

std::shared_ptr<LastInfo> DownloadHost::lastInfo() {
    if (!lastInfo_) lastInfo_ = LastInfo::make(withLibraryPath("DownloadHost.1-" + className()));
    return lastInfo_;
}

Value DownloadHost::tasks() {
    if (tasks_.isNull()) tasks_ = restoredTable(lastInfo()->get("tasks"));
    return tasks_;
}

Value DownloadHost::rtasks() {
    if (rtasks_.isNull()) rtasks_ = restoredTable(lastInfo()->get("rtasks"));
    return rtasks_;
}

std::shared_ptr<NSURLSession> DownloadHost::session() {
    if (!session_) {
        auto configuration = NSURLSessionConfiguration::backgroundSessionConfigurationWithIdentifier(
            Global::shared()->appName() + "-DownloadHost-" + className());
        session_ =
            NSURLSession::sessionWithConfiguration(configuration, self<DownloadHost>(), dispatch_get_main_queue());
    }
    return session_;
}

std::optional<std::string> DownloadHost::resumeFile(const Value& entry) const {
    // Only a file of the resume-data folder: a damaged table must never name anything else.
    const std::string* relative = entry.isDictionary() ? entry["resumePath"].string() : nullptr;
    std::string prefix = std::string(kResumeDataFolder) + "/";
    if (!relative || relative->size() <= prefix.size() || relative->rfind(prefix, 0) != 0 ||
        relative->find('/', prefix.size()) != std::string::npos || relative->find("..") != std::string::npos) {
        return std::nullopt;
    }
    return withLibraryPath(*relative);
}

Value DownloadHost::request(const std::string& url, DownloadDestination dest, const std::string& pathSaveTo,
                            bool newDir, const Value& notiLabel, const Value& notiUserInfo) {
    if (rtasks().dictionaryPtr()->contains(url)) {
        if (Value entry = resume(url)) return entry;
    }
    auto address = NSURL::URLWithString(escapeURL(url));
    NSURLRequest capped(address);
    capped.setMaximumBodyLength(kMaximumFileBytes);
    auto task = address ? session()->downloadTaskWithRequest(capped) : nullptr;
    if (!task) return Value();
    Value entry = Value::dictionary({{"task", Value(task)},
                                     {"percent", Value(0.0)},
                                     {"dest", Value(static_cast<long long>(storedDownloadDestination(dest)))},
                                     {"pathSaveTo", Value(pathSaveTo)},
                                     {"newDir", Value(newDir)}});
    if (!notiLabel.isNull()) entry.set("notiLabel", notiLabel);
    if (!notiUserInfo.isNull()) entry.set("notiUserInfo", notiUserInfo);
    return start(url, entry, task);
}

Value DownloadHost::start(const std::string& url, const Value& entry,
                          const std::shared_ptr<NSURLSessionDownloadTask>& task) {
    tasks().set(url, entry);
    save();
    task->resume();
    return entry;
}

Value DownloadHost::resume(const std::string& url) {
    Value entry = rtasks()[url];
    rtasks().dictionaryPtr()->remove(url);
    save();
    std::optional<std::string> file = resumeFile(entry);
    if (!file) return Value();
    Result<Bytes> data = readFileData(*file);
    removeFile(*file);
    if (!data) return Value();
    auto task = session()->downloadTaskWithResumeData(*data);
    if (!task) return Value();
    entry.dictionaryPtr()->remove("resumePath");
    entry.set("task", Value(task));
    return start(url, entry, task);
}

void DownloadHost::pause(const std::string& url) {
    Value entry = tasks()[url];
    auto task = liveTask(entry);
    tasks().dictionaryPtr()->remove(url);
    save();
    if (!task) return;
    std::weak_ptr<DownloadHost> weakSelf = self<DownloadHost>();
    task->cancelByProducingResumeData([weakSelf, url, entry](std::optional<Bytes> data) {
        auto me = weakSelf.lock();
        if (!me || !data) return;
        createDirectory(withLibraryPath(kResumeDataFolder));
        std::string relative;
        do {
            relative = std::string(kResumeDataFolder) + "/" + generateRandomString(10);
        } while (existFile(withLibraryPath(relative)));
        if (!writeFileAtomically(withLibraryPath(relative), *data).ok()) return;
        entry.dictionaryPtr()->remove("task");
        entry.set("resumePath", Value(relative));
        me->rtasks().set(url, entry);
        me->save();
    });
}

void DownloadHost::cancel(const std::string& url) {
    if (auto task = liveTask(tasks()[url])) task->cancel();
    tasks().dictionaryPtr()->remove(url);
    if (rtasks().dictionaryPtr()->contains(url)) {
        if (auto file = resumeFile(rtasks()[url])) removeFile(*file);
        rtasks().dictionaryPtr()->remove(url);
    }
    save();
}

bool DownloadHost::isActive(const std::string& url) {
    return tasks().dictionaryPtr()->contains(url);
}

bool DownloadHost::isResumable(const std::string& url) {
    return rtasks().dictionaryPtr()->contains(url);
}

Value DownloadHost::getItem(const std::string& url) {
    if (tasks().dictionaryPtr()->contains(url)) return tasks()[url];
    if (rtasks().dictionaryPtr()->contains(url)) return rtasks()[url];
    return Value();
}

std::vector<std::string> DownloadHost::getList(std::optional<DownloadDestination> dest,
                                               const std::optional<std::string>& pathSaveTo) {
    std::vector<std::string> list;
    for (const Value& table : {tasks(), rtasks()}) {
        for (const auto& [url, entry] : *table.dictionaryPtr()) {
            bool matches =
                !pathSaveTo || (entry["pathSaveTo"].stringValue() == *pathSaveTo &&
                                (!dest || downloadDestinationFromStored(entry["dest"].integerValue()) == *dest));
            if (matches) list.push_back(url);
        }
    }
    return list;
}

void DownloadHost::refresh() {
    std::weak_ptr<DownloadHost> weakSelf = self<DownloadHost>();
    session()->getAllTasksWithCompletionHandler([weakSelf](std::vector<std::shared_ptr<NSURLSessionTask>> leftOver) {
        auto me = weakSelf.lock();
        if (!me) return;
        for (const auto& task : leftOver) task->cancel();
        std::vector<std::string> restored;
        for (const auto& [url, entry] : *me->tasks().dictionaryPtr()) {
            if (!liveTask(entry)) restored.push_back(url);
        }
        for (const std::string& url : restored) me->cancel(url);
        if (!restored.empty()) me->save();
    });
}

void DownloadHost::save() {
    Value stored = Value::dictionary();
    for (const auto& [url, entry] : *tasks().dictionaryPtr()) {
        Value copy = entry.isDictionary() ? entry.deepCopy() : Value::dictionary();
        copy.dictionaryPtr()->remove("task");
        copy.dictionaryPtr()->remove("error");
        stored.set(url, copy);
    }
    lastInfo()->set(stored, "tasks");
    lastInfo()->set(rtasks(), "rtasks");
    lastInfo()->save();
    Global::shared()->updateDisableIdle(false);
}

std::optional<std::string> DownloadHost::getURLfromTask(const NSURLSessionTask& task) {
    const auto& address = task.originalRequest().URL();
    if (address) {
        if (auto url = unescapeURL(address->absoluteString())) return url;
    }
    for (const Value& table : {tasks(), rtasks()}) {
        for (const auto& [url, entry] : *table.dictionaryPtr()) {
            if (liveTask(entry).get() == &task) return url;
        }
    }
    return std::nullopt;
}

Value DownloadHost::entryOf(const NSURLSessionTask& task, const Value& table) {
    std::optional<std::string> url = getURLfromTask(task);
    if (!url) return Value();
    Value entry = table[*url];
    if (!entry.isDictionary()) return Value();
    // A later download of the same URL owns the entry now: this task's events are not its own.
    auto owner = liveTask(entry);
    if (owner && owner.get() != &task) return Value();
    return entry;
}

void DownloadHost::URLSessionDownloadTaskDidWriteData(NSURLSession&, NSURLSessionDownloadTask& task, std::int64_t,
                                                      std::int64_t totalBytesWritten,
                                                      std::int64_t totalBytesExpectedToWrite) {
    Value entry = entryOf(task, tasks());
    if (!entry) entry = entryOf(task, rtasks());
    if (!entry) return;
    if (totalBytesExpectedToWrite >= 1) {
        entry.set("totalBytesExpectedToWrite", Value(static_cast<long long>(totalBytesExpectedToWrite)));
        entry.set("percent",
                  Value(static_cast<double>(totalBytesWritten) / static_cast<double>(totalBytesExpectedToWrite)));
    } else {
        entry.set("percent", Value(0.0));
    }
}

void DownloadHost::URLSessionDownloadTaskDidFinishDownloadingToURL(NSURLSession&, NSURLSessionDownloadTask& task,
                                                                   const std::shared_ptr<NSURL>& location) {
    Value entry = entryOf(task, tasks());
    if (!entry) return;
    entry.set("percent", Value(1.0));
    std::string path = location ? location->path() : std::string();
    if (existFile(path)) {
        entry.set("path", Value(path));
    } else {
        // Another file of the same size may belong to another download: never take it instead.
        entry.set("error",
                  Value(NSError::withDescription(NSCocoaErrorDomain, kNoSuchFile, "The downloaded file is missing.")));
    }
    // Before returning: the platform removes the file once this event is over.
    complete(task);
}

void DownloadHost::URLSessionTaskDidCompleteWithError(NSURLSession&, NSURLSessionTask& task,
                                                      std::shared_ptr<NSError> error) {
    if (!error) return;
    Value entry = entryOf(task, tasks());
    if (!entry) return;
    entry.set("error", Value(error));
    complete(task);
}

void DownloadHost::complete(const NSURLSessionTask& task) {
    Value entry = entryOf(task, tasks());
    if (!entry || entry["done"].boolValue()) return;
    entry.set("done", Value(true));
    std::string url = *getURLfromTask(task);

    auto error = entry["error"].objectAs<NSError>();
    std::optional<std::string> finalPath;
    if (!error) {
        std::optional<std::string> folder =
            downloadFolder(downloadDestinationFromStored(entry["dest"].integerValue()),
                           entry["pathSaveTo"].stringValue(), entry["newDir"].boolValue());
        const std::string source = entry["path"].stringValue();
        if (!folder || !createDirectory(*folder)) {
            error =
                NSError::withDescription(NSCocoaErrorDomain, kWriteFailed, "The destination folder cannot be written.");
        } else {
            std::string target = pathByAppendingComponent(*folder, freeFileName(*folder, downloadFileName(url)));
            Result<void> moved = NSFileManager::defaultManager()->moveItemAtPath(source, target);
            if (moved) {
                finalPath = target;
            } else {
                error = NSError::withDescription(NSCocoaErrorDomain, kWriteFailed, moved.error());
            }
        }
    }

    tasks().dictionaryPtr()->remove(url);
    save();
    if (entry.dictionaryPtr()->contains("notiLabel")) {
        Value info = Value::dictionary();
        if (finalPath) info.set("path", Value(*finalPath));
        info.set("userInfo", entry["notiUserInfo"]);
        noti(!error, entry["notiLabel"], info);
    }
    if (!error) done(url, *finalPath, entry);
    lastError_ = error;
}

void DownloadHost::URLSessionDidFinishEventsForBackgroundURLSession(NSURLSession&) {
    callBackgroundSessionCompletionHandler();
}
