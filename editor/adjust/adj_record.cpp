#include "editor/adjust/adj_record.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "platform/text/case_mapping.h"

float adjRecordFloat(const Value& record, std::string_view key) {
    const Value& v = record[key];
    if (!v.isNumber()) return 0;
    const double d = v.doubleValue();
    if (!std::isfinite(d)) return 0;
    // A finite double beyond the float range saturates rather than turning infinite.
    return static_cast<float>(std::clamp(d, double(-FLT_MAX), double(FLT_MAX)));
}

bool adjRecordBool(const Value& record, std::string_view key) {
    return adjRecordFloat(record, key) != 0;
}

bool adjRecordHas(const Value& record, std::string_view key) {
    const ValueDictionary* d = record.dictionaryPtr();
    return d && d->contains(key);
}

std::string adjRecordTitle(const Value& record) {
    return uppercaseString(record["disp"].stringValue());
}
