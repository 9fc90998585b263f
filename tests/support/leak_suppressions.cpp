// Linked into every test binary: the font, text and drawing libraries keep caches for the life of
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
