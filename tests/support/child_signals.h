// What a process a test starts is given of the signals, whatever the test run was started with: a
// run under nohup, or as a script's background job, ignores the hang-up or the interrupt, and an
// ignored signal stays ignored across fork and exec. Safe between fork and exec.
#pragma once

#include <signal.h>

#include <initializer_list>

namespace testsupport {

// The default disposition of every signal that ends a program, none blocked, then `ignored`
// ignored, as whoever starts the program asks.
inline void takeDefaultSignals(const sigset_t* ignored = nullptr) {
    for (int number : {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGPIPE, SIGALRM, SIGUSR1, SIGUSR2}) {
        struct sigaction action {};
        action.sa_handler = ignored && sigismember(ignored, number) == 1 ? SIG_IGN : SIG_DFL;
        ::sigaction(number, &action, nullptr);
    }
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
}

}  // namespace testsupport
