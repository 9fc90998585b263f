// NSUserDefaults: a dictionary mirrored to a binary property list on every change.
#include "platform/storage/user_defaults.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/runtime/log.h"
#include "platform/storage/bundle.h"
#include "platform/storage/file_manager.h"
#include "platform/storage/plist_codec.h"
#include "platform/storage/property_list.h"
#include "platform/storage/sandbox.h"

namespace {

std::mutex& sharedMutex() {
    static std::mutex mutex;
    return mutex;
}

std::shared_ptr<NSUserDefaults>& sharedDefaults() {
    static std::shared_ptr<NSUserDefaults> defaults;
    return defaults;
}

// False, with a log line, for a value the file could not hold.
bool storable(const Value& value, std::string_view key) {
    if (NSPropertyListSerialization::propertyListIsValidForFormat(value, NSPropertyListBinaryFormat_v1_0)) return true;
    Log::error("defaults", "refused a value without a property-list form for key " + std::string(key));
    return false;
}

// Screens often store what is already there; a scalar of the same kind and value needs no write.
bool alreadyStored(const ValueDictionary& stored, std::string_view key, const Value& value) {
    const Value* current = stored.find(key);
    bool container = value.isArray() || value.isDictionary();
    return current && !container && current->kind() == value.kind() && current->isEqual(value);
}

}  // namespace

std::shared_ptr<NSUserDefaults> NSUserDefaults::standardUserDefaults() {
    std::lock_guard lock(sharedMutex());
    auto& defaults = sharedDefaults();
    if (!defaults) {
        std::string identifier = NSBundle::mainBundle()->bundleIdentifier();
        if (identifier.empty()) identifier = "app.korva.camera";
        defaults = NSUserDefaults::make(Sandbox::preferencesDirectory() + "/" + identifier + ".plist");
    }
    return defaults;
}

void NSUserDefaults::resetStandardUserDefaults() {
    std::lock_guard lock(sharedMutex());
    sharedDefaults().reset();
}

void NSUserDefaults::init() {
    std::error_code error;
    if (!std::filesystem::exists(path_, error)) return;  // the normal first start
    auto data = readFileData(path_);
    if (!data) {
        // A failed read says nothing about the contents: the file stays, and is not replaced
        // until a value changes.
        heldBack_ = true;
        Log::warning("defaults", data.error() + "; using no stored values and keeping the file");
        return;
    }
    auto stored = NSPropertyListSerialization::propertyListWithData(*data);
    if (stored && stored->isDictionary()) {
        stored_ = *stored->dictionaryPtr();
        return;
    }
    // Contents that do not decode are kept aside rather than overwritten by the next change, so
    // that nothing is lost without a trace.
    moveAside("ignoring unreadable " + (stored ? path_ : stored.error()));
}

void NSUserDefaults::moveAside(const std::string& why) {
    std::error_code error;
    std::string aside = path_ + ".unreadable";
    for (int n = 2;
         std::filesystem::symlink_status(aside, error).type() != std::filesystem::file_type::not_found && n < 1000; ++n)
        aside = path_ + ".unreadable-" + std::to_string(n);
    std::filesystem::rename(path_, aside, error);
    if (error) {
        Log::error("defaults", why + "; cannot keep it as " + aside + ": " + error.message());
        return;
    }
    Log::warning("defaults", why + "; kept as " + aside);
}

void NSUserDefaults::noteChange(std::string_view key, const Value& value) {
    if (heldBack_) heldBackChanges_.emplace_back(std::string(key), value.deepCopy());
}

void NSUserDefaults::recoverHeldBackFile() {
    std::error_code error;
    if (std::filesystem::symlink_status(path_, error).type() != std::filesystem::file_type::not_found) {
        auto data = readFileData(path_);
        auto onDisk =
            data ? NSPropertyListSerialization::propertyListWithData(*data) : Result<Value>(fail(data.error()));
        if (onDisk && onDisk->isDictionary()) {
            ValueDictionary merged = *onDisk->dictionaryPtr();
            for (const auto& [key, value] : heldBackChanges_) merged.set(key, value);
            // What the program kept by itself meanwhile started from nothing: it only fills gaps,
            // and never brings back a key the user removed.
            for (const auto& [key, value] : stored_) {
                const std::string& name = key;
                const bool touched = std::any_of(heldBackChanges_.begin(), heldBackChanges_.end(),
                                                 [&name](const auto& change) { return change.first == name; });
                if (!touched && !merged.contains(key)) merged.set(key, value.deepCopy());
            }
            stored_ = std::move(merged);
        } else {
            // Still unreadable, or damaged now: the write is about to replace it, so it goes aside.
            moveAside("cannot read " + path_ + " before writing over it (" +
                      (onDisk ? "not a dictionary" : onDisk.error()) + ")");
        }
    }
    heldBackChanges_.clear();
    heldBack_ = false;
}

