// The download service: the persisted tables, pause and resume through resume-data files, and
// the completion that moves each file into place.
#include "language/download_host.h"

#include <algorithm>

#include "foundation/background_session_completion.h"
#include "foundation/global.h"
#include "foundation/last_info.h"
#include "foundation/string_custom_escaping.h"
#include "foundation/string_custom_paths.h"
#include "platform/dispatch/queue.h"
#include "platform/net/url_session_configuration.h"
#include "platform/storage/file_manager.h"
#include "platform/storage/file_removal.h"

namespace {

// The platform file-error codes for "no such file" and "write failed".
constexpr std::int64_t kNoSuchFile = 4;
constexpr std::int64_t kWriteFailed = 512;

using Entry = DownloadHost::Entry;
using Table = DownloadHost::Table;

Table::const_iterator findIn(const Table& table, const std::string& url) {
    return std::find_if(table.begin(), table.end(), [&](const auto& row) { return row.first == url; });
}

std::shared_ptr<Entry> entryIn(const Table& table, const std::string& url) {
    auto row = findIn(table, url);
    return row == table.end() ? nullptr : row->second;
}

// Replaces the URL's entry in its place, or adds it at the end.
void put(Table& table, const std::string& url, std::shared_ptr<Entry> entry) {
    auto row = std::find_if(table.begin(), table.end(), [&](const auto& r) { return r.first == url; });
    if (row != table.end())
        row->second = std::move(entry);
    else
        table.emplace_back(url, std::move(entry));
}

void erase(Table& table, const std::string& url) {
    std::erase_if(table, [&](const auto& row) { return row.first == url; });
}

Table restoredTable(const Value& stored) {
    Table table;
    if (const auto* rows = stored.dictionaryPtr())
        for (const auto& [url, entry] : *rows)
            if (entry.isDictionary()) table.emplace_back(url, Entry::restored(entry));
    return table;
}

Value storedTable(const Table& table) {
    Value stored = Value::dictionary();
    for (const auto& [url, entry] : table) stored.set(url, entry->stored());
    return stored;
}

}  // namespace

Value DownloadHost::Entry::stored() const {
    Value out = Value::dictionary({{"percent", Value(percent)},
                                   {"dest", Value(static_cast<long long>(storedDownloadDestination(dest)))},
                                   {"pathSaveTo", Value(pathSaveTo)},
                                   {"newDir", Value(newDir)}});
    if (!notiLabel.isNull()) out.set("notiLabel", notiLabel);
    if (!notiUserInfo.isNull()) out.set("notiUserInfo", notiUserInfo);
    if (totalBytesExpectedToWrite)
        out.set("totalBytesExpectedToWrite", Value(static_cast<long long>(*totalBytesExpectedToWrite)));
    if (resumePath) out.set("resumePath", Value(*resumePath));
    return out;
}

std::shared_ptr<DownloadHost::Entry> DownloadHost::Entry::restored(const Value& stored) {
    auto entry = std::make_shared<Entry>();
    entry->percent = stored["percent"].doubleValue();
    entry->dest = downloadDestinationFromStored(stored["dest"].integerValue());
    entry->pathSaveTo = stored["pathSaveTo"].stringValue();
    entry->newDir = stored["newDir"].boolValue();
    entry->notiLabel = stored["notiLabel"];
    entry->notiUserInfo = stored["notiUserInfo"];
    if (stored["totalBytesExpectedToWrite"].isNumber())
        entry->totalBytesExpectedToWrite = stored["totalBytesExpectedToWrite"].integerValue();
    if (const std::string* path = stored["resumePath"].string()) entry->resumePath = *path;
    return entry;
}

std::shared_ptr<LastInfo> DownloadHost::lastInfo() {
    if (!lastInfo_) lastInfo_ = LastInfo::make(withLibraryPath("DownloadHost.1-" + className()));
    return lastInfo_;
}

void DownloadHost::load() {
    if (loaded_) return;
    loaded_ = true;
    tasks_ = restoredTable(lastInfo()->get("tasks"));
    rtasks_ = restoredTable(lastInfo()->get("rtasks"));
}

