// The built program started as it ships, on the headless host: it draws its first frame and ends,
// leaving its data folder laid out and its settings readable.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "platform/runtime/source_resources.h"
#include "platform/storage/keyed_archive.h"
#include "platform/storage/property_list.h"
#include "tests/main/program_process.h"
#include "tests/support/required_tool.h"

namespace fs = std::filesystem;
using testsupport::ProgramProcess;

namespace {

// The bundle identifier the program names its preferences file after.
std::string bundleIdentifier() {
    auto info = readPropertyListFile(std::string(kSourceResourcesFolder) + "/Info.plist");
    return info.ok() && info.value()["CFBundleIdentifier"].isString() ? info.value()["CFBundleIdentifier"].stringValue()
                                                                      : std::string();
}

// Whether the process has ended (gone, or a zombie its new parent has not reaped yet).
bool ended(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) return true;
    const auto close = line.rfind(')');
    return close != std::string::npos && close + 2 < line.size() && line[close + 2] == 'Z';
}

}  // namespace

// A program the helper started goes with the test process, however that ends: here it is killed
// before anything could stop the program. (A stand-in that would otherwise wait ten minutes, its
// inherited descriptors closed, so that only its parent's end is awaited.)
TEST(ProgramProcessHelper, AStartedProgramDoesNotOutliveItsTest) {
    // The death test's child runs this case again from its start: it takes the same folder.
    const char* given = std::getenv("OUTLIVING_TEST_FOLDER");
    const fs::path folder =
        given ? fs::path(given) : fs::temp_directory_path() / ("korva-outliving-" + std::to_string(::getpid()));
    ::setenv("OUTLIVING_TEST_FOLDER", folder.c_str(), 1);
    fs::create_directories(folder);
    const fs::path stayer = folder / "stay.py", said = folder / "pid";
    std::ofstream(stayer) << "#!/usr/bin/env python3\nimport os, time\nos.closerange(3, 65536)\n"
                          << "with open('" << said.string()
                          << ".new', 'w') as f: f.write(f'{os.getpid()} {os.getcwd()}')\n"
                          << "os.rename('" << said.string() << ".new', '" << said.string() << "')\ntime.sleep(600)\n";
    fs::permissions(stayer, fs::perms::owner_all);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            ProgramProcess started;
            if (!started.start(stayer.string(), "headless")) std::_Exit(2);
            if (!testsupport::pollUntil([&] { return fs::exists(said); }, 60)) std::_Exit(3);
            ::raise(SIGKILL);
        },
        ::testing::KilledBySignal(SIGKILL), "");
    ::unsetenv("OUTLIVING_TEST_FOLDER");
    pid_t pid = 0;
    std::string where;
    std::ifstream(said) >> pid >> where;
    ASSERT_GT(pid, 0);
    EXPECT_TRUE(testsupport::pollUntil([&] { return ended(pid); }, 30)) << "the program outlived its test";
    if (!ended(pid)) ::kill(pid, SIGKILL);
    std::error_code ignored;
    fs::remove_all(where, ignored);
    fs::remove_all(folder, ignored);
}

TEST(ProgramHeadless, DrawsItsFirstFrameAndLeavesItsSettingsReadable) {
    auto program = ProgramProcess::builtProgram();
    ASSERT_TRUE(program) << "the build wrote no program path beside the test";
    ProgramProcess korva;
    ASSERT_TRUE(korva.start(*program, "headless"));
    auto status = korva.waitForExit(120);
    ASSERT_TRUE(status) << "still running after two minutes:\n" << korva.log();
    ASSERT_EQ(testsupport::describeStatus(*status), "exited with 0") << korva.log();
    EXPECT_NE(korva.log().find("headless host drew one 1170x2532 frame"), std::string::npos) << korva.log();
    EXPECT_TRUE(korva.errorLines().empty()) << korva.log();

    // The data folder: the store and the preferences under Library/, nothing beside the sandbox's
    // own folders.
    for (const auto& entry : fs::directory_iterator(korva.dataDir())) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name == "Library" || name == "Documents" || name == "tmp") << "stray " << entry.path();
    }
    const std::string identifier = bundleIdentifier();
    ASSERT_FALSE(identifier.empty());
    auto preferences =
        readPropertyListFile((korva.dataDir() / "Library/Preferences" / (identifier + ".plist")).string());
    ASSERT_TRUE(preferences.ok()) << preferences.error();
    // The rating prompt counted this launch.
    EXPECT_EQ(preferences.value()["RatePromptUseCount"].integerValue(), 1);
    auto store = NSKeyedUnarchiver::unarchiveObjectWithFile((korva.dataDir() / "Library/Global.1").string());
    ASSERT_TRUE(store.ok()) << store.error();
    ASSERT_TRUE(store.value().isDictionary());
    // The camera screen, not the shell's stand-in, read its settings.
    for (const char* key : {"imageRatio", "shotMode", "flashMode"}) EXPECT_FALSE(store.value()[key].isNull()) << key;

    // The library folder holds its index.
    EXPECT_TRUE(fs::is_regular_file(korva.libraryDir() / ".korva-library.sqlite"));
}

