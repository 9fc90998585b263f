// The program's one registration call against what the screens ask for: every controller
// identifier the code hands the storyboard, every service Global makes through a subsystem's
// maker, the status-bar rules and the rating prompt.
#include "main/program_registry.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "app/rate/rate_prompt.h"
#include "foundation/global.h"
#include "platform/dispatch/run_loop.h"
#include "platform/host/ui_application_main.h"
#include "platform/runtime/source_resources.h"
#include "platform/storage/user_defaults.h"
#include "platform/ui/controller/ui_storyboard.h"
#include "tests/support/temp_app_folders.h"
#include "widgets/flat/status_bar_flat_kit.h"

namespace fs = std::filesystem;

namespace {

const fs::path& sourceRoot() {
    static const fs::path root = fs::path(kSourceResourcesFolder).parent_path();
    return root;
}

std::string readText(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The folders whose code asks for screens and services (the platform below asks for none).
const char* const kScreenFolders[] = {"app", "camera", "editor", "settings", "ui", "widgets", "language", "capture"};

// The arguments of a call whose opening parenthesis is at `open`, split at the top level.
std::vector<std::string> callArguments(const std::string& text, std::size_t open) {
    std::vector<std::string> args(1);
    int depth = 0;
    for (std::size_t i = open; i < text.size(); ++i) {
        char c = text[i];
        if (c == '(') {
            if (depth++ == 0) continue;
        } else if (c == ')') {
            if (--depth == 0) break;
        } else if (c == ',' && depth == 1) {
            args.emplace_back();
            continue;
        }
        args.back() += c;
    }
    for (auto& a : args) a = std::regex_replace(a, std::regex(R"(^\s+|\s+$)"), "");
    return args;
}

struct AskedIdentifiers {
    std::set<std::string> identifiers;
    std::vector<std::string> unresolved;  // "file: argument"
};

// Calls that hand the storyboard an identifier they were given, so their own argument is no
// identifier: the content switcher's screen by name, the side menu's item action, the segmented
// container's children and the tab container's tabs. Their callers are scanned in turn.
const std::set<std::pair<std::string, std::string>> kForwardingCalls = {
    {"app/shell/main_controller.cpp", "identifier"},
    {"settings/left/left_controller_actions.cpp", "name"},
    {"app/containers/my_segmented_controller.cpp", "identifier.stringValue()"},
    {"app/containers/my_tab_bar_custom_controller.cpp", "identifier"},
};

// Every identifier the code asks the storyboard for: the second argument of storyboard(receiver,
// identifier) and the first of the forwarders (setName, addWithIdentifier), as a literal or a
// named constant ("k..." of the file's own header, or "Class::k..." of the class's header).
AskedIdentifiers askedIdentifiers() {
    std::map<std::string, std::string> headerText;  // path from the root -> text
    std::vector<std::pair<std::string, std::string>> sources;
    for (const char* folder : kScreenFolders) {
        for (const auto& entry : fs::recursive_directory_iterator(sourceRoot() / folder)) {
            const auto ext = entry.path().extension();
            if (ext != ".cpp" && ext != ".h") continue;
            const std::string rel = fs::relative(entry.path(), sourceRoot()).string();
            std::string text = readText(entry.path());
            if (ext == ".h") headerText[rel] = text;
            // Only files that make one of the calls are searched with the pattern.
            for (const char* name : {"storyboard(", "setName(", "addWithIdentifier("})
                if (text.find(name) != std::string::npos) {
                    sources.emplace_back(rel, text);
                    break;
                }
        }
    }
    auto constantIn = [](const std::string& text, const std::string& name) -> std::optional<std::string> {
        std::smatch m;
        if (std::regex_search(text, m, std::regex(name + R"(\s*=\s*"([^"]+)\")"))) return m[1].str();
        return std::nullopt;
    };
    auto resolve = [&](const std::string& file, const std::string& arg) -> std::optional<std::string> {
        std::smatch m;
        if (std::regex_match(arg, m, std::regex(R"x("([^"]+)")x"))) return m[1].str();
        if (std::regex_match(arg, m, std::regex(R"((\w+)::(k\w+))"))) {
            for (const auto& [path, text] : headerText)
                if (std::regex_search(text, std::regex("class " + m[1].str() + R"(\b[^;]*\{)")))
                    if (auto value = constantIn(text, m[2].str())) return value;
            return std::nullopt;
        }
        if (std::regex_match(arg, std::regex(R"(k\w+)"))) {
            auto own = headerText.find(fs::path(file).replace_extension(".h").string());
            if (own != headerText.end()) return constantIn(own->second, arg);
        }
        return std::nullopt;
    };
    AskedIdentifiers asked;
    const std::regex call(R"((?:^|[^\w])(storyboard|setName|addWithIdentifier)\s*\()");
    for (const auto& [file, text] : sources) {
        for (std::sregex_iterator it(text.begin(), text.end(), call), end; it != end; ++it) {
            const std::size_t open = it->position(0) + it->length(0) - 1;
            // Declarations and definitions name a parameter's type, not an argument.
            auto args = callArguments(text, open);
            const bool viaStoryboard = (*it)[1] == "storyboard";
            if (viaStoryboard && args.size() != 2) continue;
            const std::string& arg = viaStoryboard ? args[1] : args[0];
            if (arg.empty() || arg.find("std::string") != std::string::npos) continue;
            if (kForwardingCalls.count({file, arg})) continue;
            if (auto value = resolve(file, arg))
                asked.identifiers.insert(*value);
            else
                asked.unresolved.push_back(file + ": " + arg);
        }
    }
    return asked;
}

class ProgramRegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        folders.create("korva-program-registry", "<key>CFBundleShortVersionString</key><string>3.1</string>");
        NSUserDefaults::resetStandardUserDefaults();
        UIStoryboard::resetMainStoryboard();
        UIApplicationDelegateClasses::clear();
        RatePrompt::resetSharedInstance();
        registerProgram();
    }
    void TearDown() override {
        RatePrompt::resetSharedInstance();
        RunLoop::main().runUntilIdle();
        UIStoryboard::resetMainStoryboard();
        UIApplicationDelegateClasses::clear();
        NSUserDefaults::resetStandardUserDefaults();
        folders.remove();
    }
    TempAppFolders folders;
};

}  // namespace

TEST_F(ProgramRegistryTest, EveryScreenAnyScreenAsksForIsRegistered) {
    auto asked = askedIdentifiers();
    EXPECT_TRUE(asked.unresolved.empty())
        << "identifiers this test cannot read from the code: " << ::testing::PrintToString(asked.unresolved);
    // The scan found the screens the shell, the camera screen, the side menu and the pop-ups ask for.
    for (const char* known : {"MainController", "ViewController", "LeftController", "EditController", "MyWebController",
                              "SettingsDictController"})
        EXPECT_TRUE(asked.identifiers.count(known)) << known << " was not found in the code";

    auto storyboard = UIStoryboard::mainStoryboard();
    auto initial = storyboard->instantiateInitialViewController();
    ASSERT_TRUE(initial) << "no initial screen";
    EXPECT_EQ(initial->className(), "RootController");
    for (const auto& identifier : asked.identifiers) {
        ASSERT_TRUE(storyboard->hasController(identifier)) << identifier;
        auto made = storyboard->instantiateViewControllerWithIdentifier(identifier);
        ASSERT_TRUE(made) << identifier;
        // The screen itself, not a stand-in (the shell registers one under "ViewController").
        EXPECT_EQ(made->className(), identifier);
    }
    EXPECT_TRUE(UIApplicationDelegateClasses::make("AppDelegate")) << "the application delegate class";
}

TEST_F(ProgramRegistryTest, EveryServiceGlobalMakesThroughAMakerIsRegistered) {
    auto global = Global::shared();
    const std::map<std::string, std::function<bool()>> made = {
        {"lcode", [&] { return global->lcode() != nullptr; }},
        {"ccode", [&] { return global->ccode() != nullptr; }},
        {"font", [&] { return global->font() != nullptr; }},
        {"color", [&] { return global->color() != nullptr; }},
        {"pics", [&] { return global->pics() != nullptr; }},
        {"path", [&] { return global->path() != nullptr; }},
        {"audioSession", [&] { return global->audioSession() != nullptr; }},
        {"colorSpaces", [&] { return global->colorSpaces() != nullptr; }},
        {"upload", [&] { return global->upload() != nullptr; }},
        {"download", [&] { return global->download() != nullptr; }},
        {"addr", [&] { return global->addr() != nullptr; }},
        {"animation", [&] { return global->animation() != nullptr; }},
        {"filesHost", [&] { return global->filesHost() != nullptr; }},
        {"filterPreset", [&] { return global->filterPreset() != nullptr; }},
    };
    // The getters the foundation answers through a subsystem's maker, as its code has them.
    std::set<std::string> getters;
    const std::string base = readText(sourceRoot() / "foundation/global_base.cpp");
    const std::regex byFactory(R"(GlobalBase::(\w+)\(\)\s*\{\s*return madeByFactory)");
    for (std::sregex_iterator it(base.begin(), base.end(), byFactory), end; it != end; ++it) getters.insert((*it)[1]);
    const std::string global_ = readText(sourceRoot() / "foundation/global.cpp");
    const std::regex ownFactory(R"(Global::(\w+)\(\)\s*\{\s*if \(!\w+\) \w+ = ServiceFactory<)");
    for (std::sregex_iterator it(global_.begin(), global_.end(), ownFactory), end; it != end; ++it)
        getters.insert((*it)[1]);
    ASSERT_GE(getters.size(), 10u) << "the scan of the foundation's getters found too few";
    for (const auto& getter : getters) {
        auto check = made.find(getter);
        ASSERT_NE(check, made.end()) << "Global makes \"" << getter << "\" through a maker; check it here too";
        EXPECT_TRUE(check->second()) << getter << " has no maker after the program's registrations";
    }
}

TEST_F(ProgramRegistryTest, TheStatusBarRulesAndTheRatingPromptAreInPlace) {
    auto controller = UIViewController::make();
    setShouldUseLightContent(*controller, true);
    EXPECT_EQ(controller->preferredStatusBarStyle(), UIStatusBarStyle::LightContent);
    // The rating prompt counts the launch once the main queue runs.
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(NSUserDefaults::standardUserDefaults()->integerForKey("RatePromptUseCount"), 1);
}
