// The application's sandbox: one data folder with the standard folders inside it.
#pragma once

#include <string>
#include <vector>

// The data folder is, in order of precedence: the path given to setRoot(), the environment
// variable KORVA_DATA_DIR, $XDG_DATA_HOME/korva, ~/.local/share/korva. Folders are created
// when they are asked for. Thread-safe.
class Sandbox {
public:
    // Empty resets to the default. Used by the host and by tests.
    static void setRoot(std::string path);
    static std::string root();

    static std::string libraryDirectory();      // <root>/Library
    static std::string cachesDirectory();       // <root>/Library/Caches
    static std::string preferencesDirectory();  // <root>/Library/Preferences
    static std::string documentsDirectory();    // <root>/Documents
    static std::string temporaryDirectory();    // <root>/tmp
};

enum NSSearchPathDirectory {
    NSLibraryDirectory = 5,
    NSDocumentDirectory = 9,
    NSCachesDirectory = 13,
};

enum NSSearchPathDomainMask {
    NSUserDomainMask = 1,
};

// The sandbox root.
std::string NSHomeDirectory();
// <root>/tmp/, with a trailing slash as the platform gives it.
std::string NSTemporaryDirectory();
// One path for the user domain; empty for other domains.
std::vector<std::string> NSSearchPathForDirectoriesInDomains(NSSearchPathDirectory directory,
                                                             NSSearchPathDomainMask domains, bool expandTilde = true);
