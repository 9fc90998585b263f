// DateError: the date library's error reports. Each writes an error in the domain
// "app.korva.dates" with the call stack to the system log and returns; the caller goes on.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/runtime/error.h"

struct DateError {
    static constexpr const char* domain = "app.korva.dates";

    // Code 0: an insert at an index outside the group; `count` is the group's size.
    static std::shared_ptr<NSError> throwInsertOutOfBoundsException(std::int64_t index, std::size_t count);
    // Code 1: a removal at an index outside the group.
    static std::shared_ptr<NSError> throwRemoveOutOfBoundsException(std::int64_t index, std::size_t count);
    // Code 2: an object of the wrong class.
    static std::shared_ptr<NSError> throwBadTypeException(const std::string& className,
                                                          const std::string& expectedClass);
    static void printErrorWithCallStack(const NSError& error);
};
