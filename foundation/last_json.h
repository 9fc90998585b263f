// JSON store files: LastJSON keeps its dictionary as a compact JSON object; LastJSONSet keeps a
// set of values as a JSON array under "set". Main-thread only.
#pragma once

#include "foundation/last_base.h"

class LastJSON : public LastBase {
public:
    KORVA_MAKE(LastJSON)

    // The file's JSON object, mutable; none when it is not a JSON object.
    std::optional<Value> decode(const Bytes& data) override;
    // Written aside and renamed into place; the folder must exist.
    bool saveToFile(const Value& dictionary, const std::string& path) override;

    std::string className() const override { return "LastJSON"; }

protected:
    explicit LastJSON(std::string path = {}) : LastBase(std::move(path)) {}
};

class LastJSONSet : public LastJSON {
public:
    KORVA_MAKE(LastJSONSet)

    // Reads "set" (loading the file); anything but an array gives an empty set.
    void init() override;

    Value allObjects() const;
    bool containsObject(const Value& object) const;
    void addObject(Value object);
    void removeObject(const Value& object);

    // The members as an array.
    Value save_set() const;
    // Stores the members under "set", then saves like LastJSON.
    bool save() override;

    std::string className() const override { return "LastJSONSet"; }

protected:
    explicit LastJSONSet(std::string path = {}) : LastJSON(std::move(path)) {}

private:
    ValueSet set_;
};
