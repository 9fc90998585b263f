// Hands addresses to the desktop the window host runs on: mailto: addresses to the user's mail
// program through xdg-email (xdg-open where that is missing), http and https addresses to
// xdg-open; no other scheme is opened. A mailto: address is made again from the message fields it
// holds, dropping the rest and every recipient that is not a plain address (mailto_address.h).
// The program is found on PATH and started without a shell, so an address is never read as shell
// text or as an option. Children are reaped by the host's loop, which also hears how a program
// ended: one that exits with a failure (xdg-email with no mail program to hand over to) is
// reported with what it wrote on its error output. Main thread only.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/runtime/result.h"

class DesktopOpener {
public:
    // Whether the text is a plain "scheme:rest" address: a scheme of a letter followed by
    // letters, digits, "+", "-" or ".", then a colon (which also keeps a leading "-" out).
    static bool isPlainURL(const std::string& url);
    // The first executable file of that name in a PATH-style list of folders; none when absent.
    static std::optional<std::string> findProgram(const std::string& name, const std::string& searchPath);
    // The program a mailto: address goes to on this PATH (xdg-email, else xdg-open); none when neither.
    static std::optional<std::string> mailProgram(const std::string& searchPath);

    // How a started program fared: ok when it exited well, or still runs after kSettleSeconds
    // (a mail program that stays open); else the reason. Called once, on the main thread.
    using Outcome = std::function<void(Result<void>)>;
    static constexpr double kSettleSeconds = 3;

    // Starts the program for the address (found on the process's PATH); false for an address
    // that is not plain, of another scheme, or a program that cannot be found or started (logged).
    static bool open(const std::string& url);
    // The same for a mailto: address, through the mail program. The outcome hears a refusal at
    // once and otherwise how the program ended.
    static bool mail(const std::string& mailtoAddress, Outcome outcome = {});

    // Collects the children that have finished and reports their outcomes (the host's loop calls
    // it); an outcome still waiting after kSettleSeconds on the clock is reported as success.
    static void reapFinished();
    // Waits for every child still running and reports their outcomes (tests); answers how many
    // there were.
    static int waitForChildren();

private:
    static bool start(const std::string& program, const std::string& url, Outcome outcome);
};
