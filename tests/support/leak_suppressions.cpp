// Linked into every test binary and the gallery.
#include <cstdio>

#include "platform/runtime/source_resources.h"

// The font, text and drawing libraries keep caches for the life of
// the process (fontconfig's in a form the leak checker cannot follow), so they are reported at
// exit although nothing of ours leaks.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n"
           "leak:libpango-1.0.so\n"
           "leak:libpangoft2-1.0.so\n"
           "leak:libpangocairo-1.0.so\n"
           "leak:libglib-2.0.so\n"
           "leak:libgobject-2.0.so\n"
           "leak:libharfbuzz.so\n"
           "leak:libcairo.so\n"
           "leak:libpixman-1.so\n"
           "leak:libfreetype.so\n"
           // The page engine and its toolkit, in the tests that run it.
           "leak:libwebkit2gtk-4.1.so\n"
           "leak:libjavascriptcoregtk-4.1.so\n"
           "leak:libgtk-3.so\n"
           "leak:libgdk-3.so\n"
           "leak:libgio-2.0.so\n"
           "leak:libdbus-1.so\n";
}

// The undefined-behaviour checker's suppressions (see the file for why).
extern "C" const char* __ubsan_default_options() {
    static char options[4096];
    std::snprintf(options, sizeof options, "suppressions=%s/../tests/support/ubsan_suppressions.txt",
                  kSourceResourcesFolder);
    return options;
}
