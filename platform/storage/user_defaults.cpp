// NSUserDefaults: a dictionary mirrored to a binary property list on every change.
#include "platform/storage/user_defaults.h"

#include <filesystem>
#include <system_error>

#include "platform/runtime/log.h"
#include "platform/storage/bundle.h"
#include "platform/storage/file_manager.h"
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
    std::string aside = path_ + ".unreadable";
    std::filesystem::rename(path_, aside, error);
    Log::warning("defaults", "ignoring unreadable " + (stored ? path_ : stored.error()) + "; kept as " + aside);
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
    if (!NSPropertyListSerialization::propertyListIsValidForFormat(value, NSPropertyListBinaryFormat_v1_0)) {
        Log::error("defaults", "refused a value without a property-list form for key " + std::string(key));
        return;
    }
    std::lock_guard lock(mutex_);
    // Screens often store what is already there; a scalar of the same kind and value needs no write.
    const Value* current = stored_.find(key);
    bool container = value.isArray() || value.isDictionary();
    if (current && !container && current->kind() == value.kind() && current->isEqual(value)) return;
    stored_.set(std::string(key), value.deepCopy());
    writeLocked();
}

void NSUserDefaults::removeObjectForKey(std::string_view key) {
    std::lock_guard lock(mutex_);
    if (stored_.remove(key)) writeLocked();
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
    heldBack_ = false;
    // The whole dictionary is small; rewriting it keeps the file whole after every change.
    Value snapshot(stored_);
    auto written = writePropertyListFile(path_, snapshot, NSPropertyListBinaryFormat_v1_0);
    if (!written) Log::error("defaults", written.error());
    return written.ok();
}