// A display that cannot be reached is no display: by default the window host falls back to the
// headless one, names the display it could not open as the first thing said, and the program ends
// as a headless start does. A window asked for by name is a window or a failure.
TEST(ProgramHeadless, ADisplayThatCannotBeReachedFallsBackToHeadlessUnlessAWindowIsAskedFor) {
    auto program = ProgramProcess::builtProgram();
    ASSERT_TRUE(program) << "the build wrote no program path beside the test";
    // No Wayland display named, and no runtime folder: the video library's own probe of one would
    // print its complaint first.
    const std::map<std::string, std::string> env = {
        {"DISPLAY", ":97"}, {"SDL_VIDEODRIVER", ""}, {"XDG_RUNTIME_DIR", ""}, {"KORVA_HOST", ""}};
    {
        ProgramProcess korva;
        ASSERT_TRUE(korva.start(*program, "", env));
        auto status = korva.waitForExit(120);
        ASSERT_TRUE(status) << "still running after two minutes:\n" << korva.log();
        ASSERT_EQ(testsupport::describeStatus(*status), "exited with 0") << korva.log();
        EXPECT_EQ(korva.log().rfind("korva: no window (cannot open the display :97); running headless\n", 0), 0u)
            << korva.log();
        EXPECT_NE(korva.log().find("headless host drew one 1170x2532 frame"), std::string::npos) << korva.log();
    }
    {
        ProgramProcess korva;
        auto named = env;
        named["KORVA_HOST"] = "window";
        ASSERT_TRUE(korva.start(*program, "window", named));
        auto status = korva.waitForExit(120);
        ASSERT_TRUE(status) << "still running after two minutes:\n" << korva.log();
        EXPECT_EQ(testsupport::describeStatus(*status), "exited with 1") << korva.log();
        EXPECT_EQ(korva.log().rfind("korva: KORVA_HOST=window, but no window: cannot open the display :97\n", 0), 0u)
            << korva.log();
        EXPECT_EQ(korva.log().find("headless host"), std::string::npos) << korva.log();
    }
}

// Values the program does not understand are named before it starts, with what it uses instead,
// and the start line names the camera whose size its frames take.
TEST(ProgramHeadless, NamesTheValuesItDoesNotUnderstandAndStartsWithWhatItUses) {
    auto program = ProgramProcess::builtProgram();
    ASSERT_TRUE(program) << "the build wrote no program path beside the test";
    ProgramProcess korva;
    ASSERT_TRUE(korva.start(*program, "headless",
                            {{"KORVA_IMAGE_THREADS", "abc"},
                             {"KORVA_LOG", "verbose"},
                             {"KORVA_CAPTURE_AUTH", "deny"},
                             {"KORVA_CAMERA", "synthetic@4000x3000"}}));
    auto status = korva.waitForExit(120);
    ASSERT_TRUE(status) << "still running after two minutes:\n" << korva.log();
    ASSERT_EQ(testsupport::describeStatus(*status), "exited with 0") << korva.log();
    const std::string log = korva.log();
    for (const char* line :
         {"korva: KORVA_IMAGE_THREADS=abc is not a number of threads from 1 to 256; using ",
          "korva: KORVA_LOG=verbose is not quiet, debug, info, warning or error; using info\n",
          "korva: KORVA_CAPTURE_AUTH=deny is not notDetermined, denied or restricted; granted, as when unset\n",
          "korva: started the headless host, screen notched 390x844@3x, camera synthetic@4000x3000, "})
        EXPECT_NE(log.find(line), std::string::npos) << line << "\n" << log;
}

