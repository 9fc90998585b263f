// The names of the program's temporary files: a write's new file is made under one beside the
// file it writes and renamed to that file's name once whole.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// A fresh name for a temporary file of `name`: ".<name>.korva-XXXXXXXX", hidden, with eight random
// letters or digits in place of the X's. Copy and sync programs put their own temporaries beside the
// files they copy under ".<name>.XXXXXX"; a name of this shape is one only this program makes, so
// that what it finds of it in a folder is its own to settle, and anything else is left alone.
std::string newTemporaryName(std::string_view name);

// The name whose temporary `entry` is, where `entry` has the shape newTemporaryName gives.
std::optional<std::string> ownTemporaryTarget(std::string_view entry);

// The name whose temporary `entry` is, where `entry` has the shape the program's temporaries had
// before, ".<name>.XXXXXX": the shape other programs' temporaries have too, so that a file of it
// may be another program's copy under way, and the program settles none of them.
std::optional<std::string> earlierTemporaryTarget(std::string_view entry);
