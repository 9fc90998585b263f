// LastInfo: keyed-archive store files through the shared archive file functions.
#include "foundation/last_info.h"

#include "foundation/global_base.h"
#include "platform/storage/keyed_archive.h"

std::optional<Value> LastInfo::decode(const Bytes& data) {
    auto root = NSKeyedUnarchiver::unarchiveObjectWithData(data);
    if (!root || root->isNull()) return std::nullopt;
    return std::move(root).value();
}

bool LastInfo::saveToFile(const Value& dictionary, const std::string& path) {
    return GlobalBase::saveToFilePath(dictionary, path);
}
