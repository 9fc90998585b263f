// Flattening an attribute set into parameter items: nested filters are parsed under their display
// name, inputs that only make sense together become one grouped item after the single ones.
#include <algorithm>

#include "editor/adjust/pop_adj_view.h"
#include "platform/text/string_compare.h"

namespace {

constexpr int kKindPositions = 7;
constexpr int kKindCurvePoint = 11;
constexpr int kKindNested = 25;

Value keyed(const std::string& key, const Value& record) {
    return Value::dictionary({{"k", Value(key)}, {"attr", record}});
}

std::int64_t kindOf(const Value& record) {
    return record["view"].integerValue();
}

// The editable input keys, in case-insensitive order.
std::vector<std::string> editableKeys(const Value& values) {
    std::vector<std::string> keys;
    if (const ValueDictionary* d = values.dictionaryPtr())
        for (const auto& [key, record] : *d)
            if (record.isDictionary() && record["editable"].boolValue()) keys.push_back(key);
    std::stable_sort(keys.begin(), keys.end(), [](const std::string& a, const std::string& b) {
        return caseInsensitiveCompare(a, b) == NSOrderedAscending;
    });
    return keys;
}

// The filters whose cube inputs form one item, with that item's action.
AdjAction cubeActionOf(const std::string& filterName) {
    if (filterName == "CIColorCube" || filterName == "CIColorCubeWithColorSpace") return AdjAction::ColorCube;
    if (filterName == "CIColorCubesMixedWithMask") return AdjAction::ColorCube2;
    return AdjAction::None;
}

Value groupItem(AdjAction act, const char* field, Value content, const std::string& header) {
    return Value::dictionary(
        {{"act", Value(static_cast<int>(act))}, {field, std::move(content)}, {"header", Value(header)}});
}

}  // namespace

ValueArray PopAdjView::parseTo1D(const Value& attrs, const std::string& header) {
    ValueArray result;
    const std::string name = attrs["name"].stringValue();
    const Value& values = attrs["value"];
    const std::vector<std::string> keys = editableKeys(values);
    auto single = [&](const std::string& key) { parseTo1D(name, key, values[key], header, result); };

    // The inputs of one editor kind form a list item after the others, which stand on their own.
    auto listOfKind = [&](std::int64_t kind, AdjAction act) {
        Value list = Value::array();
        for (const auto& key : keys) {
            if (kindOf(values[key]) == kind) {
                list.append(keyed(key, values[key]));
            } else {
                single(key);
            }
        }
        if (list.count() > 0) result.push_back(groupItem(act, "arr", list, header));
    };

    if (name == "CIToneCurve") {
        listOfKind(kKindCurvePoint, AdjAction::Graph2D);
    } else if (const AdjAction cubeAction = cubeActionOf(name); cubeAction != AdjAction::None) {
        const std::vector<std::string>& cube = cubeInputsOf(cubeAction);
        Value parts = Value::dictionary();
        for (const auto& key : keys) {
            if (std::find(cube.begin(), cube.end(), key) != cube.end()) {
                parts.set(key, keyed(key, values[key]));
            } else {
                single(key);
            }
        }
        // A cube is edited whole: with one of its inputs not editable there is nothing to open.
        if (parts.count() == cube.size()) result.push_back(groupItem(cubeAction, "attr", parts, header));
    } else {
        listOfKind(kKindPositions, AdjAction::Positions);
    }
    return result;
}

void PopAdjView::parseTo1D(const std::string& filterName, const std::string& key, const Value& record,
                           const std::string& header, ValueArray& result) {
    if (kindOf(record) == kKindNested) {
        const Value& nested = record["value"];
        if (!nested.isDictionary()) return;
        const std::string inner = nested["disp"].stringValue() + "/" + header;
        for (Value& item : parseTo1D(nested, inner)) result.push_back(std::move(item));
        return;
    }
    if (!record.isDictionary() || record.count() == 0) return;
    result.push_back(Value::dictionary({{"act", Value(static_cast<int>(parseViewType(record, filterName)))},
                                        {"k", Value(key)},
                                        {"attr", record},
                                        {"header", Value(header)}}));
}

AdjAction PopAdjView::parseViewType(const Value& record, const std::string& /*filterName*/) {
    return adjActionForKind(record["view"].integerValue());
}

const std::vector<std::string>& PopAdjView::cubeInputsOf(AdjAction act) {
    static const std::vector<std::string> one{"inputCubeDimension", "inputCubeData"};
    static const std::vector<std::string> two{"inputCubeDimension", "inputCube0Data", "inputCube1Data"};
    static const std::vector<std::string> none;
    if (act == AdjAction::ColorCube) return one;
    if (act == AdjAction::ColorCube2) return two;
    return none;
}

bool PopAdjView::available(const Value& attrs) {
    return !parseTo1D(attrs, "").empty();
}

ValueArray PopAdjView::sortedItems(ValueArray items) {
    auto name = [](const Value& item) -> const std::string* {
        const std::string* disp = item["attr"]["disp"].string();
        return disp && !disp->empty() ? disp : nullptr;
    };
    std::stable_sort(items.begin(), items.end(), [&](const Value& a, const Value& b) {
        const std::string* na = name(a);
        const std::string* nb = name(b);
        if (!na || !nb) return na && !nb;
        return caseInsensitiveCompare(*na, *nb) == NSOrderedAscending;
    });
    return items;
}
