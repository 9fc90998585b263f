// The property-list encoders and decoders behind NSPropertyListSerialization and the keyed archiver.
#pragma once

#include "platform/runtime/result.h"
#include "platform/runtime/value.h"

namespace storage_detail {

// Containers nested deeper than this are refused on both read and write.
inline constexpr int kMaxPlistDepth = 512;

// A UID (the keyed archiver's object reference) is a dictionary {"CF$UID": n} in Value form,
// as in XML property lists. Binary writing turns such dictionaries into UIDs only when asked.
enum class UIDs { AsDictionaries, Encode };

bool isUIDDictionary(const Value& value);

Result<Bytes> encodeBinaryPlist(const Value& root, UIDs uids);
Result<Value> decodeBinaryPlist(const Bytes& data);
bool looksLikeBinaryPlist(const Bytes& data);

Result<Bytes> encodeXmlPlist(const Value& root);
Result<Value> decodeXmlPlist(const Bytes& data);

}  // namespace storage_detail
