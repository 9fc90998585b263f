// Starts the page engine for a test, on a virtual display when the session has none.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "platform/ui/controller/wk_web_view.h"
#include "platform/webengine/web_engine.h"
#include "tests/support/required_tool.h"
#include "tests/support/run_loop_pump.h"
#include "tests/support/virtual_display.h"

// The engine keeps its caches and site data in the user's cache and data folders: for the test
// program, folders of its own, removed when it ends. Called before anything starts the engine.
inline void useOwnEngineFolders() {
    struct EngineFolders {
        std::filesystem::path root =
            std::filesystem::temp_directory_path() / ("korva-webengine-" + std::to_string(::getpid()));
        EngineFolders() {
            std::filesystem::create_directories(root);
            ::setenv("XDG_CACHE_HOME", (root / "cache").c_str(), 1);
            ::setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
        }
        ~EngineFolders() {
            std::error_code ignored;
            std::filesystem::remove_all(root, ignored);
        }
    };
    static EngineFolders folders;
}

// Why the engine cannot run, or none once it does. Under CI (which installs the display server
// and the engine) that is also recorded as a failure:
//   if (auto why = pageEngineMissing()) GTEST_SKIP() << *why;
inline std::optional<std::string> pageEngineMissing() {
    useOwnEngineFolders();
    auto why = testsupport::VirtualDisplay::ensure();
    if (!why) why = webengine::install();
    if (!why) return std::nullopt;
    std::string text = "the page engine cannot run: " + *why;
    if (testsupport::underCI()) ADD_FAILURE() << text;
    return text;
}

// A script's answer, kept apart from the stack for an answer that comes after the wait gave up.
inline Value runScript(WKWebView& web, const std::string& script) {
    auto answer = std::make_shared<std::optional<Value>>();
    web.evaluateJavaScript(script, [answer](const Value& v, const std::string&) { *answer = v; });
    EXPECT_TRUE(pumpMainUntil([&] { return answer->has_value(); })) << script;
    return answer->value_or(Value());
}
