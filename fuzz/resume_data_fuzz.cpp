// Resume data as a saved table hands it back: whatever decodes names a download file of the
// temporary folder and survives a round trip unchanged.
#include <filesystem>
#include <fstream>
#include <string>

#include "fuzz/fuzz_input.h"
#include "platform/net/url_resume_data.h"
#include "platform/storage/sandbox.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // A sandbox of its own, with the download file the seed names and one more.
    const auto root = std::filesystem::temp_directory_path() / "korva-fuzz-resume";
    std::filesystem::create_directories(root / "tmp");
    Sandbox::setRoot(root.string());
    std::ofstream(root / "tmp" / "download-1-1.tmp") << std::string(64, 'p');
    if (auto file = makeDownloadFile()) std::filesystem::resize_file(*file, 64);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto record = decodeResumeData(fuzzBytes(data, size));
    if (!record) return 0;
    if (!isDownloadFile(record->partialFile) || record->offset < 0) __builtin_trap();
    auto again = decodeResumeData(encodeResumeData(*record));
    if (!again || again->url != record->url || again->partialFile != record->partialFile ||
        again->offset != record->offset || again->validator != record->validator)
        __builtin_trap();
    return 0;
}
