// The built program as a child process: fresh data and library folders, the host's options in its
// environment, its output in a log file, and waits that poll against a deadline (a busy machine
// may take many times longer than an idle one, so the deadlines are generous and nothing sleeps
// for a fixed time to be correct).
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/child_signals.h"

extern char** environ;

namespace testsupport {

// Polls `done` every `every` seconds (20 ms unless said) until it holds or `seconds` of real time
// have passed.
inline bool pollUntil(const std::function<bool()>& done, double seconds, double every = 0.02) {
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return done();
        std::this_thread::sleep_for(std::chrono::duration<double>(every));
    }
    return true;
}

class ProgramProcess {
public:
    // The program the build made, as the build wrote its path beside the test binary.
    static std::optional<std::string> builtProgram() {
        std::ifstream in("program_path.txt");
        std::string path;
        if (!std::getline(in, path) || !std::filesystem::exists(path)) return std::nullopt;
        return path;
    }

    ProgramProcess() {
        std::random_device random;
        root_ = std::filesystem::temp_directory_path() /
                ("korva-program-" + std::to_string(random()) + "-" + std::to_string(random()));
        std::filesystem::create_directories(dataDir());
        std::filesystem::create_directories(libraryDir());
    }

    ~ProgramProcess() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }

    std::filesystem::path dataDir() const { return root_ / "data"; }
    std::filesystem::path libraryDir() const { return root_ / "library"; }

    // Starts `program` with the host's options for `host` ("headless" or "window"); the rest of the
    // environment is the test's own but for the program's variables, and for `changes` (an empty
    // value removes a variable).
    bool start(const std::string& program, const std::string& host,
               const std::map<std::string, std::string>& changes = {}) {
        std::map<std::string, std::string> env;
        for (char** e = environ; *e; ++e) {
            std::string entry = *e;
            auto eq = entry.find('=');
            if (eq != std::string::npos && entry.rfind("KORVA_", 0) != 0)
                env[entry.substr(0, eq)] = entry.substr(eq + 1);
        }
        // The window goes to the X display the test reads, never a desktop's other display server.
        env.erase("WAYLAND_DISPLAY");
        env["KORVA_HOST"] = host;
        env["KORVA_CAMERA"] = "synthetic";
        env["KORVA_DATA_DIR"] = dataDir().string();
        env["KORVA_LIBRARY_DIR"] = libraryDir().string();
        // Information and above, so that an error line would be there to find.
        env["KORVA_LOG"] = "info";
        for (const auto& [key, value] : changes)
            if (value.empty())
                env.erase(key);
            else
                env[key] = value;
        std::vector<std::string> entries;
        for (const auto& [key, value] : env) entries.push_back(key + "=" + value);
        std::vector<char*> envp;
        for (auto& entry : entries) envp.push_back(entry.data());
        envp.push_back(nullptr);
        const std::string log = logPath();
        const std::string directory = root_.string();
        const pid_t parent = ::getpid();
        pid_ = ::fork();
        if (pid_ == 0) {
            // Only calls that are safe between fork and exec in a process with threads. The program
            // never outlives the test, however the test ends.
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (::getppid() != parent) ::_exit(125);
            testsupport::takeDefaultSignals(&ignored_);
            int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (out >= 0) {
                ::dup2(out, 1);
                ::dup2(out, 2);
            }
            if (::chdir(directory.c_str()) != 0) ::_exit(126);
            ::execle(program.c_str(), program.c_str(), static_cast<char*>(nullptr), envp.data());
            ::_exit(127);
        }
        return pid_ > 0;
    }

    bool running() {
        if (pid_ <= 0) return false;
        int status = 0;
        pid_t done = ::waitpid(pid_, &status, WNOHANG);
        if (done == pid_) {
            pid_ = -1;
            status_ = status;
            return false;
        }
        return true;
    }

    // The wait status once the program ended within `seconds`; otherwise it is killed and none.
    std::optional<int> waitForExit(double seconds) {
        if (pollUntil([&] { return !running(); }, seconds)) return status_;
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
        return std::nullopt;
    }

    // The program starts with the signal ignored, as nohup starts it; every other signal that ends
    // a program has its default, whatever the test run was started with.
    void ignoreInProgram(int number) { sigaddset(&ignored_, number); }

    void signal(int number) const {
        if (pid_ > 0) ::kill(pid_, number);
    }

    std::string log() const {
        std::ifstream in(logPath());
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // The log's lines at the error level.
    std::vector<std::string> errorLines() const {
        std::vector<std::string> found;
        std::istringstream lines(log());
        for (std::string line; std::getline(lines, line);)
            if (line.rfind("korva error ", 0) == 0 || line.find("ERROR:") != std::string::npos) found.push_back(line);
        return found;
    }

private:
    std::string logPath() const { return (root_ / "program.log").string(); }

    std::filesystem::path root_;
    pid_t pid_ = -1;
    int status_ = -1;
    sigset_t ignored_ = [] {
        sigset_t none;
        sigemptyset(&none);
        return none;
    }();
};

// "exited with N" or "killed by signal N", for failure messages.
inline std::string describeStatus(int status) {
    if (WIFEXITED(status)) return "exited with " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status)) return "killed by signal " + std::to_string(WTERMSIG(status));
    return "ended with status " + std::to_string(status);
}

}  // namespace testsupport
