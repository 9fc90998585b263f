// The headless host's run: work that is due, one frame, done.
#include "platform/host/headless_host.h"

#include "platform/dispatch/run_loop.h"

int HeadlessHost::run() {
    RunLoop::main().runUntilIdle();
    renderFrame();
    return 0;
}
