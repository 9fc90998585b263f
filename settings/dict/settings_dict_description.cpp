// Kind-checked reads of a settings description.
#include "settings/dict/settings_dict_description.h"

#include <cmath>

#include "platform/runtime/log.h"

namespace settings_dict {
namespace {
constexpr const char* kLog = "settings";

void complain(const std::string& what) {
    Log::warning(kLog, "settings description: " + what);
}
}  // namespace

std::vector<ValueArray> sections(const Value& description) {
    std::vector<ValueArray> out;
    const Value& arr = description["arr"];
    if (arr.isNull()) return out;
    if (!arr.isArray()) {
        complain("\"arr\" is no list of sections; no rows");
        return out;
    }
    for (std::size_t i = 0; i < arr.count(); ++i) {
        const Value& s = arr[i];
        if (!s.isArray()) {
            complain("section " + std::to_string(i) + " is no list of rows; shown empty");
            out.emplace_back();
            continue;
        }
        out.push_back(*s.arrayPtr());
    }
    return out;
}

std::string sectionLabel(const Value& description, std::size_t section) {
    const Value& labels = description["secLabels"];
    if (!labels.isArray() || section >= labels.count()) return {};
    const Value& label = labels[section];
    if (label.isString()) return *label.string();
    complain("header " + std::to_string(section) + " is no text; left empty");
    return {};
}

std::size_t rowCount(const Value& description) {
    std::size_t n = 0;
    for (const auto& s : sections(description)) n += s.size();
    return n;
}

std::optional<std::string> text(const Value& row, const char* key) {
    const Value& v = row[key];
    if (v.isNull()) return std::nullopt;
    if (v.isString()) return *v.string();
    complain(std::string("\"") + key + "\" is no text; read as absent");
    return std::nullopt;
}

std::optional<double> number(const Value& row, const char* key) {
    const Value& v = row[key];
    if (v.isNull()) return std::nullopt;
    if (v.isNumber()) return v.doubleValue();
    if (v.isString()) {
        complain(std::string("\"") + key + "\" is text where a number is due; read by its leading digits");
        return v.doubleValue();
    }
    complain(std::string("\"") + key + "\" is no number; read as absent");
    return std::nullopt;
}

std::optional<double> height(const Value& row) {
    auto h = number(row, "height");
    if (!h) return std::nullopt;
    if (!std::isfinite(*h) || *h < 0) {
        complain("\"height\" is negative or not finite; the default height stands");
        return std::nullopt;
    }
    return h;
}

std::vector<std::string> texts(const Value& row, const char* key) {
    std::vector<std::string> out;
    const Value& v = row[key];
    if (v.isNull()) return out;
    if (!v.isArray()) {
        complain(std::string("\"") + key + "\" is no list; read as empty");
        return out;
    }
    for (std::size_t i = 0; i < v.count(); ++i) {
        if (v[i].isString())
            out.push_back(*v[i].string());
        else
            complain(std::string("an entry of \"") + key + "\" is no text; left out");
    }
    return out;
}

bool flag(const Value& row, const char* key, bool absent) {
    const Value& v = row[key];
    if (v.isNull()) return absent;
    return v.boolValue();
}

}  // namespace settings_dict
