// The media libraries' own log lines, routed through the program's log.
#pragma once

// From now on each line the libraries write at or above their own level (av_log_set_level) goes
// to Log in the category "media", named by what wrote it ("hls: ..."), and so reaches the terminal
// spelled out as every other line does: the libraries quote names from the files they read. Their
// warnings and errors are warnings here (what the program could not do is said by its own line),
// their information is information, the rest debug. Process-wide; once is enough, more is harmless.
void routeMediaLibraryLog();
