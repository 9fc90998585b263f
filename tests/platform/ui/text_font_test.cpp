// Fonts: face names to bundled faces, metrics of the bundled files, system and preferred fonts.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/runtime/log.h"
#include "platform/runtime/utf16.h"
#include "platform/ui/text/text_engine.h"
#include "platform/ui/text/ui_font.h"
#include "tests/support/required_tool.h"

namespace {

TEST(TextFont, FaceNamesTheApplicationUses) {
    auto gill = UIFont::fontWithName("Gill Sans", 17);
    ASSERT_TRUE(gill);
    EXPECT_EQ(gill->fontName(), "GillSans");
    EXPECT_EQ(gill->familyName(), "Gill Sans");
    EXPECT_EQ(gill->pointSize(), 17);
    EXPECT_FALSE(gill->isBold());
    // The name a font reports makes the same face again (labels rebuild fonts by name).
    EXPECT_TRUE(UIFont::fontWithName(gill->fontName(), 17)->isEqual(*gill));

    auto semibold = UIFont::fontWithName("GillSans-SemiBold", 12);
    ASSERT_TRUE(semibold);
    EXPECT_TRUE(semibold->isBold());
    EXPECT_TRUE(UIFont::fontWithName("AvenirNext-Medium", 12));
    EXPECT_EQ(UIFont::fontWithName("Copperplate", 9)->renderFamily(), "DejaVu Serif");
    EXPECT_EQ(UIFont::fontWithName("FontAwesome", 34)->renderFamily(), "FontAwesome");
    EXPECT_TRUE(UIFont::fontWithName("gillsans-semibold", 10));  // case and punctuation do not matter

    // Unknown faces and unusable sizes give no font.
    EXPECT_EQ(UIFont::fontWithName("No Such Face", 17), nullptr);
    EXPECT_EQ(UIFont::fontWithName("", 17), nullptr);
    EXPECT_EQ(UIFont::fontWithName("Gill Sans", 0), nullptr);
    EXPECT_EQ(UIFont::fontWithName("Gill Sans", -4), nullptr);
    EXPECT_EQ(UIFont::fontWithName("Gill Sans", std::numeric_limits<double>::quiet_NaN()), nullptr);
}

TEST(TextFont, MetricsComeFromTheBundledFiles) {
    auto font = UIFont::fontWithName("Gill Sans", 17);
    // DejaVu Sans: ascent 0.928 and descent 0.236 of the size (unhinted).
    EXPECT_NEAR(font->ascender(), 15.78, 0.01);
    EXPECT_NEAR(font->descender(), -4.01, 0.01);
    EXPECT_NEAR(font->lineHeight(), 19.789, 0.01);
    EXPECT_DOUBLE_EQ(font->lineHeight(), font->ascender() - font->descender());
    EXPECT_GT(font->capHeight(), font->xHeight());
    EXPECT_GT(font->xHeight(), 0);
    // Without hinting metrics scale exactly with the size.
    EXPECT_NEAR(font->fontWithSize(34)->lineHeight(), 2 * font->lineHeight(), 1e-6);
    // The icon font's line is exactly its size.
    EXPECT_NEAR(UIFont::fontWithName("FontAwesome", 34)->lineHeight(), 34, 0.01);
}

TEST(TextFont, SystemFontsAndTraits) {
    auto regular = UIFont::systemFontOfSize(17);
    auto bold = UIFont::boldSystemFontOfSize(17);
    auto italic = UIFont::italicSystemFontOfSize(17);
    ASSERT_TRUE(regular && bold && italic);
    EXPECT_FALSE(regular->isBold());
    EXPECT_TRUE(bold->isBold());
    EXPECT_TRUE(italic->isItalic());
    EXPECT_EQ(regular->familyName(), bold->familyName());

    // Bold and italic together, re-made from the descriptor at the descriptor's size.
    auto descriptor = regular->fontDescriptor().fontDescriptorWithSymbolicTraits(UIFontDescriptorTraitBold |
                                                                                 UIFontDescriptorTraitItalic);
    ASSERT_TRUE(descriptor);
    auto both = UIFont::fontWithDescriptor(*descriptor, 0);
    ASSERT_TRUE(both);
    EXPECT_TRUE(both->isBold() && both->isItalic());
    EXPECT_EQ(both->pointSize(), 17);
    // The icon font has no bold face.
    EXPECT_FALSE(UIFont::fontWithName("FontAwesome", 17)
                     ->fontDescriptor()
                     .fontDescriptorWithSymbolicTraits(UIFontDescriptorTraitBold));
}

TEST(TextFont, PreferredSizesFollowTheTextSizeCategory) {
    UITraitCollection traits;
    EXPECT_EQ(UIFont::preferredFontForTextStyle(UIFontTextStyleBody, traits)->pointSize(), 17);
    EXPECT_EQ(UIFont::preferredFontForTextStyle(UIFontTextStyleHeadline, traits)->pointSize(), 17);
    EXPECT_TRUE(UIFont::preferredFontForTextStyle(UIFontTextStyleHeadline, traits)->isBold());
    traits.preferredContentSizeCategory = UIContentSizeCategoryExtraSmall;
    EXPECT_EQ(UIFont::preferredFontForTextStyle(UIFontTextStyleBody, traits)->pointSize(), 14);
    traits.preferredContentSizeCategory = UIContentSizeCategoryAccessibilityExtraExtraExtraLarge;
    EXPECT_EQ(UIFont::preferredFontForTextStyle(UIFontTextStyleBody, traits)->pointSize(), 53);
    EXPECT_EQ(UIFont::preferredPointSize(UIFontTextStyleCaption2, UIContentSizeCategoryLarge), 11);
    // Unknown styles and categories fall back to body at the default size.
    EXPECT_EQ(UIFont::preferredPointSize("NoSuchStyle", "NoSuchCategory"), 17);

    // Without an explicit trait collection the current one decides.
    UITraitCollection saved = UITraitCollection::currentTraitCollection();
    UITraitCollection large = saved;
    large.preferredContentSizeCategory = UIContentSizeCategoryExtraExtraExtraLarge;
    UITraitCollection::setCurrentTraitCollection(large);
    EXPECT_EQ(UIFont::preferredFontForTextStyle(UIFontTextStyleBody)->pointSize(), 23);
    UITraitCollection::setCurrentTraitCollection(saved);
}

TEST(TextFont, TheIconFontHasEveryGlyphTheScreensUse) {
    auto font = UIFont::fontWithName("FontAwesome", 20);
    ASSERT_TRUE(font);
    std::lock_guard lock(textEngineMutex());
    PangoContext* context = createTextContext();
    PangoFontDescription* description = createFontDescription(*font);
    for (char32_t code :
         {0xF002, 0xF00D, 0xF013, 0xF01E, 0xF021, 0xF023, 0xF030, 0xF039, 0xF03E, 0xF042, 0xF045, 0xF053,
          0xF054, 0xF058, 0xF067, 0xF07D, 0xF07E, 0xF0C7, 0xF0E2, 0xF106, 0xF107, 0xF128, 0xF129, 0xF1DB}) {
        PangoLayout* layout = pango_layout_new(context);
        pango_layout_set_font_description(layout, description);
        std::string text = utf8FromCodePoint(code);
        pango_layout_set_text(layout, text.c_str(), -1);
        EXPECT_EQ(pango_layout_get_unknown_glyphs_count(layout), 0) << std::hex << unsigned(code);
        g_object_unref(layout);
    }
    pango_font_description_free(description);
    g_object_unref(context);
}

TEST(TextFont, TheFontFolderOfABundleOfLinksIsTheRealOne) {
    namespace fs = std::filesystem;
    const fs::path real = fs::canonical(textFontDirectory());
    const fs::path bundle = fs::temp_directory_path() / ("korva-font-bundle-" + std::to_string(::getpid()));
    fs::create_directories(bundle);
    fs::create_symlink(real, bundle / "fonts");
    // Faces are opened when first drawn; the bundle may be gone by then.
    EXPECT_EQ(fs::path(bundledFontDirectory(bundle.string())), real);
    fs::remove_all(bundle);
    EXPECT_EQ(fs::path(bundledFontDirectory("")), real);
}

// The bundled fonts' cache goes to the user's own cache folder, else to a private folder of the
// user's under TMPDIR; a folder someone else could have put at that name first (a link, or one
// that others may write or that another user owns) is not used, and is named with the reason.
TEST(TextFont, TheFontCacheIsInAFolderOfTheUsersOwn) {
    namespace fs = std::filesystem;
    struct Environment {
        std::vector<std::pair<const char*, std::optional<std::string>>> saved;
        Environment() {
            for (const char* name : {"XDG_CACHE_HOME", "HOME", "TMPDIR"}) {
                const char* v = std::getenv(name);
                saved.emplace_back(name, v ? std::optional<std::string>(v) : std::nullopt);
            }
        }
        ~Environment() {
            for (const auto& [name, value] : saved) value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name);
        }
    } restore;
    const fs::path root = fs::temp_directory_path() / ("korva-font-cache-" + std::to_string(::getpid()));
    fs::create_directories(root / "tmp");
    ::setenv("XDG_CACHE_HOME", (root / "cache").c_str(), 1);
    EXPECT_EQ(fontCacheFolders(), std::vector<std::string>{(root / "cache" / "fontconfig").string()});
    EXPECT_TRUE(fs::is_directory(root / "cache" / "fontconfig"));