Value NSUserDefaults::lookup(std::string_view key) const {
    if (const Value* value = stored_.find(key)) return value->deepCopy();
    if (const Value* value = registered_.find(key)) return value->deepCopy();
    return Value();
}

Value NSUserDefaults::objectForKey(std::string_view key) const {
    std::lock_guard lock(mutex_);
    return lookup(key);
}

std::optional<std::string> NSUserDefaults::stringForKey(std::string_view key) const {
    Value value = objectForKey(key);
    if (value.isString() || (value.isNumber() && !value.isBool())) return value.stringValue();
    return std::nullopt;
}

Value NSUserDefaults::arrayForKey(std::string_view key) const {
    Value value = objectForKey(key);
    return value.isArray() ? value : Value();
}

Value NSUserDefaults::dictionaryForKey(std::string_view key) const {
    Value value = objectForKey(key);
    return value.isDictionary() ? value : Value();
}

std::optional<Bytes> NSUserDefaults::dataForKey(std::string_view key) const {
    Value value = objectForKey(key);
    if (!value.isData()) return std::nullopt;
    return *value.bytes();
}

bool NSUserDefaults::boolForKey(std::string_view key) const {
    return objectForKey(key).boolValue();
}
std::int64_t NSUserDefaults::integerForKey(std::string_view key) const {
    return objectForKey(key).integerValue();
}
float NSUserDefaults::floatForKey(std::string_view key) const {
    return objectForKey(key).floatValue();
}
double NSUserDefaults::doubleForKey(std::string_view key) const {
    return objectForKey(key).doubleValue();
}

void NSUserDefaults::setObject(const Value& value, std::string_view key) {
    if (value.isNull()) return removeObjectForKey(key);
    if (!storable(value, key)) return;
    std::lock_guard lock(mutex_);
    // While the file is held back the value in memory may be the program's own, and the file may
    // hold another: the user's value is a change all the same.
    if (!heldBack_ && alreadyStored(stored_, key, value)) return;
    stored_.set(std::string(key), value.deepCopy());
    noteChange(key, value);
    writeLocked();
}

void NSUserDefaults::fitObject(const Value& value, std::string_view key) {
    if (!value.isNull() && !storable(value, key)) return;
    std::lock_guard lock(mutex_);
    if (value.isNull() ? !stored_.remove(key) : alreadyStored(stored_, key, value)) return;
    if (!value.isNull()) stored_.set(std::string(key), value.deepCopy());
    // A file that could not be read is not replaced for what the program noted by itself.
    if (!heldBack_) writeLocked();
}

void NSUserDefaults::removeObjectForKey(std::string_view key) {
    std::lock_guard lock(mutex_);
    // While the file is held back it may hold the key even though the defaults do not.
    bool removed = stored_.remove(key);
    if (!removed && !heldBack_) return;
    noteChange(key, Value());
    writeLocked();
}

void NSUserDefaults::registerDefaults(const ValueDictionary& defaults) {
    std::lock_guard lock(mutex_);
    for (const auto& [key, value] : defaults) registered_.set(key, value.deepCopy());
}

Value NSUserDefaults::dictionaryRepresentation() const {
    std::lock_guard lock(mutex_);
    ValueDictionary merged;
    for (const auto& [key, value] : registered_) merged.set(key, value.deepCopy());
    for (const auto& [key, value] : stored_) merged.set(key, value.deepCopy());
    return Value(std::move(merged));
}

bool NSUserDefaults::synchronize() {
    std::lock_guard lock(mutex_);
    if (heldBack_) return false;
    return writeLocked();
}

bool NSUserDefaults::writeLocked() {
    if (heldBack_) recoverHeldBackFile();
    // The whole dictionary is small; rewriting it keeps the file whole after every change. The
    // binary form carries the sets a file may hold (callers cannot store new ones).
    Value snapshot(stored_);
    auto data = storage_detail::encodeBinaryPlist(snapshot, storage_detail::UIDs::AsDictionaries);
    auto written = data ? writeFileAtomically(path_, *data) : Result<void>(fail(data.error()));
    if (!written) Log::error("defaults", "cannot write " + path_ + ": " + written.error());
    return written.ok();
}
