// Starts the page engine for a test, on a virtual display when the session has none.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>

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
            // The engine's processes outlive the program by a moment and may still write their
            // caches (the network process makes its WebKitCache as it starts): they are ended
            // first, so that nothing comes back after the folder is gone.
            endEngineProcesses();
            std::error_code ignored;
            std::filesystem::remove_all(root, ignored);
        }
        // The engine's children of this program: its processes, and a child forked to become one
        // that still bears this program's name. Repeated until a pass finds none, since a launch
        // under way when a pass looks finishes after it.
        static void endEngineProcesses() {
            for (int pass = 0; pass < 50 && endEngineProcessesOnce() > 0; ++pass)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        static int endEngineProcessesOnce() {
            const std::string parent = std::to_string(::getpid());
            std::string own;
            std::getline(std::ifstream("/proc/self/comm"), own);
            int ended = 0;
            std::error_code ec;
            for (const auto& entry : std::filesystem::directory_iterator("/proc", ec)) {
                const std::string name = entry.path().filename().string();
                if (name.find_first_not_of("0123456789") != std::string::npos) continue;
                std::ifstream stat(entry.path() / "stat");
                std::string line;
                std::getline(stat, line);
                // "pid (command) state ppid ...": the command may hold spaces and brackets.
                const auto open = line.find('('), close = line.rfind(')');
                if (open == std::string::npos || close == std::string::npos) continue;
                std::istringstream rest(line.substr(close + 1));
                std::string state, ppid;
                rest >> state >> ppid;
                const std::string command = line.substr(open + 1, close - open - 1);
                if (ppid != parent || (command.rfind("WebKit", 0) != 0 && command != own)) continue;
                const pid_t child = static_cast<pid_t>(std::stol(name));
                ::kill(child, SIGKILL);
                ::waitpid(child, nullptr, 0);
                ++ended;
            }
            return ended;
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
