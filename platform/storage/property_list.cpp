// NSPropertyListSerialization: picks the codec by format and recognises it on reading.
#include "platform/storage/property_list.h"

#include <new>
#include <stdexcept>

#include "platform/storage/file_manager.h"
#include "platform/storage/plist_codec.h"

using namespace storage_detail;

Result<Bytes> NSPropertyListSerialization::dataWithPropertyList(const Value& plist, NSPropertyListFormat format) {
    switch (format) {
        case NSPropertyListXMLFormat_v1_0: return encodeXmlPlist(plist);
        case NSPropertyListBinaryFormat_v1_0: {
            // Sets have no property-list form in either format; the binary writer itself would
            // store them, so refuse them here for the two formats to agree.
            if (!propertyListIsValidForFormat(plist, format)) return fail("value has no property-list form");
            return encodeBinaryPlist(plist, UIDs::AsDictionaries);
        }
    }
    return fail("unknown property-list format");
}

Result<Value> NSPropertyListSerialization::propertyListWithData(const Bytes& data, NSPropertyListFormat* format) {
    // A file that needs more memory than there is is a damaged file, not the end of the program.
    try {
        if (looksLikeBinaryPlist(data)) {
            if (format) *format = NSPropertyListBinaryFormat_v1_0;
            return decodeBinaryPlist(data);
        }
        if (format) *format = NSPropertyListXMLFormat_v1_0;
        return decodeXmlPlist(data);
    } catch (const std::bad_alloc&) {
        return fail("property list too large to decode");
    } catch (const std::length_error&) {
        return fail("property list too large to decode");
    }
}

namespace {

bool isPlistValue(const Value& value, int depth, std::vector<const void*>& open) {
    if (depth > kMaxPlistDepth) return false;
    switch (value.kind()) {
        case Value::Kind::Null:
        case Value::Kind::Set:
        case Value::Kind::Object: return false;
        case Value::Kind::Array:
        case Value::Kind::Dictionary: {
            for (const void* p : open) {
                if (p == value.identity()) return false;
            }
            open.push_back(value.identity());
            bool ok = true;
            if (const ValueArray* items = value.arrayPtr()) {
                for (const Value& item : *items) ok = ok && isPlistValue(item, depth + 1, open);
            } else {
                for (const auto& entry : *value.dictionaryPtr()) ok = ok && isPlistValue(entry.second, depth + 1, open);
            }
            open.pop_back();
            return ok;
        }
        default: return true;
    }
}

}  // namespace

bool NSPropertyListSerialization::propertyListIsValidForFormat(const Value& plist, NSPropertyListFormat) {
    std::vector<const void*> open;
    return isPlistValue(plist, 0, open);
}

Result<Value> readPropertyListFile(const std::string& path, NSPropertyListFormat* format) {
    auto data = readFileData(path);
    if (!data) return fail(data.error());
    auto plist = NSPropertyListSerialization::propertyListWithData(*data, format);
    if (!plist) return fail(path + ": " + plist.error());
    return plist;
}

Result<void> writePropertyListFile(const std::string& path, const Value& plist, NSPropertyListFormat format) {
    auto data = NSPropertyListSerialization::dataWithPropertyList(plist, format);
    if (!data) return fail(data.error());
    return writeFileAtomically(path, *data);
}
