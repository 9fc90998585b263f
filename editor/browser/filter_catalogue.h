// The filter browser's catalogue: the four preset menus "BRIGHT", "WARM", "MAGENTA" and "CYAN"
// of the shared preset lists, with each entry keyed "%ld-%ld" by menu and item. The camera pop-up
// and the photo editor's panel both read it, so the same preset has the same key (and so the same
// stored edits) in both. Each list is built on first read and kept; main-thread only.
#pragma once

#include "platform/runtime/value.h"

class FilterCatalogue {
public:
    // [{"label": title, "arr": [description, ...]}, ...]
    const Value& filterArray0();
    // Preset key to description over all menus.
    const Value& filterDictionary();
    // [{"label": title, "arr": [{"key": preset key, "desc": description}, ...]}, ...]
    const Value& filterArray();

private:
    Value filterArray0_, filterDictionary_, filterArray_;
};
