// The picture cache: index entries per address, shared downloads, a limit on running ones.
#include "foundation/pics.h"

#include <filesystem>

#include "foundation/data_custom.h"
#include "foundation/date_custom.h"
#include "foundation/last_info.h"
#include "foundation/string_custom_escaping.h"
#include "foundation/string_custom_paths.h"
#include "platform/net/url_contents.h"
#include "platform/storage/file_manager.h"
#include "platform/ui/draw/image.h"

namespace {

std::string waitKey(const std::string& key, const std::string& filePath) {
    return key + "\n" + filePath;
}

// A picture this cache wrote: a file, or a link to one. Anything else under the name (a folder)
// is not its own: the picture is downloaded and handed on without being kept.
bool hasPictureFile(const std::string& filePath) {
    std::error_code error;
    return std::filesystem::is_regular_file(filePath, error);
}

PicsBase::Image readImage(const std::string& filePath) {
    if (auto image = UIImage::imageWithContentsOfFile(filePath)) return image;
    auto bytes = readFileData(filePath);
    return bytes ? UIImage::imageWithData(bytes.value()) : nullptr;
}

}  // namespace

Pics::Pics() : PicsBase(withCachePath("Global.Pics.5")) {}

std::shared_ptr<LastInfo> PicsBase::lastInfo() {
    if (!lastInfo_) lastInfo_ = LastInfo::make(path_);
    return lastInfo_;
}

Value PicsBase::dict() {
    if (dict_.isNull()) {
        Value stored = lastInfo()->get("dict");
        dict_ = stored.isDictionary() ? stored : Value::dictionary();
    }
    return dict_;
}

void PicsBase::downloadAndSave(const dispatch_queue_t& queue, const std::string& url, const std::string& filePath,
                               std::uint64_t durday, std::uint64_t maxQueue, Preprocess preprocess,
                               Completion completion) {
    // The unescaped address is only the index key; the download uses the address as given.
    std::string key = unescapeURL(url).value_or(url);
    Value entry = dict()[key];
    if (!entry.isDictionary()) {
        entry = Value::dictionary();
        dict().set(key, entry);
    }
    entry.set("durday", Value(static_cast<unsigned long long>(durday)));

    std::string waiting = waitKey(key, filePath);
    if (auto found = waiting_.find(waiting); found != waiting_.end()) {
        found->second.push_back(std::move(completion));
        return;
    }

    // A record without a date (an index set aside, a file of an earlier run) cannot show that the
    // file is still young: it counts as expired.
    const Value& written = entry["date"];
    if (durday != 0 &&
        (!written.isDate() || offseted(written.dateValue(), static_cast<std::int64_t>(durday)) < dateNow())) {
        removeFile(filePath, "pics");
    }
    if (hasPictureFile(filePath)) {
        auto self = this->self<PicsBase>();
        dispatch_async(queue, [=, preprocess = std::move(preprocess), completion = std::move(completion)]() mutable {
            Image image = readImage(filePath);
            dispatch_async(dispatch_get_main_queue(),
                           [=, preprocess = std::move(preprocess), completion = std::move(completion)]() mutable {
                               if (image) {
                                   if (completion) completion(image);
                                   return;
                               }
                               // An unreadable file is dropped and fetched again; one that cannot
                               // be dropped would be read again for ever, so none is given.
                               if (!removeFile(filePath, "pics") && hasPictureFile(filePath)) {
                                   if (completion) completion(nullptr);
                                   return;
                               }
                               self->downloadAndSave(queue, url, filePath, durday, maxQueue, std::move(preprocess),
                                                     std::move(completion));
                           });
        });
        return;
    }
    waiting_[waiting].push_back(std::move(completion));
    startOrQueue(Download{queue, url, key, filePath, std::move(preprocess)}, maxQueue);
}

void PicsBase::startOrQueue(Download download, std::uint64_t maxQueue) {
    limit_ = maxQueue;
    queued_.push_back(std::move(download));
    startNext();
}

void PicsBase::startNext() {
    while (!queued_.empty() && (limit_ == 0 || running_ < limit_)) {
        Download download = std::move(queued_.front());
        queued_.pop_front();
        ++running_;
        auto self = this->self<PicsBase>();
        dispatch_queue_t queue = download.queue;
        dispatch_async(queue, [self, download = std::move(download)]() mutable {
            std::optional<Bytes> bytes;
            if (auto address = NSURL::URLWithString(download.url)) {
                if (auto read = dataWithContentsOfURL(address, NSURLRequest::kPictureBodyLimit))
                    bytes = std::move(read).value();
            }
            dispatch_async(dispatch_get_main_queue(),
                           [self, download = std::move(download), bytes = std::move(bytes)]() mutable {
                               self->finish(download, std::move(bytes));
                           });
        });
    }
}

void PicsBase::finish(const Download& download, std::optional<Bytes> bytes) {
    Image result;
    if (bytes) {
        Image decoded = bytes->empty() ? nullptr : UIImage::imageWithData(*bytes);
        result = download.preprocess ? download.preprocess(decoded) : decoded;
        if (result) {
            createDirectory(parentDirectory(download.filePath));
            Result<Bytes> jpeg = UIImageJPEGRepresentation(result, 0.5);
            if (jpeg && saveToPath(jpeg.value(), download.filePath)) {
                Value entry = dict()[download.key];
                if (entry.isDictionary()) entry.set("date", Value::date(dateNow()));
                save();
            }
        }
    }
    --running_;
    std::vector<Completion> handlers;
    if (auto found = waiting_.find(waitKey(download.key, download.filePath)); found != waiting_.end()) {
        handlers = std::move(found->second);
        waiting_.erase(found);
    }
    for (Completion& handler : handlers) {
        if (handler) handler(result);
    }
    startNext();
}

void PicsBase::save() {
    Value copy = Value::dictionary();
    if (const ValueDictionary* entries = dict().dictionaryPtr()) {
        for (const auto& [key, entry] : *entries) {
            Value clean = entry.deepCopy();
            for (const char* live : {"preprocess", "completion", "completions"}) {
                if (ValueDictionary* fields = clean.dictionaryPtr()) fields->remove(live);
            }
            copy.set(key, clean);
        }
    }
    lastInfo()->set(copy, "dict");
    lastInfo()->save();
}
