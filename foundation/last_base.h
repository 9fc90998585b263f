// LastBase: a persisted key-value dictionary bound to one file, loaded on first access and saved
// explicitly. Subclasses choose the file format.
//
// Main-thread only (a store belongs to its owner's thread).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/runtime/object.h"
#include "platform/runtime/value.h"

class LastBase : public NSObject {
public:
    KORVA_MAKE(LastBase)

    // How many set-aside copies of a bad file are kept; older ones are removed.
    static constexpr int kKeptBadFiles = 3;

    const std::string& path() const { return path_; }

    // The dictionary, loaded on first access. A missing file gives an empty one. A file that was
    // read whole but does not decode to a dictionary is moved aside to "<path>.bad" (numbered,
    // the newest three kept) so that nothing of the user's is destroyed; when a backup
    // "<path>.bak" from an interrupted save reads well, the backup's contents are used. A file
    // that cannot be read at all (an I/O error, no permission) stays where it is: the store then
    // starts empty and will not write over the file until a value is set or removed. The first
    // save after such a change reads the file again and lays the changes over what it holds; a
    // file that still cannot be read is moved aside like a damaged one before the store writes.
    Value info();
    // Null when absent.
    Value get(std::string_view key);
    // A null value removes the key.
    void set(Value value, std::string key);
    void removeObjectForKey(std::string_view key);
    // Stores a non-null value under a key that holds none; true when the dictionary changed.
    // A default is not a change of the user's: it does not release a held-back file.
    bool setDefault(Value value, const std::string& key);
    // Stores a value the program chose by itself (a setting moved to one the device supports),
    // which the next save writes as any other. Like a default it is not a change of the user's:
    // a held-back file stays untouched, and when a change of the user's later releases it, the
    // file's value wins over the fitted one. A key the user has changed meanwhile keeps its fitted
    // value, since it was fitted from the user's own choice. A null value removes the key.
    void fit(Value value, std::string key);

    // Writes the dictionary to the file; true when it was written. False without writing while
    // an unreadable file is held back and the user has changed nothing.
    virtual bool save();
    bool exists() const;
    // Forgets the dictionary (the next access reloads) and deletes the file.
    void reset();

    // The format: the dictionary decoded from the file's bytes (none when they do not decode)
    // and the writer. LastBase has no format.
    virtual std::optional<Value> decode(const Bytes& data);
    virtual bool saveToFile(const Value& dictionary, const std::string& path);

    std::string className() const override { return "LastBase"; }

protected:
    explicit LastBase(std::string path = {}) : path_(std::move(path)) {}

private:
    enum class FileState {
        Unread,    // nothing loaded yet
        Loaded,    // the file was read (or absent); saves write it
        HeldBack,  // the file could not be read; saves leave it alone until the user changes a value
    };

    std::optional<Value> loadDictionary(const std::string& path, bool* unreadable);
    // Remembers a change of the user's made while the file is held back (a null value removes).
    void userChanged(const std::string& key, const Value& value);
    // Before the first write over a held-back file: its contents with the user's changes laid
    // over them, or the file moved aside when it still cannot be read.
    void recoverHeldBackFile();

    std::string path_;
    std::optional<Value> info_;
    FileState state_ = FileState::Unread;
    // The user's changes since the file was held back, in order; null marks a removal.
    std::vector<std::pair<std::string, Value>> heldBackChanges_;
};
