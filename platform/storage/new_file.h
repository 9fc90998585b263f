// Writing a file under a name of its own, beside others that threads or programs write at the
// same moment.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/runtime/result.h"
#include "platform/storage/file_manager.h"
#include "platform/storage/owned_descriptor.h"

// Writes a new file as writeFileAtomically does, and puts it in place under the first of the
// names nameFor(0), nameFor(1), … that is free at that moment in the folder: never over a file
// another thread or program put there meanwhile. The name it took, or why nothing was written.
Result<std::string> writeNewFileAtomically(const std::string& folder, const std::function<std::string(int)>& nameFor,
                                           std::string_view data, WriteFailureText text = WriteFailureText::WithPath);
// The same in the folder held open by the descriptor `folder` (O_PATH will do), wherever that
// folder is moved or whatever comes under its name meanwhile; `label` names it in failures.
Result<std::string> writeNewFileAtomically(int folder, const std::string& label,
                                           const std::function<std::string(int)>& nameFor, std::string_view data,
                                           WriteFailureText text = WriteFailureText::WithPath);

// Gives the file `temporary` in the folder held open by `folder` the name `name` there, where that
// name is free (never over another file): 0 once it has it, else the error number, EEXIST while
// another file has the name.
int placeWithoutReplacing(int folder, const std::string& temporary, const std::string& name);

// What an open of a folder finds of a temporary file (temporary_name.h) that a write made there.
enum class LeftTemporary {
    // A write under way holds it, in this program or another: it is the write's to name or remove.
    BeingWritten,
    // Gone meanwhile (named or removed by whoever wrote it).
    Gone,
    // No write holds it: the write was cut off (its program ended). `claim` then holds it (where it
    // could be opened), so that no write takes it up while the caller settles it, until the claim
    // is closed.
    LeftOver,
};
LeftTemporary claimLeftTemporary(int folder, const std::string& temporary, OwnedDescriptor& claim);

// Tests only: called with the temporary file's name in its folder once its data is written, just
// before it is put in place (by writeFileAtomically too), as if another program acted then. Null
// removes it; thread-safe.
using PlacementHook = void (*)(const std::string& temporary);
void setBeforePlacingForTesting(PlacementHook hook);
