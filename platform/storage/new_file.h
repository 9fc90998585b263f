// Writing a file under a name of its own, beside others that threads or programs write at the
// same moment.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/runtime/result.h"
#include "platform/storage/file_manager.h"

// Writes a new file as writeFileAtomically does, and puts it in place under the first of the
// names nameFor(0), nameFor(1), … that is free at that moment in the folder: never over a file
// another thread or program put there meanwhile. The name it took, or why nothing was written.
Result<std::string> writeNewFileAtomically(const std::string& folder, const std::function<std::string(int)>& nameFor,
                                           std::string_view data, WriteFailureText text = WriteFailureText::WithPath);
