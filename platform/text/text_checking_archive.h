// Text-checking results in the value form archives hold: a dictionary of the kind, the ranges
// and the kind's value.
#pragma once

#include <optional>

#include "platform/runtime/value.h"
#include "platform/text/text_checking_result.h"

Value NSTextCheckingResultArchive(const NSTextCheckingResult& result);
// None for a value that is not such a dictionary or holds no whole range.
std::optional<NSTextCheckingResult> NSTextCheckingResultFromArchive(const Value& archive);
