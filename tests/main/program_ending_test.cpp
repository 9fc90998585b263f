// The built program's end, whatever ends it: a photo whose shot began before SIGTERM is written,
// main-queue steps and all; an edit being saved when the display goes away, the window is destroyed
// or the terminal hangs up is written and the program says what it lost; a display that accepts and never answers costs
// the start a few seconds, not the whole run, and SIGTERM ends the program while it waits; a hang-up
// or an interrupt ignored by whoever started the program stays ignored.
#include <gtest/gtest.h>
#include <signal.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/storage/keyed_archive.h"
#include "tests/main/program_process.h"
#include "tests/support/required_tool.h"
#include "tests/support/silent_display.h"
#include "tests/support/virtual_display.h"

// Last: the X headers define plain names as macros.
#include "tests/main/program_seat.h"

namespace fs = std::filesystem;
using testsupport::photosIn;
using testsupport::pollUntil;
using testsupport::ProgramProcess;
using testsupport::Seat;
using testsupport::SilentDisplay;

namespace {

// The default screen is 390 points wide; the shutter lies at the middle of the bottom bar.
constexpr double kWide = 390;
constexpr double kShutterX = 195, kShutterY = 700;

// The program in a window on the test's display, its camera running: the preview shows the
// synthetic scene (grey bars down its left side, where the screen is black without a camera).
struct RunningCamera {
    ProgramProcess korva;
    std::optional<Window> window;
    std::string failure;

    bool start(const std::string& program, Seat& seat, const std::map<std::string, std::string>& changes = {}) {
        auto withDebug = changes;
        withDebug["KORVA_LOG"] = "debug";
        if (!(window = testsupport::startInWindow(korva, seat, program, withDebug))) return fail("no window");
        // The pointer waits over the shutter, so that the window has the focus before the click.
        seat.moveTo(*window, kWide, kShutterX, kShutterY);
        if (!pollUntil([&] { return seat.meanGrey(*window, kWide, 10, 300, 90, 100) > 60 || !korva.running(); }, 120) ||
            !korva.running())
            return fail("no camera picture");
        return true;
    }

    bool fail(const std::string& what) {
        failure = what + ":\n" + korva.log();
        return false;
    }
};

}  // namespace

using ProgramEndingInAWindow = testsupport::WindowProgram;

// The program is held still while the shutter is pressed and SIGTERM sent: the end is asked for
// with every step of the shot still ahead, however fast the machine. The press, input that came
// before the end, begins the shot, and the end runs the shot's main-loop steps: on the silent road
// the encoding's lead of half a frame, with the flash on the torch's wait first.
TEST_F(ProgramEndingInAWindow, AShotThatBeganBeforeSIGTERMIsWrittenOnBothRoads) {
    Seat& seat = *this->seat;
    for (const bool flash : {false, true}) {
        SCOPED_TRACE(flash ? "flash on: the torch's wait first" : "the silent road");
        RunningCamera camera;
        if (flash) {
            // The stored settings the camera screen reads: flash on.
            fs::create_directories(camera.korva.dataDir() / "Library");
            ASSERT_TRUE(NSKeyedArchiver::archiveRootObject(Value::dictionary({{"flashMode", Value(1)}}),
                                                           (camera.korva.dataDir() / "Library/Global.1").string())
                            .ok());
        }
        ASSERT_TRUE(camera.start(program, seat)) << camera.failure;
        const std::size_t before = photosIn(camera.korva.libraryDir()).size();

        camera.korva.signal(SIGSTOP);
        seat.click(*camera.window, kWide, kShutterX, kShutterY);
        camera.korva.signal(SIGTERM);
        camera.korva.signal(SIGCONT);
        auto status = camera.korva.waitForExit(90);
        ASSERT_TRUE(status) << "still running 90 s after SIGTERM:\n" << camera.korva.log();
        EXPECT_EQ(testsupport::describeStatus(*status), "exited with 0") << camera.korva.log();
        EXPECT_NE(camera.korva.log().find("shot begins"), std::string::npos) << camera.korva.log();
        EXPECT_EQ(photosIn(camera.korva.libraryDir()).size(), before + 1) << camera.korva.log();
        EXPECT_TRUE(camera.korva.errorLines().empty()) << camera.korva.log();
    }
}

