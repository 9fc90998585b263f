// zlib- and gzip-format deflate and inflate of byte buffers.
#include <zlib.h>

#include <algorithm>

#include "foundation/data_custom.h"

namespace {

constexpr std::size_t kDeflateChunk = 16384;
// A tiny input that expands a lot must still make the buffer grow by a useful step.
constexpr std::size_t kMinimumInflateGrowth = 4096;

std::optional<Bytes> deflateWith(const Bytes& data, int windowBits) {
    if (data.empty()) return data;
    z_stream stream{};
    if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return std::nullopt;
    Bytes out(kDeflateChunk);
    stream.next_in = const_cast<Bytef*>(data.data());
    stream.avail_in = 0;
    std::size_t remaining = data.size();
    int status = Z_OK;
    do {
        if (stream.total_out >= out.size()) out.resize(out.size() + kDeflateChunk);
        // zlib counts in 32 bits; feed the input in slices so very large buffers work too.
        if (stream.avail_in == 0 && remaining > 0) {
            uInt slice = static_cast<uInt>(std::min<std::size_t>(remaining, 1u << 30));
            stream.avail_in = slice;
            remaining -= slice;
        }
        stream.next_out = out.data() + stream.total_out;
        stream.avail_out = static_cast<uInt>(std::min<std::size_t>(out.size() - stream.total_out, 1u << 30));
        status = deflate(&stream, remaining == 0 ? Z_FINISH : Z_NO_FLUSH);
    } while (status == Z_OK || status == Z_BUF_ERROR);
    std::size_t produced = stream.total_out;
    deflateEnd(&stream);
    if (status != Z_STREAM_END) return std::nullopt;
    out.resize(produced);
    return out;
}

std::optional<Bytes> inflateWith(const Bytes& data, int windowBits) {
    if (data.empty()) return data;
    z_stream stream{};
    if (inflateInit2(&stream, windowBits) != Z_OK) return std::nullopt;
    std::size_t growth = std::max(data.size() / 2, kMinimumInflateGrowth);
    Bytes out(data.size() + data.size() / 2 + 1);
    stream.next_in = const_cast<Bytef*>(data.data());
    std::size_t remaining = data.size();
    std::size_t produced = 0;
    int status = Z_OK;
    for (;;) {
        if (stream.avail_in == 0 && remaining > 0) {
            uInt slice = static_cast<uInt>(std::min<std::size_t>(remaining, 1u << 30));
            stream.avail_in = slice;
            remaining -= slice;
        }
        if (produced >= out.size()) out.resize(out.size() + growth);
        stream.next_out = out.data() + produced;
        uInt room = static_cast<uInt>(std::min<std::size_t>(out.size() - produced, 1u << 30));
        stream.avail_out = room;
        status = inflate(&stream, Z_SYNC_FLUSH);
        produced += room - stream.avail_out;
        if (status == Z_STREAM_END) break;
        // Z_BUF_ERROR only means no progress was possible this call: fine when the output is
        // full or more input waits; otherwise the data ends before its stream does.
        bool waiting = stream.avail_out == 0 || (stream.avail_in == 0 && remaining > 0);
        if (status == Z_BUF_ERROR && waiting) continue;
        if (status != Z_OK) break;
        if (!waiting && stream.avail_in == 0) {
            status = Z_BUF_ERROR;  // all input read, room left, and still no end of stream
            break;
        }
    }
    bool cleanEnd = inflateEnd(&stream) == Z_OK;
    if (status != Z_STREAM_END || !cleanEnd) return std::nullopt;
    out.resize(produced);
    return out;
}

}  // namespace

std::optional<Bytes> zlibDeflate(const Bytes& data) {
    return deflateWith(data, 15);
}
std::optional<Bytes> zlibInflate(const Bytes& data) {
    return inflateWith(data, 15);
}
std::optional<Bytes> gzipDeflate(const Bytes& data) {
    return deflateWith(data, 15 + 16);
}
std::optional<Bytes> gzipInflate(const Bytes& data) {
    return inflateWith(data, 15 + 32);
}
