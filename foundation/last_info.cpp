// LastInfo: keyed-archive store files through the shared archive file functions.
#include "foundation/last_info.h"

#include "foundation/global_base.h"

std::optional<Value> LastInfo::loadFromFile(const std::string& path) {
    return GlobalBase::loadFromFilePath(path);
}

bool LastInfo::saveToFile(const Value& dictionary, const std::string& path) {
    return GlobalBase::saveToFilePath(dictionary, path);
}