const DownloadHost::Table& DownloadHost::tasks() {
    load();
    return tasks_;
}

const DownloadHost::Table& DownloadHost::rtasks() {
    load();
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

std::optional<std::string> DownloadHost::resumeFile(const Entry& entry) const {
    // Only a file of the resume-data folder: a damaged table must never name anything else.
    const std::optional<std::string>& relative = entry.resumePath;
    std::string prefix = std::string(kResumeDataFolder) + "/";
    if (!relative || relative->size() <= prefix.size() || relative->rfind(prefix, 0) != 0 ||
        relative->find('/', prefix.size()) != std::string::npos || relative->find("..") != std::string::npos) {
        return std::nullopt;
    }
    return withLibraryPath(*relative);
}

std::shared_ptr<DownloadHost::Entry> DownloadHost::request(const std::string& url, DownloadDestination dest,
                                                           const std::string& pathSaveTo, bool newDir,
                                                           const Value& notiLabel, const Value& notiUserInfo) {
    if (isResumable(url)) {
        if (auto entry = resume(url)) return entry;
    }
    auto address = NSURL::URLWithString(escapeURL(url));
    NSURLRequest capped(address);
    capped.setMaximumBodyLength(kMaximumFileBytes);
    auto task = address ? session()->downloadTaskWithRequest(capped) : nullptr;
    if (!task) return nullptr;
    auto entry = std::make_shared<Entry>();
    entry->task = task;
    entry->dest = dest;
    entry->pathSaveTo = pathSaveTo;
    entry->newDir = newDir;
    entry->notiLabel = notiLabel;
    entry->notiUserInfo = notiUserInfo;
    return start(url, entry, task);
}

std::shared_ptr<DownloadHost::Entry> DownloadHost::start(const std::string& url, const std::shared_ptr<Entry>& entry,
                                                         const std::shared_ptr<NSURLSessionDownloadTask>& task) {
    load();
    put(tasks_, url, entry);
    save();
    task->resume();
    return entry;
}

std::shared_ptr<DownloadHost::Entry> DownloadHost::resume(const std::string& url) {
    load();
    auto entry = entryIn(rtasks_, url);
    erase(rtasks_, url);
    save();
    std::optional<std::string> file = entry ? resumeFile(*entry) : std::nullopt;
    if (!file) return nullptr;
    Result<Bytes> data = readFileData(*file);
    removeOneFileSaying(*file, "download");
    if (!data) return nullptr;
    auto task = session()->downloadTaskWithResumeData(*data);
    if (!task) return nullptr;
    entry->resumePath.reset();
    entry->task = task;
    return start(url, entry, task);
}

void DownloadHost::pause(const std::string& url) {
    load();
    auto entry = entryIn(tasks_, url);
    auto task = entry ? entry->task : nullptr;
    erase(tasks_, url);
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
        entry->task.reset();
        entry->resumePath = relative;
        me->load();
        put(me->rtasks_, url, entry);
        me->save();
    });
}

void DownloadHost::cancel(const std::string& url) {
    load();
    if (auto entry = entryIn(tasks_, url); entry && entry->task) entry->task->cancel();
    erase(tasks_, url);
    if (auto paused = entryIn(rtasks_, url)) {
        if (auto file = resumeFile(*paused)) removeOneFileSaying(*file, "download");
        erase(rtasks_, url);
    }
    save();
}

bool DownloadHost::isActive(const std::string& url) {
    return entryIn(tasks(), url) != nullptr;
}

bool DownloadHost::isResumable(const std::string& url) {
    return entryIn(rtasks(), url) != nullptr;
}

std::shared_ptr<DownloadHost::Entry> DownloadHost::getItem(const std::string& url) {
    if (auto entry = entryIn(tasks(), url)) return entry;
    return entryIn(rtasks(), url);
}

std::vector<std::string> DownloadHost::getList(std::optional<DownloadDestination> dest,
                                               const std::optional<std::string>& pathSaveTo) {
    std::vector<std::string> list;
    for (const Table* table : {&tasks(), &rtasks()}) {
        for (const auto& [url, entry] : *table) {
            bool matches = !pathSaveTo || (entry->pathSaveTo == *pathSaveTo && (!dest || entry->dest == *dest));
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
        for (const auto& [url, entry] : me->tasks()) {
            if (!entry->task) restored.push_back(url);
        }
        for (const std::string& url : restored) me->cancel(url);
        if (!restored.empty()) me->save();
    });
}

