// JSON store files.
#include "foundation/last_json.h"

#include "platform/runtime/utf16.h"
#include "platform/storage/file_manager.h"
#include "platform/storage/json.h"

std::optional<Value> LastJSON::decode(const Bytes& data) {
    std::string text(data.begin(), data.end());
    if (!isValidUtf8(text)) return std::nullopt;
    auto parsed = NSJSONSerialization::JSONObjectWithString(text);
    if (!parsed || !parsed->isDictionary()) return std::nullopt;
    return parsed->deepCopy();
}

bool LastJSON::saveToFile(const Value& dictionary, const std::string& path) {
    auto data = NSJSONSerialization::dataWithJSONObject(dictionary, NSJSONWritingCompact);
    return data && writeFileAtomically(path, *data).ok();
}

void LastJSONSet::init() {
    Value stored = get("set");
    if (auto* items = stored.arrayPtr())
        for (const auto& item : *items) set_.insert(item);
}

Value LastJSONSet::allObjects() const {
    return save_set();
}
bool LastJSONSet::containsObject(const Value& object) const {
    return set_.contains(object);
}
void LastJSONSet::addObject(Value object) {
    set_.insert(std::move(object));
}
void LastJSONSet::removeObject(const Value& object) {
    set_.remove(object);
}

Value LastJSONSet::save_set() const {
    Value array = Value::array();
    for (const auto& member : set_.items()) array.append(member);
    return array;
}

bool LastJSONSet::save() {
    set(save_set(), "set");
    return LastJSON::save();
}
