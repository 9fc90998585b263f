// Removing a file the program left behind (a temporary, a backup, a copy set aside): one file under
// the name or nothing, never a folder with what it holds, nor what a link points at.
#pragma once

#include <string>
#include <string_view>

// Removes the one entry under `name` in the folder held open by `folder` (AT_FDCWD: `name` is a
// path): a file, a link (not its target), a pipe; never a folder, whatever it holds, however it
// came under the name since the caller looked. 0 once removed, else the error number (EISDIR for a
// folder, ENOENT where nothing is there).
int removeOneFile(int folder, const std::string& name);

// The same for a path, saying in the log under `category` when it takes nothing ("cannot remove
// PATH (Is a directory); it stays"); a name found empty (gone meanwhile) is said at the info level
// only. True once removed.
bool removeOneFileSaying(const std::string& path, std::string_view category);

// Tests only: called with the name (or path) just before a removal takes it, as if another program
// acted between the caller's look at it and the removal. Null removes it; thread-safe.
using RemovalHook = void (*)(const std::string& name);
void setBeforeRemovingForTesting(RemovalHook hook);
