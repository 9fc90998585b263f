// Tests only: a failing disk under chosen files. readFileData (file_manager.h) opens the file and
// then fails with the error the check answers, as a read error of the medium would.
#pragma once

#include <string>

// The error number a read of the path fails with, or 0 to read it normally.
using ReadFaultCheck = int (*)(const std::string& path);
// Null removes the check. Thread-safe.
void setReadFaultForTesting(ReadFaultCheck check);
