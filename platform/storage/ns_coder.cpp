#include "platform/storage/ns_coder.h"

#include "platform/storage/keyed_archive.h"

Result<NSCoder> NSCoder::decoderWithData(const Bytes& archive) {
    auto root = NSKeyedUnarchiver::unarchiveObjectWithData(archive);
    if (!root.ok()) return fail(root.error());
    if (!root.value().isDictionary()) return fail("the archive's root is not a dictionary");
    return NSCoder(*root.value().dictionaryPtr());
}

Result<Bytes> NSCoder::encodedData() const {
    return NSKeyedArchiver::archivedDataWithRootObject(Value(values_));
}

bool NSCoder::decodeBoolForKey(std::string_view key) const {
    const Value& v = values_.get(key);
    return v.isNumber() && v.boolValue();
}

std::int64_t NSCoder::decodeIntegerForKey(std::string_view key) const {
    const Value& v = values_.get(key);
    return v.isNumber() ? v.integerValue() : 0;
}

double NSCoder::decodeDoubleForKey(std::string_view key) const {
    const Value& v = values_.get(key);
    return v.isNumber() ? v.doubleValue() : 0;
}
