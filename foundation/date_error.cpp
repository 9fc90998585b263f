// DateError: errors with a localised description and suggestion, logged with the call stack.
#include "foundation/date_error.h"

#include <execinfo.h>

#include "platform/runtime/format.h"
#include "platform/runtime/log.h"
#include "platform/storage/bundle.h"

namespace {

// The main bundle's default table has no entries of its own here: the text is its own translation.
std::string localized(const std::string& text) {
    return text;
}

std::shared_ptr<NSError> report(std::int64_t code, std::string reason, const std::string& suggestion) {
    Value info = Value::dictionary({{NSLocalizedDescriptionKey, Value(localized("Operation was unsuccessful."))},
                                    {NSLocalizedFailureReasonKey, Value(std::move(reason))},
                                    {"NSLocalizedRecoverySuggestion", Value(localized(suggestion))}});
    auto error = NSError::make(DateError::domain, code, info);
    DateError::printErrorWithCallStack(*error);
    return error;
}

}  // namespace

std::shared_ptr<NSError> DateError::throwInsertOutOfBoundsException(std::int64_t index, std::size_t count) {
    return report(0,
                  formatString("Attempted to insert TimePeriod at index %ld but the group is of size [0...%ld].",
                               {Value(index), Value(static_cast<std::int64_t>(count))}),
                  "Please try an index within the bounds or the group.");
}

std::shared_ptr<NSError> DateError::throwRemoveOutOfBoundsException(std::int64_t index, std::size_t count) {
    return report(1,
                  formatString("Attempted to remove TimePeriod at index %ld but the group is of size [0...%ld].",
                               {Value(index), Value(static_cast<std::int64_t>(count))}),
                  "Please try an index within the bounds of the group.");
}

std::shared_ptr<NSError> DateError::throwBadTypeException(const std::string& className,
                                                          const std::string& expectedClass) {
    return report(2,
                  formatString("Attempted to insert object of class %@ when expecting object of class %@.",
                               {Value(className), Value(expectedClass)}),
                  "Please try again by inserting a TimePeriod object.");
}

void DateError::printErrorWithCallStack(const NSError& error) {
    std::string text = error.description();
    void* frames[64];
    int count = backtrace(frames, 64);
    if (char** symbols = backtrace_symbols(frames, count)) {
        for (int i = 0; i < count; ++i) text += std::string("\n\n ") + symbols[i];
        free(symbols);
    }
    Log::error("dates", text);
}
