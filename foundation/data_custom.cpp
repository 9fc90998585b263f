// Byte-buffer text and file helpers and the NUL-terminated range search.
#include "foundation/data_custom.h"

#include <atomic>
#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

#include "platform/runtime/utf16.h"

std::optional<std::string> string_utf8(const Bytes& data) {
    std::string_view text(reinterpret_cast<const char*>(data.data()), data.size());
    if (!isValidUtf8(text)) return std::nullopt;
    return std::string(text);
}

bool saveToPath(const Bytes& data, const std::string& path) {
    if (path.empty()) return false;
    static std::atomic<unsigned> counter{0};
    std::string temporary = path + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
        out.flush();
        if (!out) {
            out.close();
            std::remove(temporary.c_str());
            return false;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

NSRange rangeOfNullTerminatedBytesFrom(const Bytes& data, std::size_t start) {
    if (start >= data.size()) return {NSNotFound, 0};
    for (std::size_t i = start; i < data.size(); ++i) {
        if (data[i] == 0) return {start, i - start};
    }
    return {NSNotFound, 0};
}
