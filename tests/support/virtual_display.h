// A display for tests that need one: a virtual X server (Xvfb) started once for the test program and
// stopped when it ends, whatever DISPLAY says (a desktop's display is shared with other runners and
// the desktop's own windows). A test that needs a display of its own (to end it under a program)
// starts an XvfbServer. The server picks a display number nobody holds (its lock file says so).
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "tests/support/child_signals.h"

namespace testsupport {

// One Xvfb of the test's own, ended with the object (or by stop()).
class XvfbServer {
public:
    XvfbServer() {
        int fds[2];
        if (::pipe(fds) != 0) {
            why_ = "no pipe for the virtual display";
            return;
        }
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(fds[0]);
            // The server goes with the test program, and keeps off its output.
            ::prctl(PR_SET_PDEATHSIG, SIGTERM);
            takeDefaultSignals();
            int quiet = ::open("/dev/null", O_WRONLY);
            ::dup2(quiet, 1);
            ::dup2(quiet, 2);
            std::string fd = std::to_string(fds[1]);
            ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
                     "-noreset", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(fds[1]);
        if (pid_ < 0) {
            ::close(fds[0]);
            why_ = "could not start Xvfb";
            return;
        }
        // The server writes its display number once it accepts clients.
        std::string number;
        pollfd p{fds[0], POLLIN, 0};
        char c;
        while (::poll(&p, 1, 10000) > 0 && ::read(fds[0], &c, 1) == 1 && c != '\n') number += c;
        ::close(fds[0]);
        if (number.empty()) {
            why_ = "Xvfb did not start (is it installed?)";
            stop();
            return;
        }
        name_ = ":" + number;
    }
    ~XvfbServer() { stop(); }
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    // None once the server accepts clients; otherwise why it does not.
    const std::optional<std::string>& why() const { return why_; }
    // ":N"
    const std::string& name() const { return name_; }

    // Sends the server `number`: SIGSTOP makes a display that stops answering, SIGCONT one that
    // answers again.
    void signal(int number) {
        if (pid_ > 0) ::kill(pid_, number);
    }

    // Ends the server, as a display that goes away does (a stopped one too).
    void stop() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::kill(pid_, SIGCONT);
            ::waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }

private:
    pid_t pid_ = -1;
    std::string name_;
    std::optional<std::string> why_;
};

class VirtualDisplay {
public:
    // None once a display is there; otherwise why none could be started.
    static std::optional<std::string> ensure() {
        static VirtualDisplay display;
        return display.why_;
    }

private:
    VirtualDisplay() {
        ::unsetenv("WAYLAND_DISPLAY");
        server_.emplace();
        why_ = server_->why();
        if (!why_) ::setenv("DISPLAY", server_->name().c_str(), 1);
    }

    std::optional<XvfbServer> server_;
    std::optional<std::string> why_;
};

}  // namespace testsupport
