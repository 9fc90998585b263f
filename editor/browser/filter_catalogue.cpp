// The catalogue of the filter browser, from the shared preset lists.
#include "editor/browser/filter_catalogue.h"

#include "filter/filter_preset.h"
#include "foundation/global.h"

const Value& FilterCatalogue::filterArray0() {
    if (filterArray0_.isNull()) {
        filterArray0_ = Value::array();
        auto preset = Global::shared()->filterPreset();
        const auto& titles = FilterPreset::menuLabels();
        for (std::size_t m = 0; m < titles.size(); ++m) {
            const Value& descs = preset ? preset->menu(m) : Value::null();
            filterArray0_.append(
                Value::dictionary({{"label", Value(titles[m])}, {"arr", descs.isArray() ? descs : Value::array()}}));
        }
    }
    return filterArray0_;
}

const Value& FilterCatalogue::filterArray() {
    if (filterArray_.isNull()) {
        filterArray_ = Value::array();
        const Value& menus = filterArray0();
        for (std::size_t m = 0; m < menus.count(); ++m) {
            Value entries = Value::array();
            const Value& descs = menus[m]["arr"];
            for (std::size_t i = 0; i < descs.count(); ++i)
                entries.append(
                    Value::dictionary({{"key", Value(FilterPreset::presetKey(long(m), long(i)))}, {"desc", descs[i]}}));
            filterArray_.append(Value::dictionary({{"label", menus[m]["label"]}, {"arr", entries}}));
        }
    }
    return filterArray_;
}

const Value& FilterCatalogue::filterDictionary() {
    if (filterDictionary_.isNull()) {
        filterDictionary_ = Value::dictionary();
        const Value& menus = filterArray();
        for (std::size_t m = 0; m < menus.count(); ++m) {
            const Value& entries = menus[m]["arr"];
            for (std::size_t i = 0; i < entries.count(); ++i)
                filterDictionary_.set(entries[i]["key"].stringValue(), entries[i]["desc"]);
        }
    }
    return filterDictionary_;
}