// A camera source it cannot use is named at start with the reason, and the program runs without a
// camera, the start line naming none: a pipe no one writes, an address (whose listener would accept
// and stay silent) and a local playlist naming a piece at that address are refused at once, the
// address never reached; a frame size the preview cannot show is named with the size used. What it
// prints of a value, and the media library's own lines, spell out what a terminal would act on.
TEST(ProgramHeadless, NamesCameraSourcesItCannotUseAndPrintsValuesSafely) {
    auto program = ProgramProcess::builtProgram();
    ASSERT_TRUE(program) << "the build wrote no program path beside the test";
    const fs::path dir = fs::temp_directory_path() / ("korva-sources-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string pipe = (dir / "clip.mp4").string();
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 4), 0);
    ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
    const std::string url = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/clip.mp4";
    auto playlist = [&](const std::string& name, const std::string& piece) {
        const std::string path = (dir / name).string();
        std::ofstream(path) << "#EXTM3U\n#EXT-X-TARGETDURATION:1\n#EXTINF:1,\n" << piece << "\n#EXT-X-ENDLIST\n";
        return path;
    };
    // A CSI, as C1 in UTF-8, in the name of a piece the list names.
    const std::string escaping = playlist("escaping.m3u8",
                                          "piece\xc2\x9b"
                                          "31m.ts");
    const std::string remote = playlist("remote.m3u8", url);

    struct Case {
        std::map<std::string, std::string> env;
        std::vector<std::string> lines;
    };
    const std::vector<Case> cases = {
        {{{"KORVA_CAMERA", "video:" + pipe}, {"KORVA_SCREEN", "notched:\x1b]0;owned\x07"}},
         {"korva: cannot open the camera source \"video:" + pipe + "\": " + pipe +
              " is a pipe, not a regular file; running without a camera\n",
          "camera none, ",
          "korva: KORVA_SCREEN=notched:\\x1B]0;owned\\x07: the orientation \\x1B]0;owned\\x07 is not portrait or "
          "landscape; using portrait\n"}},
        {{{"KORVA_CAMERA", "video:" + url}},
         {"korva: cannot open the camera source \"video:" + url + "\": cannot open " + url + ": ",
          " (a file's path is read, not an address); running without a camera\n", "camera none, "}},
        {{{"KORVA_CAMERA", "video:" + escaping}},
         {"korva warning media: hls: Error when loading first segment '" + (dir / "piece").string() +
              "\\xC2\\x9B31m.ts'",
          "korva: cannot open the camera source \"video:" + escaping + "\": cannot open " + escaping + ": ",
          "camera none, "}},
        {{{"KORVA_CAMERA", "video:" + remote}},
         {"korva warning media: http: Protocol 'http' not on whitelist 'file'!",
          "korva: cannot open the camera source \"video:" + remote + "\": cannot open " + remote + ": ",
          "camera none, "}},
        {{{"KORVA_CAMERA", "synthetic@16384x16384"}},
         {"korva: KORVA_CAMERA=synthetic@16384x16384 has frames larger than the preview can show (8192 pixels on a "
          "side at most); using synthetic@8192x8192\n",
          "camera synthetic@8192x8192, "}}};
    for (const auto& c : cases) {
        ProgramProcess korva;
        ASSERT_TRUE(korva.start(*program, "headless", c.env));
        auto status = korva.waitForExit(120);
        ASSERT_TRUE(status) << "still running after two minutes:\n" << korva.log();
        EXPECT_EQ(testsupport::describeStatus(*status), "exited with 0") << korva.log();
        const std::string log = korva.log();
        for (const auto& line : c.lines) EXPECT_NE(log.find(line), std::string::npos) << line << "\n" << log;
        EXPECT_EQ(log.find('\x1b'), std::string::npos) << "a raw escape reached the terminal";
        EXPECT_EQ(log.find("\xc2\x9b"), std::string::npos) << "a raw escape reached the terminal";
        EXPECT_EQ(log.find("camera video:"), std::string::npos) << "a refused source named as the camera\n" << log;
        EXPECT_NE(log.find("headless host drew one"), std::string::npos) << log;
    }
    EXPECT_LT(::accept(listener, nullptr, nullptr), 0) << "the address was reached";
    ::close(listener);
    fs::remove_all(dir);
}

// A picture or a video wider than the preview can show is brought within it, and named with the
// size its frames take at the warning level too.
TEST(ProgramHeadless, NamesAFileSourceTooLargeForThePreviewAtTheWarningLevel) {
    auto program = ProgramProcess::builtProgram();
    ASSERT_TRUE(program) << "the build wrote no program path beside the test";
    if (auto why = testsupport::missingTool("ffmpeg")) GTEST_SKIP() << *why;
    const fs::path dir = fs::temp_directory_path() / ("korva-large-sources-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    struct Source {
        std::string kind, file, source, made;
    };
    const std::string picture = (dir / "wide.png").string(), video = (dir / "wide.mkv").string();
    for (const auto& [kind, file, source, made] :
         {Source{"picture", picture, "image:" + picture, "-frames:v 1 -update 1"},
          Source{"video", video, "video:" + video, "-frames:v 2 -c:v ffv1"}}) {
        ASSERT_EQ(
            std::system(
                ("ffmpeg -v error -y -f lavfi -i color=s=9000x16 " + made + " '" + file + "' </dev/null").c_str()),
            0);
        ProgramProcess korva;
        ASSERT_TRUE(korva.start(*program, "headless", {{"KORVA_CAMERA", source}, {"KORVA_LOG", "warning"}}));
        auto status = korva.waitForExit(120);
        ASSERT_TRUE(status) << "still running after two minutes:\n" << korva.log();
        EXPECT_EQ(testsupport::describeStatus(*status), "exited with 0") << korva.log();
        EXPECT_NE(korva.log().find("korva warning camera: the " + kind + " " + file +
                                   " is 9000x16, larger than the preview can show (8192 pixels on a side at most); "
                                   "frames are 8192x14\n"),
                  std::string::npos)
            << korva.log();
    }
    fs::remove_all(dir);
}
