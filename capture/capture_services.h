// Registers the capture engine's services (`path`, `audioSession`) with Global's registry.
// Call once at start-up, on the main thread.
#pragma once

void registerCaptureServices();
