// The desktop opener: programs found on PATH, addresses handed over as one argument without a
// shell, mail through xdg-email or xdg-open; the window host (on SDL's dummy driver) offering mail
// and the clipboard only while it lives, and headless offering neither; and what the real
// xdg-email hands the desktop's mail program.
#include "platform/host/desktop_opener.h"

#include <SDL.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <utility>
#include <vector>

#include "platform/dispatch/clock.h"
#include "platform/host/host.h"
#include "platform/runtime/log.h"
#include "platform/ui/app/ui_application.h"
#include "platform/ui/app/ui_pasteboard.h"
#include "platform/ui/app/ui_screen.h"
#include "platform/ui/controller/mf_mail_compose_view_controller.h"
#include "tests/platform/host/dummy_window_driver.h"
#include "tests/support/required_tool.h"

namespace {

// A folder of fake opener programs that write the argument they got to "<name>.got", and a PATH
// that holds only that folder.
struct DesktopOpenerTest : ::testing::Test {
    std::filesystem::path dir;
    std::string savedPath;
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() / ("korva-opener-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        const char* path = std::getenv("PATH");
        savedPath = path ? path : "";
        ::setenv("PATH", dir.c_str(), 1);
        MFMailComposeViewController::setMailOpener(nullptr);
        MFMailComposeViewController::clearMailboxes();
    }
    void TearDown() override {
        DesktopOpener::waitForChildren();
        ::setenv("PATH", savedPath.c_str(), 1);
        MFMailComposeViewController::setMailOpener(nullptr);
        MFMailComposeViewController::clearMailboxes();
        std::filesystem::remove_all(dir);
    }
    void fakeProgram(const std::string& name) {
        auto file = dir / name;
        // The signals it ignores too, as the kernel lists them (with the shell's own words: PATH
        // holds only this folder).
        std::ofstream(file) << "#!/bin/sh\nwhile read -r key value; do [ \"$key\" = SigIgn: ] && echo \"$value\"; done "
                            << "</proc/$$/status > \"" << (dir / (name + ".ignores")).string()
                            << "\"\nprintf '%s' \"$1\" > \"" << (dir / (name + ".got")).string() << "\"\n";
        std::filesystem::permissions(file, std::filesystem::perms::owner_all);
    }
    std::string got(const std::string& name) {
        DesktopOpener::waitForChildren();
        std::ifstream in(dir / (name + ".got"));
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
};

TEST_F(DesktopOpenerTest, FindsOnlyExecutableProgramsInAbsoluteFolders) {
    fakeProgram("xdg-open");
    std::ofstream(dir / "not-executable") << "#!/bin/sh\n";
    std::string path = "relative:" + dir.string();
    EXPECT_EQ(DesktopOpener::findProgram("xdg-open", path), (dir / "xdg-open").string());
    EXPECT_FALSE(DesktopOpener::findProgram("not-executable", path));
    EXPECT_FALSE(DesktopOpener::findProgram("../xdg-open", path));
    EXPECT_FALSE(DesktopOpener::findProgram("xdg-open", "relative::"));
    EXPECT_FALSE(DesktopOpener::mailProgram("/nonexistent"));
    // xdg-open stands in for mail until xdg-email is there.
    EXPECT_EQ(DesktopOpener::mailProgram(dir.string()), (dir / "xdg-open").string());
    fakeProgram("xdg-email");
    EXPECT_EQ(DesktopOpener::mailProgram(dir.string()), (dir / "xdg-email").string());
}

TEST_F(DesktopOpenerTest, HandsTheAddressOverAsOneArgument) {
    for (const char* bad : {"", "no-colon", "--help:x", ":empty-scheme", "1http://x", "ht tp://x"})
        EXPECT_FALSE(DesktopOpener::open(bad)) << bad;
    EXPECT_FALSE(DesktopOpener::open("https://example.invalid/")) << "no xdg-open on PATH";

    fakeProgram("xdg-open");
    fakeProgram("xdg-email");
    const std::string web = "https://example.invalid/a b?x=1&y=$(touch pwned);`id`";
    ASSERT_TRUE(DesktopOpener::open(web));
    EXPECT_EQ(got("xdg-open"), web);
    EXPECT_FALSE(std::filesystem::exists("pwned"));
    ASSERT_TRUE(DesktopOpener::open("MAILTO:someone@example.invalid"));
    EXPECT_EQ(got("xdg-email"), "mailto:someone@example.invalid") << "mail addresses go to the mail program";

    // The program ignores a closed pipe for itself; the opener it starts does not, while an
    // ignored hang-up (nohup) passes on.
    auto ignoredBy = [&](const std::string& name) {
        std::ifstream in(dir / (name + ".ignores"));
        std::string mask;
        in >> mask;
        return mask.empty() ? ~0ULL : std::stoull(mask, nullptr, 16);
    };
    auto pipe = ::signal(SIGPIPE, SIG_IGN);
    auto hangUp = ::signal(SIGHUP, SIG_IGN);
    ASSERT_TRUE(DesktopOpener::open(web));
    EXPECT_EQ(got("xdg-open"), web);
    ::signal(SIGPIPE, pipe);
    ::signal(SIGHUP, hangUp);
    EXPECT_EQ(ignoredBy("xdg-open") & (1ULL << (SIGPIPE - 1)), 0u);
    EXPECT_NE(ignoredBy("xdg-open") & (1ULL << (SIGHUP - 1)), 0u);
}

// Addresses come from servers too: only web pages open, and a mail address reaches the mail
// program only with the fields of a message.
TEST_F(DesktopOpenerTest, OpensOnlyWebPagesAndMailMadeFromAMessagesFields) {
    fakeProgram("xdg-open");
    fakeProgram("xdg-email");
    for (const char* other : {"file:///etc/passwd", "FILE:/etc/passwd", "javascript:alert(1)",
                              "data:text/html,<script>x</script>", "smb://host/share", "itms-apps://host/app"})
        EXPECT_FALSE(DesktopOpener::open(other)) << other;
    EXPECT_EQ(DesktopOpener::waitForChildren(), 0);

    ASSERT_TRUE(
        DesktopOpener::open("mailto:a@example.invalid?attach=/etc/passwd&Subject=Hi%20there"
                            "&X-Mailer=evil&attachment=%2Fetc%2Fshadow&body=line%0Atwo&cc=c@example.invalid"));
    EXPECT_EQ(got("xdg-email"), "mailto:a@example.invalid?cc=c@example.invalid&subject=Hi%20there&body=line%0D%0Atwo");
    ASSERT_TRUE(DesktopOpener::mail("mailto:?to=b@example.invalid,%2D%2Dhelp&bcc=d@example.invalid#attach=/x"));
    EXPECT_EQ(got("xdg-email"), "mailto:b@example.invalid,--help?bcc=d@example.invalid");
    EXPECT_FALSE(DesktopOpener::mail("https://example.invalid/"));
}

struct MailResults : MFMailComposeViewControllerDelegate {
    std::vector<MFMailComposeResult> results;
    std::string error;
    void mailComposeControllerDidFinish(MFMailComposeViewController&, MFMailComposeResult r,
                                        const std::string& e) override {
        results.push_back(r);
        error = e;
    }
};

TEST_F(DesktopOpenerTest, MailIsSentOnlyWhenTheMailProgramTakesIt) {
    Clock::useVirtual();
    MFMailComposeViewController::setMailOpener(
        [](const std::string& address, auto outcome) { DesktopOpener::mail(address, std::move(outcome)); });
    auto delegate = std::make_shared<MailResults>();
    auto compose = [&] {
        auto composer = MFMailComposeViewController::make();
        composer->setMailComposeDelegate(delegate);
        composer->setToRecipients({"support@korva.invalid"});
        return composer;
    };

    // A desktop where nothing can take the message: the opener complains and exits with 3.
    auto failing = dir / "xdg-email";
    std::ofstream(failing) << "#!/bin/sh\necho \"xdg-email: no method available for opening '$1'\" >&2\nexit 3\n";
    std::filesystem::permissions(failing, std::filesystem::perms::owner_all);
    auto first = compose();
    ASSERT_TRUE(first->send());
    EXPECT_TRUE(first->isSending());
    EXPECT_FALSE(first->cancel()) << "no other answer while the program decides";
    EXPECT_TRUE(delegate->results.empty()) << "nothing is known until the program ends";
    EXPECT_EQ(DesktopOpener::waitForChildren(), 1);
    ASSERT_EQ(delegate->results, (std::vector<MFMailComposeResult>{MFMailComposeResult::Failed}));
    EXPECT_NE(delegate->error.find("exited with status 3"), std::string::npos) << delegate->error;
    EXPECT_NE(delegate->error.find("no method available for opening 'the address'"), std::string::npos)
        << delegate->error;
    EXPECT_TRUE(MFMailComposeViewController::outbox().empty());

    // One that hands over and ends well.
    fakeProgram("xdg-email");
    ASSERT_TRUE(compose()->send());
    EXPECT_EQ(got("xdg-email"), "mailto:support@korva.invalid");
    EXPECT_EQ(delegate->results.back(), MFMailComposeResult::Sent);
    EXPECT_EQ(MFMailComposeViewController::outbox().size(), 1u);

    // A mail program that stays open has taken the message once it has run for a while.
    auto stop = dir / "stop";
    std::ofstream(dir / "xdg-email") << "#!/bin/sh\nwhile [ ! -e '" << stop.string() << "' ]; do sleep 0.02; done\n";
    ASSERT_TRUE(compose()->send());
    DesktopOpener::reapFinished();
    EXPECT_EQ(delegate->results.size(), 2u);
    Clock::advanceVirtual(DesktopOpener::kSettleSeconds);
    DesktopOpener::reapFinished();
    EXPECT_EQ(delegate->results.back(), MFMailComposeResult::Sent);
    EXPECT_EQ(delegate->results.size(), 3u);
    std::ofstream(stop) << "";
    DesktopOpener::waitForChildren();
    EXPECT_EQ(delegate->results.size(), 3u) << "reported once";
    Clock::useReal();
}

TEST_F(DesktopOpenerTest, WindowHostOffersMailAndTheClipboardWhileItLives) {
    fakeProgram("xdg-email");
    DummyWindowDriver driver;
    Clock::useVirtual();
    UIApplication::resetSharedApplication();
    HostOptions options;
    options.screen = *DeviceModel::named("home-button");
    {
        std::string reason;
        auto host = Host::create(options, &reason);
        ASSERT_TRUE(host) << reason;
        ASSERT_EQ(host->kind(), HostKind::Window) << reason;
        EXPECT_TRUE(MFMailComposeViewController::canSendMail());

        auto composer = MFMailComposeViewController::make();
        composer->setToRecipients({"support@korva.invalid"});
        composer->setSubject("[Korva 2.5]");
        composer->setMessageBody("Hi\nthere", false);
        EXPECT_TRUE(composer->send());
        EXPECT_EQ(got("xdg-email"), "mailto:support@korva.invalid?subject=%5BKorva%202.5%5D&body=Hi%0D%0Athere");

        UIPasteboard::generalPasteboard()->setString("copied \u00E4");
        char* clip = SDL_GetClipboardText();
        EXPECT_STREQ(clip, "copied \u00E4");
        SDL_free(clip);
    }
    EXPECT_FALSE(MFMailComposeViewController::canSendMail()) << "the host took its opener along";

    // Without a program to open mail with, the window host offers none.
    std::filesystem::remove(dir / "xdg-email");
    {
        std::string reason;
        auto host = Host::create(options, &reason);
        ASSERT_TRUE(host) << reason;
        EXPECT_FALSE(MFMailComposeViewController::canSendMail());
    }
    // Nor does the headless host.
    fakeProgram("xdg-email");
    options.kind = HostKind::Headless;
    {
        auto host = Host::create(options);
        EXPECT_FALSE(MFMailComposeViewController::canSendMail());
    }
    UIPasteboard::generalPasteboard()->clear();
    UIScreen::setMainScreen(UIScreen::make());
    Clock::useReal();
}

// The real xdg-email on a plain desktop of a private home, whose mail handler (named in the home's
// mimeapps.list) is a stand-in that writes down its arguments, one a line. xdg-email starts a
// handler of this name with the fields as one "-compose to='...',cc='...'" argument: the form in
// which a recipient holding quotes and commas would become fields of its own.
struct RealMailProgramTest : DesktopOpenerTest {
    std::vector<std::pair<std::string, std::optional<std::string>>> savedEnvironment;
    void SetUp() override {
        // Asked before the fixture narrows PATH to its own folder.
        auto missing = testsupport::missingTool("xdg-email");
        DesktopOpenerTest::SetUp();
        if (missing) GTEST_SKIP() << *missing;
        for (const char* folder : {"bin", "home", "config", "data/applications", "system"})
            std::filesystem::create_directories(dir / folder);
        auto handler = dir / "bin" / "thunderbird";
        std::ofstream(handler) << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '"
                               << (dir / "handed").string() << "'\n";
        std::filesystem::permissions(handler, std::filesystem::perms::owner_all);
        std::ofstream(dir / "config" / "mimeapps.list")
            << "[Default Applications]\nx-scheme-handler/mailto=mailer.desktop\n";
        std::ofstream(dir / "data" / "applications" / "mailer.desktop")
            << "[Desktop Entry]\nType=Application\nName=Mailer\nExec=thunderbird %u\n";
        // Nothing of the desktop this runs on may choose another road.
        setEnvironment("PATH", (dir / "bin").string() + ":/usr/bin:/bin");
        setEnvironment("HOME", (dir / "home").string());
        setEnvironment("XDG_CONFIG_HOME", (dir / "config").string());
        setEnvironment("XDG_CONFIG_DIRS", (dir / "config").string());
        setEnvironment("XDG_DATA_HOME", (dir / "data").string());
        setEnvironment("XDG_DATA_DIRS", (dir / "system").string());
        setEnvironment("XDG_RUNTIME_DIR", (dir / "system").string());
        setEnvironment("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + (dir / "no-bus").string());
        for (const char* name :
             {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION", "KDE_SESSION_VERSION",
              "GNOME_DESKTOP_SESSION_ID", "MATE_DESKTOP_SESSION_ID", "LXQT_SESSION_CONFIG", "DESKTOP", "MAILER",
              "BROWSER", "DISPLAY", "WAYLAND_DISPLAY", "XDG_MENU_PREFIX", "XDG_UTILS_DEBUG_LEVEL"})
            setEnvironment(name, std::nullopt);
        UIApplication::resetSharedApplication();
        // As the window host installs it.
        UIApplication::sharedApplication()->setURLOpener(&DesktopOpener::open);
    }
    void TearDown() override {
        DesktopOpener::waitForChildren();
        UIApplication::resetSharedApplication();
        for (auto it = savedEnvironment.rbegin(); it != savedEnvironment.rend(); ++it) {
            if (it->second)
                ::setenv(it->first.c_str(), it->second->c_str(), 1);
            else
                ::unsetenv(it->first.c_str());
        }
        DesktopOpenerTest::TearDown();
    }
    void setEnvironment(const std::string& name, const std::optional<std::string>& value) {
        const char* old = std::getenv(name.c_str());
        savedEnvironment.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        if (value)
            ::setenv(name.c_str(), value->c_str(), 1);
        else
            ::unsetenv(name.c_str());
    }
    // What the mail handler was started with for the address, through UIApplication::openURL.
    std::string handed(const std::string& address) {
        std::filesystem::remove(dir / "handed");
        bool opened = false;
        UIApplication::sharedApplication()->openURL(address, {}, [&](bool ok) { opened = ok; });
        EXPECT_TRUE(opened) << address;
        EXPECT_EQ(DesktopOpener::waitForChildren(), 1) << address;
        std::ifstream in(dir / "handed");
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
};

TEST_F(RealMailProgramTest, ARecipientHoldingQuotesAndCommasNeverReachesTheMailProgram) {
    EXPECT_EQ(handed("mailto:a@example.invalid?cc=c@example.invalid&subject=Hi"),
              "-compose\nto='a@example.invalid,',cc='c@example.invalid,',subject=Hi\n");

    // Each would make the handler attach a local file: quotes and commas as they come, and
    // encoded once more for a handler that decodes what it is given.
    const std::string inTo = "x%27%2Cattachment%3D%27file%3A%2F%2F%2Fetc%2Fpasswd%27%2Cx%3D%27@example.invalid";
    const std::string twice = "x%2527%252Cattachment%253D%2527file%253A%252F%252F%252Fetc%252Fpasswd%2527@e.invalid";
    LogCapture log;
    for (const std::string& address :
         {"mailto:" + inTo, "mailto:?to=" + inTo, "mailto:" + twice, "mailto:a@example.invalid?cc=" + inTo,
          "mailto:a@example.invalid?bcc=" + inTo + "&cc=c@example.invalid,%22%2C%22attach%3Dx%22@e.invalid"}) {
        std::string got = handed(address);
        EXPECT_EQ(got.find("attach"), std::string::npos) << address << " became " << got;
        EXPECT_EQ(got.find("passwd"), std::string::npos) << address << " became " << got;
    }
    EXPECT_EQ(handed("mailto:a@example.invalid?cc=" + inTo + ",c@example.invalid"),
              "-compose\nto='a@example.invalid,',cc='c@example.invalid,'\n")
        << "the plain recipients still go";
    EXPECT_TRUE(log.contains("left out the to recipient \"x',attachment='file:///etc/passwd',x='@example.invalid\""));
    EXPECT_TRUE(log.contains("left out the cc recipient"));
    EXPECT_TRUE(log.contains("left out the bcc recipient"));
}

}  // namespace
