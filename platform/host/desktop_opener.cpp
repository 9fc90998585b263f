// Starting the desktop's openers.
#include "platform/host/desktop_opener.h"

#include <signal.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <utility>
#include <vector>

#include "platform/dispatch/clock.h"
#include "platform/runtime/log.h"
#include "platform/ui/controller/mailto_address.h"
#include "platform/ui/controller/mf_mail_compose_view_controller.h"

extern char** environ;

namespace {

constexpr const char* kOpenProgram = "xdg-open";
constexpr const char* kMailProgram = "xdg-email";

// What a program wrote on its error output is read back up to this much, for the reason of a failure.
constexpr std::size_t kErrorTextLimit = 4096;

// A started program, the file its error output goes to, and the outcome still owed. The error
// output is an anonymous file rather than a pipe: a program it hands over to (a mail program
// that stays open) inherits it, and may write to it for as long as it likes without blocking or
// being stopped when we stop reading.
struct Child {
    pid_t pid = 0;
    std::string name;
    std::string url;
    int errorFile = -1;
    double settleAt = 0;
    DesktopOpener::Outcome outcome;
};

std::vector<Child>& children() {
    static std::vector<Child> list;
    return list;
}

// The last non-empty line of the end of what the program wrote: where the openers put their complaint.
std::string lastErrorLine(int file) {
    struct stat st {};
    if (file < 0 || ::fstat(file, &st) != 0 || st.st_size <= 0) return "";
    off_t from = std::max<off_t>(0, st.st_size - off_t(kErrorTextLimit));
    std::string text(std::size_t(st.st_size - from), '\0');
    ssize_t n = ::pread(file, text.data(), text.size(), from);
    text.resize(n > 0 ? std::size_t(n) : 0);
    std::size_t end = text.find_last_not_of(" \t\r\n");
    if (end == std::string::npos) return "";
    std::size_t start = text.find_last_of('\n', end);
    start = start == std::string::npos ? 0 : start + 1;
    return text.substr(start, end + 1 - start);
}

Result<void> exitOutcome(const Child& child, int status) {
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return {};
    std::string how = WIFEXITED(status) ? "exited with status " + std::to_string(WEXITSTATUS(status))
                                        : "was stopped by signal " + std::to_string(WTERMSIG(status));
    // The address the program repeats (a whole message, for mail) is named, not spelled out.
    std::string said = lastErrorLine(child.errorFile);
    for (std::size_t at; !child.url.empty() && (at = said.find(child.url)) != std::string::npos;)
        said.replace(at, child.url.size(), "the address");
    return fail(child.name + " " + how + (said.empty() ? "" : ": " + said));
}

// Reports how a child ended and lets go of its error file.
void finishChild(Child& child, int status) {
    Result<void> result = exitOutcome(child, status);
    if (child.errorFile >= 0) ::close(child.errorFile);
    child.errorFile = -1;
    if (!result) Log::warning("host", result.error());
    if (auto outcome = std::exchange(child.outcome, nullptr)) outcome(std::move(result));
}

std::string processPath() {
    const char* path = std::getenv("PATH");
    return path ? path : "";
}

}  // namespace

bool DesktopOpener::isPlainURL(const std::string& url) {
    auto colon = url.find(':');
    if (colon == std::string::npos || colon == 0 || !std::isalpha(static_cast<unsigned char>(url[0]))) return false;
    for (std::size_t i = 0; i < colon; ++i) {
        char c = url[i];
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.') return false;
    }
    return true;
}

std::optional<std::string> DesktopOpener::findProgram(const std::string& name, const std::string& searchPath) {
    if (name.empty() || name.find('/') != std::string::npos) return std::nullopt;
    std::size_t start = 0;
    while (start <= searchPath.size()) {
        std::size_t end = searchPath.find(':', start);
        if (end == std::string::npos) end = searchPath.size();
        std::string folder = searchPath.substr(start, end - start);
        // An empty entry is the current folder, which is never searched here.
        if (!folder.empty() && folder.front() == '/') {
            std::string candidate = folder + "/" + name;
            struct stat st {};
            if (::stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(candidate.c_str(), X_OK) == 0)
                return candidate;
        }
        start = end + 1;
    }
    return std::nullopt;
}

