// The source tree's resource folder, where the bundle and the fonts are looked for last.
#pragma once

extern const char* const kSourceResourcesFolder;
