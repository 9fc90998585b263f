// Replies of a server that misbehaves, for the limit tests: a body that does not end and one
// that trickles a byte at a time, so that the connection is never quiet for long.
#pragma once

#include <atomic>
#include <cstddef>
#include <string>

#include "tests/support/local_server.h"

namespace misbehaving {

constexpr std::size_t kChunk = 64 * 1024;
// Endless for every cap the tests set; finite only so that a transfer without a cap still ends.
constexpr std::size_t kEndlessBytes = std::size_t{80} << 20;

// Chunks of 'e' until kEndlessBytes, counting what was handed to the connection in `served`.
inline void endlessBody(httplib::Response& res, std::atomic<std::size_t>& served) {
    res.set_chunked_content_provider("application/octet-stream",
                                     [&served](std::size_t offset, httplib::DataSink& sink) {
                                         if (offset >= kEndlessBytes) {
                                             sink.done();
                                             return true;
                                         }
                                         std::string chunk(kChunk, 'e');
                                         served += chunk.size();
                                         return sink.write(chunk.data(), chunk.size());
                                     });
}

// A byte every 50 ms for five seconds. (A type the server does not compress, so that each byte
// leaves at once.)
inline void tricklingBody(httplib::Response& res, const LocalServer& server) {
    res.set_chunked_content_provider("application/octet-stream",
                                     [&server](std::size_t offset, httplib::DataSink& sink) {
                                         if (offset >= 100) {
                                             sink.done();
                                             return true;
                                         }
                                         server.pause(0.05);
                                         return sink.write("t", 1);
                                     });
}

}  // namespace misbehaving
