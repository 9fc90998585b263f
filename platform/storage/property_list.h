// Property lists (XML and binary) to and from Value.
#pragma once

#include <string>

#include "platform/runtime/result.h"
#include "platform/runtime/value.h"

enum NSPropertyListFormat {
    NSPropertyListXMLFormat_v1_0 = 100,
    NSPropertyListBinaryFormat_v1_0 = 200,
};

// Kinds: bool, integers, reals, strings, data, dates, arrays and dictionaries have a
// property-list form; null, sets and objects do not, and writing them fails. Integers come back
// as Int, or UInt when they do not fit a signed 64-bit integer. Reals come back as Double, except
// that a binary list keeps a Float written as a 4-byte real. XML dates keep whole seconds.
class NSPropertyListSerialization {
public:
    static Result<Bytes> dataWithPropertyList(const Value& plist, NSPropertyListFormat format);
    // Recognises the format; `format` receives it when given.
    static Result<Value> propertyListWithData(const Bytes& data, NSPropertyListFormat* format = nullptr);
    static bool propertyListIsValidForFormat(const Value& plist, NSPropertyListFormat format);
};

// Whole-file helpers; writing is atomic.
Result<Value> readPropertyListFile(const std::string& path, NSPropertyListFormat* format = nullptr);
Result<void> writePropertyListFile(const std::string& path, const Value& plist,
                                   NSPropertyListFormat format = NSPropertyListBinaryFormat_v1_0);
