// Plain values (numbers, flags) hung on an object under a key, for state that code outside a
// class keeps on its instances. An absent value reads as null, so as 0 and NO.
#pragma once

#include <string>

#include "platform/runtime/object.h"
#include "platform/runtime/value.h"

Value attachedValue(const NSObject& object, const std::string& key);
// A null value removes the key.
void setAttachedValue(NSObject& object, const std::string& key, Value value);