    // The user's cache folder cannot be made (a file stands where it would go).
    std::ofstream(root / "file") << "x";
    ::setenv("XDG_CACHE_HOME", (root / "file").c_str(), 1);
    ::unsetenv("HOME");
    ::setenv("TMPDIR", (root / "tmp").c_str(), 1);
    const fs::path own = root / "tmp" / ("korva-fontconfig-" + std::to_string(::geteuid()));
    EXPECT_EQ(fontCacheFolders(), std::vector<std::string>{own.string()});
    EXPECT_EQ(fs::symlink_status(own).permissions() & fs::perms::all, fs::perms::owner_all);

    // A refused folder is named with the reason.
    LogCapture log;
    auto named = [&](const std::string& why) {
        return log.contains("the font cache folder " + own.string() + " is not used: " + why);
    };
    fs::remove(own);
    fs::create_directory_symlink(root / "cache", own);
    EXPECT_TRUE(fontCacheFolders().empty()) << "a link";
    EXPECT_TRUE(named("it is a symbolic link")) << testing::PrintToString(log.lines());
    fs::remove(own);
    fs::create_directory(own);
    fs::permissions(own, fs::perms::all);
    EXPECT_TRUE(fontCacheFolders().empty()) << "a folder others may write";
    EXPECT_TRUE(named("others may write to it")) << testing::PrintToString(log.lines());
    if (::geteuid() == 0) {
        fs::permissions(own, fs::perms::owner_all);
        ASSERT_EQ(::chown(own.c_str(), 65534, 65534), 0);
        EXPECT_TRUE(fontCacheFolders().empty()) << "another user's folder";
        EXPECT_TRUE(named("it belongs to another user")) << testing::PrintToString(log.lines());
    }
    fs::remove_all(root);
}

