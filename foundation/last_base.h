// LastBase: a persisted key-value dictionary bound to one file, loaded on first access and saved
// explicitly. Subclasses choose the file format.
//
// Main-thread only (a store belongs to its owner's thread).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/runtime/object.h"
#include "platform/runtime/value.h"

class LastBase : public NSObject {
public:
    KORVA_MAKE(LastBase)

    const std::string& path() const { return path_; }

    // The dictionary, loaded on first access. A missing file gives an empty one; so does an
    // unreadable or foreign one, which is first moved aside to "<path>.bad" (never overwritten)
    // so that nothing of the user's is destroyed. When the main file is missing or bad but a
    // backup "<path>.bak" from an interrupted save reads well, the backup's contents are used.
    Value info();
    // Null when absent.
    Value get(std::string_view key);
    // A null value removes the key.
    void set(Value value, std::string key);
    void removeObjectForKey(std::string_view key);

    // Writes the dictionary to the file; true when it was written.
    virtual bool save();
    bool exists() const;
    // Forgets the dictionary (the next access reloads) and deletes the file.
    void reset();

    // The format: the loaded root (none when unreadable) and the writer. LastBase has no format.
    virtual std::optional<Value> loadFromFile(const std::string& path);
    virtual bool saveToFile(const Value& dictionary, const std::string& path);

    std::string className() const override { return "LastBase"; }

protected:
    explicit LastBase(std::string path = {}) : path_(std::move(path)) {}

private:
    std::optional<Value> loadDictionary(const std::string& path);
    void setAside(const std::string& path);

    std::string path_;
    std::optional<Value> info_;
};
