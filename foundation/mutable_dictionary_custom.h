// Combining one dictionary into another in place: overwrite (the other wins at every level) and
// merge (only what the receiver lacks is filled in, one level deep).
#pragma once

#include "platform/runtime/value.h"

void overwrite(ValueDictionary& receiver, const ValueDictionary& other);
void merge(ValueDictionary& receiver, const ValueDictionary& other);
