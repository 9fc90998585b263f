// Dictionary overwrite and merge. A nested dictionary that changes is replaced by a new copy, so
// a dictionary the receiver shared with someone else is never edited behind their back.
#include "foundation/mutable_dictionary_custom.h"

void overwrite(ValueDictionary& receiver, const ValueDictionary& other) {
    for (const auto& [key, value] : other) {
        const Value* mine = receiver.find(key);
        if (mine && mine->isDictionary() && value.isDictionary()) {
            ValueDictionary copy = *mine->dictionaryPtr();
            overwrite(copy, *value.dictionaryPtr());
            receiver.set(key, Value(std::move(copy)));
        } else {
            receiver.set(key, value);
        }
    }
}

void merge(ValueDictionary& receiver, const ValueDictionary& other) {
    for (const auto& [key, value] : other) {
        const Value* mine = receiver.find(key);
        if (!mine || mine->isNull()) {
            receiver.set(key, value);
        } else if (mine->isDictionary() && value.isDictionary()) {
            ValueDictionary copy = *mine->dictionaryPtr();
            for (const auto& [innerKey, innerValue] : *value.dictionaryPtr()) {
                if (!copy.contains(innerKey)) copy.set(innerKey, innerValue);
            }
            receiver.set(key, Value(std::move(copy)));
        }
    }
}