TEST(TextFont, ChineseJapaneseAndKoreanFallBackToTheMachinesFont) {
    if (textCJKFontFile().empty()) {
        // scripts/packages.txt installs one; only a machine set up otherwise lacks it.
        if (testsupport::underCI()) ADD_FAILURE() << "no CJK font, though scripts/packages.txt promises one";
        GTEST_SKIP() << "no font with Chinese, Japanese and Korean characters on this machine";
    }
    auto font = UIFont::systemFontOfSize(17);
    std::lock_guard lock(textEngineMutex());
    PangoContext* context = createTextContext();
    PangoFontDescription* description = createFontDescription(*font);
    // Native names from the language list, and Latin text beside them still in the bundled face.
    for (const char* text : {"\u4e2d\u6587", "\u65e5\u672c\u8a9e", "\ud55c\uad6d\uc5b4", "Suomi \u4e2d\u6587"}) {
        PangoLayout* layout = pango_layout_new(context);
        pango_layout_set_font_description(layout, description);
        pango_layout_set_text(layout, text, -1);
        EXPECT_EQ(pango_layout_get_unknown_glyphs_count(layout), 0) << text << " shows empty boxes";
        g_object_unref(layout);
    }
    PangoFont* latin = pango_font_map_load_font(textFontMap(), context, description);
    ASSERT_TRUE(latin);
    PangoFontDescription* loaded = pango_font_describe(latin);
    EXPECT_STREQ(pango_font_description_get_family(loaded), "DejaVu Sans") << "the bundled face stays first";
    pango_font_description_free(loaded);
    g_object_unref(latin);
    pango_font_description_free(description);
    g_object_unref(context);
}

}  // namespace