// The display stops answering (its server stopped) as a shot begins, and SIGTERM follows: the
// program ends within its bound, with a quit's status, the photo written or named as cut off.
TEST(ProgramEnding, ADisplayThatStopsAnsweringHoldsTheEndNoLongerThanItsBound) {
    auto program = ProgramProcess::builtProgram();
    ASSERT_TRUE(program) << "the build wrote no program path beside the test";
    testsupport::XvfbServer server;
    if (server.why()) {
        if (testsupport::underCI()) ADD_FAILURE() << *server.why() << ", though scripts/packages.txt installs Xvfb";
        GTEST_SKIP() << *server.why();
    }
    // Past the end's bound with room for a loaded machine, and short of what a bound of half a
    // minute would take.
    constexpr double kEndedWithin = 20;
    RunningCamera camera;
    ProgramProcess& korva = camera.korva;
    Seat seat(server.name().c_str());
    ASSERT_TRUE(seat.open());
    ASSERT_TRUE(camera.start(*program, seat, {{"DISPLAY", server.name()}})) << camera.failure;
    seat.click(*camera.window, kWide, kShutterX, kShutterY);
    ASSERT_TRUE(pollUntil([&] { return korva.log().find("shot begins") != std::string::npos || !korva.running(); }, 60))
        << korva.log();
    server.signal(SIGSTOP);
    korva.signal(SIGTERM);
    auto status = korva.waitForExit(kEndedWithin);
    server.signal(SIGCONT);
    ASSERT_TRUE(status) << "still running " << kEndedWithin << " s after SIGTERM:\n" << korva.log();
    EXPECT_EQ(testsupport::describeStatus(*status), "exited with 0") << korva.log();
    const bool written = photosIn(korva.libraryDir()).size() == 1;
    const bool named = korva.log().find("the photo was not saved") != std::string::npos;
    EXPECT_TRUE(written || named) << korva.log();
}

// The program in a window with a photo from another camera in its library, saving an edit of it:
// large enough that the save is still under way when start() returns, and small enough to be
// written within the grace on a slow machine under the sanitizers.
struct EditBeingSaved {
    RunningCamera camera;
    std::string failure;

    bool start(const std::string& program, Seat& seat, const std::map<std::string, std::string>& changes = {}) {
        ProgramProcess& korva = camera.korva;
        const std::string photo = (korva.libraryDir() / "IMG_0001.JPG").string();
        if (std::system(("ffmpeg -loglevel error -f lavfi -i testsrc=size=2250x3000 -frames:v 1 -q:v 3 '" + photo +
                         "' </dev/null")
                            .c_str()) != 0)
            return fail("ffmpeg made no photo");
        if (!camera.start(program, seat, changes)) return fail(camera.failure);
        const Window window = *camera.window;
        // Under the picture the camera screen is black, the picker white and the editor grey.
        auto shows = [&](double low, double high) {
            return pollUntil(
                [&] {
                    const double grey = seat.meanGrey(window, kWide, 250, 650, 130, 30);
                    return (grey >= low && grey <= high) || !korva.running();
                },
                60);
        };
        seat.click(window, kWide, 70, 700);  // the library button
        if (!shows(240, 255)) return fail("no picker");
        seat.click(window, kWide, 48, 140);  // the photo
        if (!shows(120, 235)) return fail("no editor");
        // The looks take a tap once the photo is open and their row has slid into place: while it
        // slides, a tap at a look's place is nobody's, though its first frames already show the looks.
        auto said = [&](const char* line) { return korva.log().find(line) != std::string::npos; };
        if (!pollUntil(
                [&] {
                    return (said("the photo is open") && said("tiles is in place on EditController")) ||
                           !korva.running();
                },
                60))
            return fail("no looks");
        seat.click(window, kWide, 120, 725);  // the second look of the first family
        // Save without a look only says there is none to save.
        if (!pollUntil([&] { return korva.log().find("a look is chosen") != std::string::npos; }, 60))
            return fail("no look taken");
        seat.click(window, kWide, 195, 818);  // save
        if (!pollUntil([&] { return korva.log().find("saving the edited photo") != std::string::npos; }, 60))
            return fail("no save");
        return true;
    }

    bool fail(const std::string& what) {
        failure = what + ":\n" + camera.korva.log();
        return false;
    }
};

// The display goes away while the editor saves a large edit: the program ends with a failure and a
// line naming the display, not by a crash, and the edit is in the library.
TEST(ProgramEnding, AnEditSavedWhileItsDisplayEndsIsWrittenAndTheLossIsNamed) {
    auto program = ProgramProcess::builtProgram();
    ASSERT_TRUE(program) << "the build wrote no program path beside the test";
    if (auto why = testsupport::missingTool("ffmpeg")) GTEST_SKIP() << *why;
    testsupport::XvfbServer server;
    if (server.why()) {
        if (testsupport::underCI()) ADD_FAILURE() << *server.why() << ", though scripts/packages.txt installs Xvfb";
        GTEST_SKIP() << *server.why();
    }
    EditBeingSaved edit;
    ProgramProcess& korva = edit.camera.korva;
    {
        // The seat leaves before the server goes: its own connection would end the test.
        Seat seat(server.name().c_str());
        ASSERT_TRUE(seat.open());
        ASSERT_TRUE(edit.start(*program, seat, {{"DISPLAY", server.name()}})) << edit.failure;
    }
    server.stop();
    auto status = korva.waitForExit(120);
    ASSERT_TRUE(status) << "still running two minutes after its display went:\n" << korva.log();
    EXPECT_EQ(testsupport::describeStatus(*status), "exited with 1") << korva.log();
    EXPECT_NE(korva.log().find("korva: the display " + server.name() + " was lost; ending"), std::string::npos)
        << korva.log();
    EXPECT_EQ(photosIn(korva.libraryDir()).size(), 2u) << korva.log();
    EXPECT_TRUE(korva.errorLines().empty()) << korva.log();
}

