// Programs some tests read their results back with (ffmpeg, exiftool, zbarimg, ZXingReader).
// scripts/packages.txt installs each of them, so under CI (CI=true) a missing one fails the test
// instead of skipping it; elsewhere the test is skipped with the reason.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace testsupport {

inline bool hasProgram(const std::string& name) {
    return std::system(("command -v '" + name + "' >/dev/null 2>&1").c_str()) == 0;
}

inline bool underCI() {
    const char* ci = std::getenv("CI");
    return ci && std::string(ci) == "true";
}

// Why a test cannot run for want of `program`, or none when it is installed. Under CI the absence
// is also recorded as a failure:
//   if (auto why = testsupport::missingTool("ffmpeg")) GTEST_SKIP() << *why;
inline std::optional<std::string> missingTool(const std::string& program) {
    if (hasProgram(program)) return std::nullopt;
    std::string why = program + " is not installed";
    if (underCI()) ADD_FAILURE() << why << ", though scripts/packages.txt promises it";
    return why;
}

}  // namespace testsupport