std::optional<std::string> DesktopOpener::mailProgram(const std::string& searchPath) {
    if (auto mail = findProgram(kMailProgram, searchPath)) return mail;
    return findProgram(kOpenProgram, searchPath);
}

bool DesktopOpener::start(const std::string& program, const std::string& url, Outcome outcome) {
    std::string name = program.substr(program.rfind('/') + 1);
    std::vector<char*> argv{name.data(), const_cast<char*>(url.c_str()), nullptr};
    auto refuse = [&](const std::string& why) {
        Log::warning("host", why);
        if (outcome) outcome(fail(why));
        return false;
    };
    // The program's error output is kept, for the reason should it fail.
    int errorFile = ::memfd_create("korva-opener-errors", MFD_CLOEXEC);
    if (errorFile < 0) return refuse("cannot run " + program + ": no file for its error output");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, errorFile, STDERR_FILENO);
    // The opener starts with the signals this program ignores for itself at their defaults (a
    // write to a closed pipe ends it, as it expects), and none blocked; an ignore this program
    // inherited (nohup) passes on.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults, none;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    pid_t pid = 0;
    int spawned = posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        ::close(errorFile);
        return refuse("cannot run " + program + " for " + url);
    }
    children().push_back({pid, name, url, errorFile, Clock::now() + kSettleSeconds, std::move(outcome)});
    return true;
}

bool DesktopOpener::open(const std::string& url) {
    if (!isPlainURL(url)) return false;
    std::string scheme = url.substr(0, url.find(':'));
    std::transform(scheme.begin(), scheme.end(), scheme.begin(), [](unsigned char c) { return std::tolower(c); });
    if (scheme == "mailto") return mail(url);
    // Addresses reach here from servers too (pop-ups, links in text): the desktop would open a
    // local file, run script or mount a share for the other schemes, so only web pages go.
    if (scheme != "http" && scheme != "https") {
        Log::warning("host", "not opening an address of the scheme " + scheme + ": only web pages are opened");
        return false;
    }
    auto program = findProgram(kOpenProgram, processPath());
    if (!program) {
        Log::warning("host", std::string("no ") + kOpenProgram + " on PATH to open " + url);
        return false;
    }
    return start(*program, url, nullptr);
}

bool DesktopOpener::mail(const std::string& address, Outcome outcome) {
    auto refuse = [&](const std::string& why) {
        Log::warning("host", why);
        if (outcome) outcome(fail(why));
        return false;
    };
    // Made again from the fields a message has, so that nothing else the address carries (an
    // attachment naming a local file, headers of the sender's choosing, a recipient that would
    // read as fields of the mail program's own) reaches the mail program.
    auto message = mailMessageFromAddress(address);
    if (!message) return refuse("not a mail address: " + address);
    const std::string rebuilt = mailtoAddress(*message);
    auto program = mailProgram(processPath());
    if (!program) return refuse("no mail opener on PATH for " + rebuilt);
    return start(*program, rebuilt, std::move(outcome));
}

void DesktopOpener::reapFinished() {
    // Taken out of the list before any outcome runs: an outcome may start another program.
    std::vector<std::pair<Child, int>> finished;
    std::vector<Outcome> settled;
    auto& list = children();
    const double now = Clock::now();
    for (auto it = list.begin(); it != list.end();) {
        int status = 0;
        if (waitpid(it->pid, &status, WNOHANG) != 0) {
            finished.emplace_back(std::move(*it), status);
            it = list.erase(it);
            continue;
        }
        // Still running after the settle time: the program took the address and stays open.
        if (it->outcome && now >= it->settleAt) settled.push_back(std::exchange(it->outcome, nullptr));
        ++it;
    }
    for (auto& [child, status] : finished) finishChild(child, status);
    for (auto& outcome : settled) outcome({});
}

int DesktopOpener::waitForChildren() {
    std::vector<Child> list = std::exchange(children(), {});
    for (auto& child : list) {
        int status = 0;
        waitpid(child.pid, &status, 0);
        finishChild(child, status);
    }
    return static_cast<int>(list.size());
}
