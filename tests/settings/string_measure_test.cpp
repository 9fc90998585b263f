// The form's string measures, which remember the sizes they found: each must come back as a
// fresh measure gives it, whatever was measured before with another text, face, size or width.
// And the kit's bundle, whose lookup must not keep a miss or a bundle the main bundle no longer holds.
#include <gtest/gtest.h>

#include <cfloat>
#include <filesystem>
#include <string>

#include "platform/storage/bundle.h"
#include "platform/ui/text/string_drawing.h"
#include "platform/ui/text/ui_font.h"
#include "settings/form/form_string_measure.h"
#include "tests/support/temp_app_folders.h"

namespace {

NSAttributes withFont(const std::shared_ptr<UIFont>& font) {
    NSAttributes a;
    a.set(NSFontAttributeName, Value(font));
    return a;
}

CGSize fresh(const std::string& text, const std::shared_ptr<UIFont>& font) {
    return sizeWithAttributes(text, withFont(font));
}

CGSize fresh(const std::string& text, const std::shared_ptr<UIFont>& font, CGSize size) {
    return boundingRectWithSize(text, size, NSStringDrawingUsesLineFragmentOrigin, withFont(font)).size;
}

TEST(FormStringMeasure, RememberedSizesFollowTheTextTheFaceAndTheWidth) {
    auto regular = UIFont::systemFontOfSize(17);
    CGSize choice = form_sizeWithFont("Choice 1", regular);
    EXPECT_EQ(choice, fresh("Choice 1", regular));
    EXPECT_EQ(form_sizeWithFont("Choice 1", regular), choice) << "asked again";
    EXPECT_EQ(form_sizeWithFont("Choice 1", UIFont::systemFontOfSize(17)), choice) << "an equal face, another object";

    // Another text, a larger size, another face of the family with the same size.
    EXPECT_GT(form_sizeWithFont("Choice 1 of many", regular).width, choice.width);
    auto larger = UIFont::systemFontOfSize(24);
    EXPECT_EQ(form_sizeWithFont("Choice 1", larger), fresh("Choice 1", larger));
    EXPECT_GT(form_sizeWithFont("Choice 1", larger).width, choice.width);
    auto bold = UIFont::boldSystemFontOfSize(17);
    EXPECT_EQ(form_sizeWithFont("Choice 1", bold), fresh("Choice 1", bold));
    EXPECT_NE(form_sizeWithFont("Choice 1", bold).width, choice.width);

    // Laid out within a width: a narrower one wraps the text onto more lines; the one-line measure
    // of the same text is not taken for a bounded one.
    const std::string words = "one two three four five six seven";
    CGSize wide = form_sizeWithFont(words, regular, {1000, DBL_MAX});
    CGSize narrow = form_sizeWithFont(words, regular, {80, DBL_MAX});
    EXPECT_EQ(wide, fresh(words, regular, {1000, DBL_MAX}));
    EXPECT_EQ(narrow, fresh(words, regular, {80, DBL_MAX}));
    EXPECT_GT(narrow.height, wide.height);
    EXPECT_EQ(form_sizeWithFont(words, regular, {1000, DBL_MAX}), wide) << "the wide measure again after the narrow";
    EXPECT_EQ(form_sizeWithFont(words, regular), fresh(words, regular));
}

TEST(FormStringMeasure, ManyTextsStayRightPastWhatIsKept) {
    auto font = UIFont::systemFontOfSize(17);
    for (int round = 0; round < 2; ++round)
        for (int i = 0; i < 1200; i += 7) {
            std::string text = "Row " + std::to_string(i) + std::string(static_cast<std::size_t>(i % 13), 'W');
            ASSERT_EQ(form_sizeWithFont(text, font), fresh(text, font)) << text;
        }
}

struct FormKitBundle : ::testing::Test {
    TempAppFolders folders;
    void SetUp() override { folders.create("korva-form-bundle", ""); }
    void TearDown() override { folders.remove(); }
};

TEST_F(FormKitBundle, AMissIsLookedUpAgainAndAFoundBundleFollowsTheMainBundle) {
    EXPECT_EQ(FormTableViewManagerBundle(), nullptr) << "a main bundle without the kit's folder";
    std::filesystem::create_directories(folders.root() / "bundle" / "FormTableViewManager.bundle");
    auto inTemporary = FormTableViewManagerBundle();
    ASSERT_NE(inTemporary, nullptr) << "the folder added after a miss";
    EXPECT_EQ(inTemporary->bundlePath(), folders.pathOf("bundle/FormTableViewManager.bundle"));

    NSBundle::setMainBundleRoot("");
    auto own = FormTableViewManagerBundle();
    ASSERT_NE(own, nullptr) << "the resources' own kit bundle";
    EXPECT_NE(own->bundlePath(), inTemporary->bundlePath());
}

}  // namespace
