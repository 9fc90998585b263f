// Byte-buffer text and file helpers and the NUL-terminated range search.
#include "foundation/data_custom.h"

#include <string>

#include "platform/runtime/utf16.h"
#include "platform/storage/file_manager.h"

std::optional<std::string> string_utf8(const Bytes& data) {
    std::string_view text(reinterpret_cast<const char*>(data.data()), data.size());
    if (!isValidUtf8(text)) return std::nullopt;
    return std::string(text);
}

bool saveToPath(const Bytes& data, const std::string& path) {
    if (path.empty()) return false;
    return writeFileAtomically(path, data).ok();
}

NSRange rangeOfNullTerminatedBytesFrom(const Bytes& data, std::size_t start) {
    if (start >= data.size()) return {NSNotFound, 0};
    for (std::size_t i = start; i < data.size(); ++i) {
        if (data[i] == 0) return {start, i - start};
    }
    return {NSNotFound, 0};
}