// Another program destroys the window while an edit is being saved, or the terminal the program was
// started from hangs up: the edit is written and the program ends by its own road, with a failure
// that names the window in the first case and as a quit in the second.
TEST_F(ProgramEndingInAWindow, AnEditBeingSavedIsWrittenWhenTheWindowIsDestroyedOrTheTerminalHangsUp) {
    if (auto why = testsupport::missingTool("ffmpeg")) GTEST_SKIP() << *why;
    for (const bool destroyed : {true, false}) {
        SCOPED_TRACE(destroyed ? "the window destroyed" : "SIGHUP");
        EditBeingSaved edit;
        ProgramProcess& korva = edit.camera.korva;
        ASSERT_TRUE(edit.start(program, *seat)) << edit.failure;
        if (destroyed)
            seat->destroy(*edit.camera.window);
        else
            korva.signal(SIGHUP);
        auto status = korva.waitForExit(120);
        ASSERT_TRUE(status) << "still running two minutes later:\n" << korva.log();
        EXPECT_EQ(testsupport::describeStatus(*status), destroyed ? "exited with 1" : "exited with 0") << korva.log();
        if (destroyed) {
            EXPECT_NE(korva.log().find("korva: the window was destroyed by another program; ending"), std::string::npos)
                << korva.log();
        }
        EXPECT_EQ(photosIn(korva.libraryDir()).size(), 2u) << korva.log();
        EXPECT_TRUE(korva.errorLines().empty()) << korva.log();
    }
}

// A display that accepts the connection and never answers: the window host gives up on it after a
// few seconds and the program runs headless, naming it; SIGTERM while it waits ends the program.
TEST(ProgramEnding, ADisplayThatNeverAnswersFallsBackToHeadlessAndYieldsToSIGTERM) {
    auto program = ProgramProcess::builtProgram();
    ASSERT_TRUE(program) << "the build wrote no program path beside the test";
    SilentDisplay silent;
    ASSERT_TRUE(silent.ready()) << "no free display socket under /tmp/.X11-unix";
    const std::map<std::string, std::string> env = {
        {"KORVA_HOST", ""}, {"DISPLAY", silent.name()}, {"SDL_VIDEODRIVER", ""}};
    {
        ProgramProcess korva;
        ASSERT_TRUE(korva.start(*program, "", env));
        auto status = korva.waitForExit(120);
        ASSERT_TRUE(status) << "still running after two minutes:\n" << korva.log();
        EXPECT_EQ(testsupport::describeStatus(*status), "exited with 0") << korva.log();
        EXPECT_NE(korva.log().find("no window (the display " + silent.name() + " did not answer within 4 s)"),
                  std::string::npos)
            << korva.log();
        EXPECT_NE(korva.log().find("headless host drew one"), std::string::npos) << korva.log();
    }
    {
        ProgramProcess korva;
        ASSERT_TRUE(korva.start(*program, "", env));
        ASSERT_TRUE(silent.connected(60)) << korva.log();
        korva.signal(SIGTERM);
        auto status = korva.waitForExit(60);
        ASSERT_TRUE(status) << "still running a minute after SIGTERM:\n" << korva.log();
        EXPECT_EQ(testsupport::describeStatus(*status), "killed by signal 15") << korva.log();
        EXPECT_EQ(korva.log().find("running headless"), std::string::npos) << "it waited for the display out\n"
                                                                           << korva.log();
    }
}

// Started with a hang-up or an interrupt ignored (as nohup and a script's background job start it),
// the program keeps it ignored; SIGTERM ends it whatever it was started with. Each signal comes while
// the start waits on a display that never answers, where a signal it takes ends it at once.
TEST(ProgramEnding, AnIgnoredHangUpOrInterruptStaysIgnoredAndSIGTERMEndsItAnyway) {
    auto program = ProgramProcess::builtProgram();
    ASSERT_TRUE(program) << "the build wrote no program path beside the test";
    for (const auto& [number, outcome] : {std::pair{SIGHUP, "exited with 0"}, std::pair{SIGINT, "exited with 0"},
                                          std::pair{SIGTERM, "killed by signal 15"}}) {
        SCOPED_TRACE("started with signal " + std::to_string(number) + " ignored");
        SilentDisplay silent;
        ASSERT_TRUE(silent.ready()) << "no free display socket under /tmp/.X11-unix";
        ProgramProcess korva;
        // The program inherits the disposition across the exec.
        korva.ignoreInProgram(number);
        ASSERT_TRUE(
            korva.start(*program, "", {{"KORVA_HOST", ""}, {"DISPLAY", silent.name()}, {"SDL_VIDEODRIVER", ""}}));
        ASSERT_TRUE(silent.connected(60)) << korva.log();
        korva.signal(number);
        auto status = korva.waitForExit(120);
        ASSERT_TRUE(status) << "still running after two minutes:\n" << korva.log();
        EXPECT_EQ(testsupport::describeStatus(*status), outcome) << korva.log();
    }
}
