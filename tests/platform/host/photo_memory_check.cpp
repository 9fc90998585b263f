// The program's own start (main/main.cpp, built as it is) without the rest of the program, in a
// plain build with the C library's allocator: once main has run its first steps, a photo's
// pictures freed on a worker thread go back to the system. Fails when main stops fixing the
// allocator's bound for blocks mapped on their own, or fixes one above a photo's picture. Built
// and run by scripts/memory-check.sh, which CI runs (the sanitized tests cannot see this: a
// sanitizer's allocator takes no such setting).
#include <cstdio>

#include "main/program_registry.h"
#include "platform/host/ui_application_main.h"
#include "platform/host/window_host.h"
#include "platform/webengine/web_engine.h"
#include "tests/platform/host/photo_picture_memory.h"

// The rest of the program, left out: main's calls return at once, and the application main, where
// the program would start its workers, frees the pictures.
void registerProgram() {}
void WindowHost::whenOpened(std::function<void()>) {}
std::optional<std::string> webengine::installOnFirstUse() {
    return std::nullopt;
}

int UIApplicationMain(int, char**, const std::string&, const std::string&) {
    int stayed = 0;
    for (const PictureLeft& picture : freePhotoPicturesOnAWorker()) {
        std::printf(
            "memory-check: %dx%d picture (%.1f MB) freed on a worker: %.1f MB resident, %.1f MB in the "
            "arenas%s\n",
            picture.width, picture.height, picture.bytes / 1e6, picture.residentGrowth / 1e6, picture.arenaGrowth / 1e6,
            picture.stayed() ? ": STAYS in the process" : "");
        stayed += picture.stayed();
    }
    if (stayed) {
        std::printf(
            "memory-check: FAILED: %d of the pictures stay in the process once freed (the program's start "
            "fixes no bound for blocks mapped on their own, or one above a photo's picture)\n",
            stayed);
        return 1;
    }
    std::printf("memory-check: every picture went back to the system\n");
    return 0;
}
