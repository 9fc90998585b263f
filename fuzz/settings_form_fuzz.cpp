// Settings-form descriptions (a property list or JSON): the sections, their titles and every row
// key the form reads, each checked for its kind.
#include "fuzz/fuzz_input.h"
#include "platform/runtime/log.h"
#include "platform/storage/json.h"
#include "platform/storage/property_list.h"
#include "settings/dict/settings_dict_description.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    Log::setQuiet(true);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes bytes = fuzzBytes(data, size);
    Result<Value> description = NSPropertyListSerialization::propertyListWithData(bytes);
    if (!description) description = NSJSONSerialization::JSONObjectWithData(bytes);
    if (!description) return 0;
    const std::vector<ValueArray> sections = settings_dict::sections(*description);
    std::size_t rows = 0;
    for (std::size_t s = 0; s < sections.size(); ++s) {
        (void)settings_dict::sectionLabel(*description, s);
        for (const Value& row : sections[s]) {
            ++rows;
            for (const char* key : {"type", "label", "label2", "value", "value0", "text", "longText", "right"})
                (void)settings_dict::text(row, key);
            for (const char* key : {"accessoryType", "textAlignment", "value", "slider"})
                (void)settings_dict::number(row, key);
            (void)settings_dict::height(row);
            (void)settings_dict::texts(row, "options");
            for (const char* key : {"enabled", "movable", "switch", "radio", "button", "syncTiming"})
                (void)settings_dict::flag(row, key, true);
        }
    }
    if (rows != settings_dict::rowCount(*description)) __builtin_trap();
    return 0;
}
