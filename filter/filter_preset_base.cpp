// Generic sources of filter descriptions.
#include "filter/filter_preset_base.h"

#include "foundation/data_custom.h"
#include "foundation/string_custom_paths.h"
#include "foundation/string_custom_payload.h"
#include "platform/image/ci_filter.h"
#include "platform/storage/bundle.h"
#include "platform/storage/file_manager.h"

Value FilterPresetBase::descFromCategory(const std::string& category) {
    Value out = Value::array();
    // An empty category would list every filter; no category of that name exists.
    if (category.empty()) return out;
    for (const std::string& name : CIFilter::filterNamesInCategory(category))
        out.append(Value::dictionary({{"name", Value(name)}}));
    return out;
}

Value FilterPresetBase::descsFromBundle(const std::string& name, const std::string& type) {
    auto path = NSBundle::mainBundle()->pathForResource(name, type);
    if (!path || !existFile(*path)) return {};
    auto data = readFileData(*path);
    if (!data) return {};
    auto text = string_utf8(*data);
    if (!text) return {};
    Value parsed = jsonArray(*text);
    return parsed.isArray() ? parsed : Value();
}
