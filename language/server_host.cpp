// The configured download host.
#include "language/server_host.h"

#include "platform/storage/bundle.h"

namespace {
// Nothing is ever sent to a reserved name.
constexpr const char* kUnconfiguredHost = "http://download.korva.invalid";
}  // namespace

std::string downloadHost() {
    const Value value = NSBundle::mainBundle()->objectForInfoDictionaryKey("KorvaDownloadHost");
    std::string host = value.isString() && !value.string()->empty() ? *value.string() : kUnconfiguredHost;
    while (!host.empty() && host.back() == '/') host.pop_back();
    return host;
}
