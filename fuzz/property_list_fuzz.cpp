// Property lists, XML or binary: whatever reads is written back in both forms and read again.
#include "fuzz/fuzz_input.h"
#include "platform/storage/property_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto plist = NSPropertyListSerialization::propertyListWithData(fuzzBytes(data, size));
    if (!plist) return 0;
    for (auto format : {NSPropertyListXMLFormat_v1_0, NSPropertyListBinaryFormat_v1_0})
        if (auto written = NSPropertyListSerialization::dataWithPropertyList(*plist, format))
            (void)NSPropertyListSerialization::propertyListWithData(*written);
    return 0;
}
