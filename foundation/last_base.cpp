// LastBase: the persisted dictionary of one store file.
#include "foundation/last_base.h"

#include "foundation/string_custom_paths.h"
#include "platform/storage/file_manager.h"

Value LastBase::info() {
    if (info_) return *info_;
    std::optional<Value> loaded;
    if (existFile(path_)) {
        loaded = loadDictionary(path_);
        if (!loaded) setAside(path_);
    }
    // A save that moved the old file to the backup and then stopped before writing the new one
    // leaves the only good copy in the backup.
    const std::string backup = path_ + ".bak";
    if (!loaded && !path_.empty() && existFile(backup)) loaded = loadDictionary(backup);
    info_ = loaded ? *loaded : Value::dictionary();
    return *info_;
}

std::optional<Value> LastBase::loadDictionary(const std::string& path) {
    std::optional<Value> root = loadFromFile(path);
    if (!root || !root->isDictionary()) return std::nullopt;
    return root;
}

void LastBase::setAside(const std::string& path) {
    std::string aside = newFilePath(path + ".bad");
    (void)NSFileManager::defaultManager()->moveItemAtPath(path, aside);
}

Value LastBase::get(std::string_view key) {
    return info()[key];
}

void LastBase::set(Value value, std::string key) {
    Value dictionary = info();
    if (value.isNull()) {
        dictionary.dictionaryPtr()->remove(key);
    } else {
        dictionary.set(std::move(key), std::move(value));
    }
}

void LastBase::removeObjectForKey(std::string_view key) {
    info().dictionaryPtr()->remove(key);
}

bool LastBase::save() {
    if (path_.empty()) return false;
    if (!saveToFile(info(), path_)) return false;
    // The backup of an interrupted save has been read into the dictionary just written.
    const std::string backup = path_ + ".bak";
    if (existFile(backup)) removeFile(backup);
    return true;
}

bool LastBase::exists() const {
    return existFile(path_);
}

void LastBase::reset() {
    info_.reset();
    if (existFile(path_)) removeFile(path_);
    // Otherwise the next access would bring the forgotten contents back from the backup.
    if (!path_.empty() && existFile(path_ + ".bak")) removeFile(path_ + ".bak");
}

std::optional<Value> LastBase::loadFromFile(const std::string&) {
    return std::nullopt;
}
bool LastBase::saveToFile(const Value&, const std::string&) {
    return false;
}
