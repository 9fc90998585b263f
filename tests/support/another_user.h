// Permissions do not bind the superuser, so a superuser's test that needs them to hold becomes an
// ordinary user for a while: every thread of the process, as seteuid does.
//
// What the process makes once and keeps for its life (the font map over the bundled fonts, the
// main bundle) is made first, as the superuser. Made as that user, who may not be able to enter
// the checkout (a clone in root's home), it would lack everything it reads there for every later
// case of the process, whichever order the cases run in.
#pragma once

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

namespace testsupport {

class AnotherUser {
public:
    static constexpr uid_t kNobody = 65534;

    // `keptByTheProcess` makes what the process keeps that the user's part may reach.
    explicit AnotherUser(const std::function<void()>& keptByTheProcess = {}) {
        if (::geteuid() != 0) return;
        if (keptByTheProcess) keptByTheProcess();
        switched_ = ::seteuid(kNobody) == 0;
    }
    ~AnotherUser() { end(); }
    AnotherUser(const AnotherUser&) = delete;
    AnotherUser& operator=(const AnotherUser&) = delete;

    // True while permissions hold for this process: it is the other user, or never was the superuser.
    bool bound() const { return ::geteuid() != 0; }
    bool switched() const { return switched_; }
    // Back to the superuser before the end of the scope. Where that is refused the process ends
    // here, loudly: the cases after this one would otherwise run as the other user, and fail or pass
    // for a reason none of them names. True once it is back (kept for callers that assert it).
    bool end() {
        if (!switched_) return true;
        switched_ = false;
        if (::seteuid(0) == 0) return true;
        const int error = errno;
        std::fprintf(stderr, "cannot become the superuser again (%s); the test process stops here\n",
                     std::strerror(error));
        std::abort();
    }

private:
    bool switched_ = false;
};

}  // namespace testsupport
