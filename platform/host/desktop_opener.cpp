// Starting the desktop's openers.
#include "platform/host/desktop_opener.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <vector>

#include "platform/runtime/log.h"
#include "platform/ui/controller/mailto_address.h"
#include "platform/ui/controller/mf_mail_compose_view_controller.h"

extern char** environ;

namespace {

constexpr const char* kOpenProgram = "xdg-open";
constexpr const char* kMailProgram = "xdg-email";

std::vector<pid_t>& children() {
    static std::vector<pid_t> list;
    return list;
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

bool DesktopOpener::start(const std::string& program, const std::string& url) {
    std::string name = program.substr(program.rfind('/') + 1);
    std::vector<char*> argv{name.data(), const_cast<char*>(url.c_str()), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
        Log::warning("host", "cannot run " + program + " for " + url);
        return false;
    }
    children().push_back(pid);
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
    return start(*program, url);
}

bool DesktopOpener::mail(const std::string& address) {
    // Made again from the fields a message has, so that nothing else the address carries (an
    // attachment naming a local file, headers of the sender's choosing) reaches the mail program.
    auto message = mailMessageFromAddress(address);
    if (!message) {
        Log::warning("host", "not a mail address: " + address);
        return false;
    }
    const std::string rebuilt = mailtoAddress(*message);
    auto program = mailProgram(processPath());
    if (!program) {
        Log::warning("host", "no mail opener on PATH for " + rebuilt);
        return false;
    }
    return start(*program, rebuilt);
}

void DesktopOpener::reapFinished() {
    auto& list = children();
    list.erase(std::remove_if(list.begin(), list.end(), [](pid_t p) { return waitpid(p, nullptr, WNOHANG) != 0; }),
               list.end());
}

int DesktopOpener::waitForChildren() {
    auto& list = children();
    int count = static_cast<int>(list.size());
    for (pid_t p : list) waitpid(p, nullptr, 0);
    list.clear();
    return count;
}
