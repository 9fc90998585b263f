// User defaults: typed settings kept in a property-list file in Library/Preferences.
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/runtime/object.h"
#include "platform/runtime/value.h"

// Every change is written to disk at once (atomically), so nothing waits for synchronize().
// Values are copied in and out: editing a returned container does not change the defaults.
// Registered defaults answer for keys that were never set and are not stored. A file whose
// contents do not decode is moved aside to "<path>.unreadable" (numbered when that is taken) and
// the defaults start empty. A file that cannot be read at all (an I/O error) stays: the defaults
// start empty and the first change reads it again and lays the changes over what it holds, or
// moves it aside when it still cannot be read. Values the program keeps by itself (fitObject) are
// no such change: they wait in memory. Sets read from the file are written back as they are.
// Thread-safe.
class NSUserDefaults : public NSObject {
public:
    KORVA_MAKE(NSUserDefaults)

    // <Library/Preferences>/<bundle identifier>.plist, opened on first use.
    static std::shared_ptr<NSUserDefaults> standardUserDefaults();
    // Forgets the shared instance (after the sandbox root changes); the next call opens again.
    static void resetStandardUserDefaults();

    const std::string& path() const { return path_; }

    Value objectForKey(std::string_view key) const;                       // null when absent
    std::optional<std::string> stringForKey(std::string_view key) const;  // strings and numbers
    Value arrayForKey(std::string_view key) const;                        // null unless an array
    Value dictionaryForKey(std::string_view key) const;                   // null unless a dictionary
    std::optional<Bytes> dataForKey(std::string_view key) const;
    bool boolForKey(std::string_view key) const;
    std::int64_t integerForKey(std::string_view key) const;
    float floatForKey(std::string_view key) const;
    double doubleForKey(std::string_view key) const;

    // A null value removes the key. A value without a property-list form is refused (logged,
    // nothing changes).
    void setObject(const Value& value, std::string_view key);
    void setBool(bool value, std::string_view key) { setObject(Value(value), key); }
    void setInteger(std::int64_t value, std::string_view key) { setObject(Value(static_cast<long long>(value)), key); }
    void setFloat(float value, std::string_view key) { setObject(Value(value), key); }
    void setDouble(double value, std::string_view key) { setObject(Value(value), key); }
    void removeObjectForKey(std::string_view key);
    // A value the program keeps by itself (a count, a date it noted) rather than one the user
    // gave: written as any change while the file reads well, but while an unreadable file is held
    // back it stays in memory and leaves the file alone. When a change of the user's releases the
    // file, the file's values win over such values, which only fill its gaps. A null value removes.
    void fitObject(const Value& value, std::string_view key);
    void fitInteger(std::int64_t value, std::string_view key) { fitObject(Value(static_cast<long long>(value)), key); }

    void registerDefaults(const ValueDictionary& defaults);
    // Stored and registered values merged (stored ones win), as a new dictionary.
    Value dictionaryRepresentation() const;
    // Writes the file now; false when that fails, or when the file could not be read at start
    // and no value has changed since.
    bool synchronize();

    void init() override;

protected:
    explicit NSUserDefaults(std::string path) : path_(std::move(path)) {}

private:
    Value lookup(std::string_view key) const;  // caller holds mutex_
    bool writeLocked();
    // Remembers a change of the user's while the file is held back (a null value removes). Caller
    // holds mutex_.
    void noteChange(std::string_view key, const Value& value);
    // Before the first write over a held-back file: what it holds with the user's changes laid
    // over and the program's own values in its gaps, or the file moved aside. Caller holds mutex_.
    void recoverHeldBackFile();
    // Moves the file to "<path>.unreadable" (or the first free "<path>.unreadable-N").
    void moveAside(const std::string& why);

    std::string path_;
    mutable std::mutex mutex_;
    ValueDictionary stored_;
    ValueDictionary registered_;
    // The file could not be read: it is not written over until a value changes.
    bool heldBack_ = false;
    // The user's changes since the file was held back, in order; null marks a removal.
    std::vector<std::pair<std::string, Value>> heldBackChanges_;
};