void DownloadHost::save() {
    load();
    lastInfo()->set(storedTable(tasks_), "tasks");
    lastInfo()->set(storedTable(rtasks_), "rtasks");
    lastInfo()->save();
    Global::shared()->updateDisableIdle(false);
}

std::optional<std::string> DownloadHost::getURLfromTask(const NSURLSessionTask& task) {
    const auto& address = task.originalRequest().URL();
    if (address) {
        if (auto url = unescapeURL(address->absoluteString())) return url;
    }
    for (const Table* table : {&tasks(), &rtasks()}) {
        for (const auto& [url, entry] : *table) {
            if (entry->task.get() == &task) return url;
        }
    }
    return std::nullopt;
}

std::shared_ptr<DownloadHost::Entry> DownloadHost::entryOf(const NSURLSessionTask& task, const Table& table) {
    std::optional<std::string> url = getURLfromTask(task);
    if (!url) return nullptr;
    auto entry = entryIn(table, *url);
    if (!entry) return nullptr;
    // A later download of the same URL owns the entry now: this task's events are not its own.
    if (entry->task && entry->task.get() != &task) return nullptr;
    return entry;
}

void DownloadHost::URLSessionDownloadTaskDidWriteData(NSURLSession&, NSURLSessionDownloadTask& task, std::int64_t,
                                                      std::int64_t totalBytesWritten,
                                                      std::int64_t totalBytesExpectedToWrite) {
    auto entry = entryOf(task, tasks());
    if (!entry) entry = entryOf(task, rtasks());
    if (!entry) return;
    if (totalBytesExpectedToWrite >= 1) {
        entry->totalBytesExpectedToWrite = totalBytesExpectedToWrite;
        entry->percent = static_cast<double>(totalBytesWritten) / static_cast<double>(totalBytesExpectedToWrite);
    } else {
        entry->percent = 0.0;
    }
}

void DownloadHost::URLSessionDownloadTaskDidFinishDownloadingToURL(NSURLSession&, NSURLSessionDownloadTask& task,
                                                                   const std::shared_ptr<NSURL>& location) {
    auto entry = entryOf(task, tasks());
    if (!entry) return;
    entry->percent = 1.0;
    std::string path = location ? location->path() : std::string();
    if (existFile(path)) {
        entry->path = path;
    } else {
        // Another file of the same size may belong to another download: never take it instead.
        entry->error = NSError::withDescription(NSCocoaErrorDomain, kNoSuchFile, "The downloaded file is missing.");
    }
    // Before returning: the platform removes the file once this event is over.
    complete(task);
}

void DownloadHost::URLSessionTaskDidCompleteWithError(NSURLSession&, NSURLSessionTask& task,
                                                      std::shared_ptr<NSError> error) {
    if (!error) return;
    auto entry = entryOf(task, tasks());
    if (!entry) return;
    entry->error = error;
    complete(task);
}

void DownloadHost::complete(const NSURLSessionTask& task) {
    auto entry = entryOf(task, tasks());
    if (!entry || entry->done) return;
    entry->done = true;
    std::string url = *getURLfromTask(task);

    auto error = entry->error;
    std::optional<std::string> finalPath;
    if (!error) {
        std::optional<std::string> folder = downloadFolder(entry->dest, entry->pathSaveTo, entry->newDir);
        const std::string source = entry->path.value_or(std::string());
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

    erase(tasks_, url);
    save();
    if (!entry->notiLabel.isNull()) {
        Value info = Value::dictionary();
        if (finalPath) info.set("path", Value(*finalPath));
        info.set("userInfo", entry->notiUserInfo);
        noti(!error, entry->notiLabel, info);
    }
    if (!error) done(url, *finalPath, *entry);
    lastError_ = error;
}

void DownloadHost::URLSessionDidFinishEventsForBackgroundURLSession(NSURLSession&) {
    callBackgroundSessionCompletionHandler();
}
