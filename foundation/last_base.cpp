// LastBase: the persisted dictionary of one store file.
#include "foundation/last_base.h"

#include <algorithm>
#include <charconv>
#include <filesystem>

#include "foundation/string_custom_paths.h"
#include "platform/runtime/log.h"
#include "platform/storage/file_manager.h"
#include "platform/storage/file_removal.h"
#include "platform/storage/temporary_name.h"

namespace {

// The number of a set-aside copy of `name`: "<name>.bad" is 0, "<name>-N.bad" is N.
std::optional<long long> badFileNumber(std::string_view entry, std::string_view name) {
    constexpr std::string_view kSuffix = ".bad";
    if (entry.size() < name.size() + kSuffix.size() || !entry.starts_with(name) || !entry.ends_with(kSuffix))
        return std::nullopt;
    std::string_view middle = entry.substr(name.size(), entry.size() - name.size() - kSuffix.size());
    if (middle.empty()) return 0;
    if (middle.front() != '-' || middle.size() < 2) return std::nullopt;
    long long number = 0;
    auto [end, error] = std::from_chars(middle.data() + 1, middle.data() + middle.size(), number);
    if (error != std::errc() || end != middle.data() + middle.size() || number <= 0) return std::nullopt;
    return number;
}

// Moves the file aside under the next number and keeps only the newest set-aside copies.
void setAside(const std::string& path) {
    const std::string folder = parentDirectory(path);
    const std::string name = lastPathComponent(path);
    auto manager = NSFileManager::defaultManager();
    std::vector<std::pair<long long, std::string>> copies;
    if (auto entries = manager->contentsOfDirectoryAtPath(folder.empty() ? "." : folder)) {
        for (const auto& entry : *entries)
            if (auto number = badFileNumber(entry, name)) copies.emplace_back(*number, entry);
    }
    long long next = 0;
    for (const auto& copy : copies) next = std::max(next, copy.first + 1);
    std::string asideName = next == 0 ? name + ".bad" : name + "-" + std::to_string(next) + ".bad";
    std::string aside = folder.empty() ? asideName : folder + "/" + asideName;
    if (auto moved = manager->moveItemAtPath(path, aside); !moved) {
        Log::error("store", "cannot set aside " + path + ": " + moved.error());
        return;
    }
    Log::warning("store", "unreadable store " + path + " kept as " + aside);
    copies.emplace_back(next, asideName);
    std::sort(copies.begin(), copies.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    for (std::size_t i = LastBase::kKeptBadFiles; i < copies.size(); ++i)
        removeOneFileSaying(folder.empty() ? copies[i].second : folder + "/" + copies[i].second, "store");
}

// What a write of the store's own that was cut short leaves beside the file: a temporary of the
// program's own shape (temporary_name.h). One of the shape other programs use too is left alone.
bool isStaleTemporary(std::string_view entry, std::string_view name) {
    const auto target = ownTemporaryTarget(entry);
    return target && *target == name;
}

// Removes the temporaries a write interrupted (the process killed mid-write) left for good.
void clearStaleTemporaries(const std::string& path) {
    if (path.empty()) return;
    const std::string folder = parentDirectory(path);
    const std::string name = lastPathComponent(path);
    auto entries = NSFileManager::defaultManager()->contentsOfDirectoryAtPath(folder.empty() ? "." : folder);
    if (!entries) return;
    for (const auto& entry : *entries) {
        if (!isStaleTemporary(entry, name)) continue;
        std::string stale = folder.empty() ? entry : folder + "/" + entry;
        // A save leaves a file: anything else under such a name (a folder) is not its to remove,
        // and the removal takes one file or nothing, whatever came under the name since this look.
        std::error_code error;
        if (!std::filesystem::is_regular_file(std::filesystem::symlink_status(stale, error))) continue;
        if (removeOneFileSaying(stale, "store"))
            Log::info("store", "removed " + stale + ", left by an interrupted save");
    }
}

}  // namespace

Value LastBase::info() {
    if (info_) return *info_;
    clearStaleTemporaries(path_);
    std::optional<Value> loaded;
    bool unreadable = false;
    if (existFile(path_)) {
        loaded = loadDictionary(path_, &unreadable);
        if (!loaded && !unreadable) setAside(path_);
    }
    state_ = unreadable ? FileState::HeldBack : FileState::Loaded;
    // A save that moved the old file to the backup and then stopped before writing the new one
    // leaves the only good copy in the backup. A held-back file is newer than any backup.
    const std::string backup = path_ + ".bak";
    if (!loaded && !unreadable && !path_.empty() && existFile(backup)) {
        bool backupUnreadable = false;
        loaded = loadDictionary(backup, &backupUnreadable);
    }
    info_ = loaded ? *loaded : Value::dictionary();
    return *info_;
}

std::optional<Value> LastBase::loadDictionary(const std::string& path, bool* unreadable) {
    auto data = readFileData(path);
    if (!data) {
        // Gone since it was seen is simply missing; anything else is a failed read, not bad contents.
        *unreadable = existFile(path);
        if (*unreadable) Log::warning("store", data.error() + "; using defaults and keeping the file");
        return std::nullopt;
    }
    std::optional<Value> root = decode(*data);
    if (!root || !root->isDictionary()) return std::nullopt;
    return root;
}

void LastBase::userChanged(const std::string& key, const Value& value) {
    if (state_ == FileState::HeldBack) heldBackChanges_.emplace_back(key, value);
}

void LastBase::recoverHeldBackFile() {
    Value current = info();
    bool unreadable = false;
    std::optional<Value> onDisk;
    if (existFile(path_)) {
        onDisk = loadDictionary(path_, &unreadable);
        // Still unreadable or now damaged: the store is about to write, so the file goes aside.
        if (!onDisk) setAside(path_);
    }
    if (onDisk) {
        Value merged = *onDisk;
        auto* target = merged.dictionaryPtr();
        for (auto& [key, value] : heldBackChanges_) target->set(key, value);
        // Keys only the store has (defaults filled in meanwhile) fill gaps; the file's win.
        for (const auto& [key, value] : *current.dictionaryPtr())
            if (!target->contains(key)) {
                bool removed = false;
                for (const auto& change : heldBackChanges_)
                    if (change.first == key) removed = change.second.isNull();
                if (!removed) target->set(key, value);
            }
        // Callers holding the dictionary see the merged contents too.
        auto* dictionary = current.dictionaryPtr();
        dictionary->clear();
        for (const auto& [key, value] : *target) dictionary->set(key, value);
    }
    heldBackChanges_.clear();
    state_ = FileState::Loaded;
}

Value LastBase::get(std::string_view key) {
    return info()[key];
}

void LastBase::set(Value value, std::string key) {
    Value dictionary = info();
    userChanged(key, value);
    if (value.isNull()) {
        dictionary.dictionaryPtr()->remove(key);
    } else {
        dictionary.set(std::move(key), std::move(value));
    }
}

void LastBase::removeObjectForKey(std::string_view key) {
    Value dictionary = info();
    userChanged(std::string(key), Value());
    dictionary.dictionaryPtr()->remove(key);
}

void LastBase::fit(Value value, std::string key) {
    Value dictionary = info();
    if (state_ == FileState::HeldBack && std::any_of(heldBackChanges_.begin(), heldBackChanges_.end(),
                                                     [&key](const auto& change) { return change.first == key; }))
        heldBackChanges_.emplace_back(key, value);
    if (value.isNull()) {
        dictionary.dictionaryPtr()->remove(key);
    } else {
        dictionary.set(std::move(key), std::move(value));
    }
}

bool LastBase::setDefault(Value value, const std::string& key) {
    Value dictionary = info();
    if (value.isNull() || !dictionary[key].isNull()) return false;
    dictionary.set(key, std::move(value));
    return true;
}

bool LastBase::save() {
    if (path_.empty()) return false;
    info();
    if (state_ == FileState::HeldBack) {
        if (heldBackChanges_.empty()) return false;
        recoverHeldBackFile();
    }
    Value dictionary = info();
    if (!saveToFile(dictionary, path_)) {
        Log::error("store", "cannot save " + path_ + ": the changes are kept only until the program ends");
        return false;
    }
    // The backup of an interrupted save has been read into the dictionary just written.
    const std::string backup = path_ + ".bak";
    if (existFile(backup)) removeOneFileSaying(backup, "store");
    return true;
}

bool LastBase::exists() const {
    return existFile(path_);
}

void LastBase::reset() {
    info_.reset();
    state_ = FileState::Unread;
    heldBackChanges_.clear();
    if (existFile(path_)) removeOneFileSaying(path_, "store");
    // Otherwise the next access would bring the forgotten contents back from the backup.
    if (!path_.empty() && existFile(path_ + ".bak")) removeOneFileSaying(path_ + ".bak", "store");
}

std::optional<Value> LastBase::decode(const Bytes&) {
    return std::nullopt;
}
bool LastBase::saveToFile(const Value&, const std::string&) {
    return false;
}
