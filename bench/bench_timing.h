// Timing helpers shared by the benchmarks: best-of-N wall time of a block or a shell command, and
// the line that prints a ratio against its target.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>

inline double seconds(const std::function<void()>& work) {
    auto t0 = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// Best of `runs` after one warm-up run.
inline double best(int runs, const std::function<void()>& work) {
    work();
    double b = 1e30;
    for (int i = 0; i < runs; ++i) b = std::min(b, seconds(work));
    return b;
}

// Best of `runs` of a shell command (a peer program), its output discarded.
inline double command(const std::string& cmd, int runs) {
    double b = 1e30;
    for (int i = 0; i < runs; ++i) {
        double t = seconds([&] {
            if (std::system((cmd + " >/dev/null 2>&1").c_str()) != 0) std::fprintf(stderr, "failed: %s\n", cmd.c_str());
        });
        b = std::min(b, t);
    }
    return b;
}

// Best of `runs` of each of two shell commands run in turns (a, b, a, b, ...), so that a change
// in the machine's load weighs on both alike.
inline std::pair<double, double> commandsInTurns(const std::string& a, const std::string& b, int runs) {
    double bestA = 1e30, bestB = 1e30;
    for (int i = 0; i < runs; ++i) {
        bestA = std::min(bestA, command(a, 1));
        bestB = std::min(bestB, command(b, 1));
    }
    return {bestA, bestB};
}

// The peer program must be there: a benchmark without it would compare with nothing.
inline bool havePeer(const char* program) {
    if (std::system((std::string("command -v ") + program + " >/dev/null 2>&1").c_str()) == 0) return true;
    std::fprintf(stderr, "%s is not installed (make bench installs bench/packages.txt)\n", program);
    return false;
}

inline void verdict(const char* what, double ratio, double target) {
    std::printf("  %-58s %6.3f  (target <= %.2f: %s)\n", what, ratio, target, ratio <= target ? "met" : "NOT met");
}
