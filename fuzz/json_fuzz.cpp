// JSON: whatever reads is written back (compact and pretty) and read again.
#include "fuzz/fuzz_input.h"
#include "platform/storage/json.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto value = NSJSONSerialization::JSONObjectWithData(fuzzBytes(data, size));
    if (!value) return 0;
    for (unsigned options : {unsigned(NSJSONWritingCompact), unsigned(NSJSONWritingPrettyPrinted)})
        if (auto text = NSJSONSerialization::stringWithJSONObject(*value, options))
            (void)NSJSONSerialization::JSONObjectWithString(*text);
    return 0;
}
