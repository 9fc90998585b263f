// The preferred languages read from the locale environment.
#include "platform/text/ns_locale.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/runtime/log.h"

namespace {

using Env = std::map<std::string, std::string>;
using List = std::vector<std::string>;

List fromEnv(const Env& env) {
    return NSLocale::preferredLanguagesFrom([&env](const char* name) -> const char* {
        auto it = env.find(name);
        return it == env.end() ? nullptr : it->second.c_str();
    });
}

}  // namespace

TEST(NSLocaleTest, VariablesAreReadInPriorityOrderWithoutRepeats) {
    EXPECT_EQ(fromEnv({{"LANGUAGE", "fi:sv_FI:en"},
                       {"LC_ALL", "de_AT.UTF-8"},
                       {"LC_MESSAGES", "fr_CA"},
                       {"LANG", "fi_FI.UTF-8"}}),
              (List{"fi", "sv-FI", "en", "de-AT", "fr-CA", "fi-FI"}));
    EXPECT_EQ(fromEnv({{"LANG", "en_US.UTF-8"}, {"LC_MESSAGES", "en_US"}}), (List{"en-US"}));
    EXPECT_EQ(fromEnv({{"LANG", "pt_BR"}}), (List{"pt-BR"}));
    EXPECT_EQ(fromEnv({}), List{});
}

TEST(NSLocaleTest, NamesAreNormalisedAndTheNeutralLocalesCountAsNone) {
    EXPECT_EQ(NSLocale::languageIdentifier("zh_TW.UTF-8@x"), "zh-TW");
    EXPECT_EQ(NSLocale::languageIdentifier("sr_RS@latin"), "sr-RS");
    EXPECT_EQ(NSLocale::languageIdentifier("ES_mx"), "es-MX");
    EXPECT_EQ(NSLocale::languageIdentifier("es_419"), "es-419");
    EXPECT_EQ(NSLocale::languageIdentifier("haw"), "haw");
    EXPECT_EQ(NSLocale::languageIdentifier("C"), std::nullopt);
    EXPECT_EQ(NSLocale::languageIdentifier("C.UTF-8"), std::nullopt);
    EXPECT_EQ(NSLocale::languageIdentifier("POSIX"), std::nullopt);
    EXPECT_EQ(NSLocale::languageIdentifier(""), std::nullopt);
    EXPECT_EQ(fromEnv({{"LANGUAGE", ""}, {"LC_ALL", "C"}, {"LANG", "POSIX"}}), List{});
}

TEST(NSLocaleTest, JunkIsSkippedWithALogLineAndTheRestKept) {
    LogCapture log;
    EXPECT_EQ(fromEnv({{"LANGUAGE", "::x:../../etc:de"}, {"LC_ALL", "english please"}, {"LANG", "\xff\xfe"}}),
              (List{"de"}));
    EXPECT_GE(log.lines().size(), 3u);
}

TEST(NSLocaleTest, ATestListReplacesTheEnvironmentUntilCleared) {
    NSLocale::setPreferredLanguagesForTesting(List{"th-TH", "en"});
    EXPECT_EQ(NSLocale::preferredLanguages(), (List{"th-TH", "en"}));
    NSLocale::setPreferredLanguagesForTesting(List{});
    EXPECT_TRUE(NSLocale::preferredLanguages().empty());
    NSLocale::setPreferredLanguagesForTesting(std::nullopt);
    ::setenv("LANGUAGE", "nb:nn", 1);
    EXPECT_EQ(NSLocale::preferredLanguages().front(), "nb");
    ::unsetenv("LANGUAGE");
}
