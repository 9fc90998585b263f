// Keyed archives: whatever unarchives is archived again.
#include "fuzz/fuzz_input.h"
#include "platform/storage/keyed_archive.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto root = NSKeyedUnarchiver::unarchiveObjectWithData(fuzzBytes(data, size));
    if (root) (void)NSKeyedArchiver::archivedDataWithRootObject(*root);
    return 0;
}
