// Makers for the registry of Global of the picture cache and the bookmark store, which Global
// makes through ServiceFactory. Call once at start-up, on the main thread.
#pragma once

void registerPicsAndFilesHost();
