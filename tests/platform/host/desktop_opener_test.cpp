// The desktop opener: programs found on PATH, addresses handed over as one argument without a
// shell, mail through xdg-email or xdg-open; the window host (on SDL's dummy driver) offering mail
// and the clipboard only while it lives, and headless offering neither.
#include "platform/host/desktop_opener.h"

#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/dispatch/clock.h"
#include "platform/host/host.h"
#include "platform/ui/app/ui_application.h"
#include "platform/ui/app/ui_pasteboard.h"
#include "platform/ui/app/ui_screen.h"
#include "platform/ui/controller/mf_mail_compose_view_controller.h"

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
        std::ofstream(file) << "#!/bin/sh\nprintf '%s' \"$1\" > \"" << (dir / (name + ".got")).string() << "\"\n";
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
    std::string display = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
    ::setenv("DISPLAY", ":korva-test", 1);
    ::setenv("SDL_VIDEODRIVER", "dummy", 1);
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
    ::unsetenv("SDL_VIDEODRIVER");
    if (display.empty())
        ::unsetenv("DISPLAY");
    else
        ::setenv("DISPLAY", display.c_str(), 1);
    UIScreen::setMainScreen(UIScreen::make());
    Clock::useReal();
}

}  // namespace
