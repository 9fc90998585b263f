// The font catalogue: role sizes and faces, what follows the system text size and what does not,
// and the catalogue's replacement through Global.
#include <gtest/gtest.h>

#include "tests/ui/ui_test_support.h"
#include "ui/theme/font.h"

namespace {

using FontCatalogue = ToolkitTest;

TEST_F(FontCatalogue, FixedRolesHaveTheirSizesWhateverTheTextSize) {
    screen->setPreferredContentSizeCategory(UIContentSizeCategoryAccessibilityExtraExtraExtraLarge);
    auto font = global()->font();
    ASSERT_NE(font, nullptr);
    EXPECT_FLOAT_EQ(font->textFixedSmall1()->pointSize(), 13.6);
    EXPECT_FLOAT_EQ(font->iconFixedSmall1()->pointSize(), 13.6);
    EXPECT_FLOAT_EQ(font->textFixedSmall4()->pointSize(), 7.65);
    EXPECT_FLOAT_EQ(font->iconFixedLarge5()->pointSize(), 68);
    EXPECT_FLOAT_EQ(font->textFixedNormal()->pointSize(), 17);
    EXPECT_FLOAT_EQ(font->iconBarButton()->pointSize(), 24);
    EXPECT_FLOAT_EQ(font->buttonStatus()->pointSize(), 9);
    EXPECT_GT(font->textNormal()->pointSize(), 17) << "body follows the accessibility size";
    EXPECT_EQ(font->textFixedNormal()->familyName(), font->textNormal()->familyName());
}

TEST_F(FontCatalogue, BodyAndHeadlineRolesAtTheDefaultSize) {
    auto font = global()->font();
    const double body = UIFont::preferredPointSize(UIFontTextStyleBody, UIContentSizeCategoryLarge);
    const double headline = UIFont::preferredPointSize(UIFontTextStyleHeadline, UIContentSizeCategoryLarge);
    EXPECT_EQ(body, 17);
    EXPECT_EQ(font->textNormal()->pointSize(), font->textFixedNormal()->pointSize());
    EXPECT_FLOAT_EQ(font->title()->pointSize(), 2 * headline) << "twice the headline, not the body";
    EXPECT_FLOAT_EQ(font->textLarge2()->pointSize(), 1.5 * body);
    EXPECT_FLOAT_EQ(font->iconSmall5()->pointSize(), 0.4 * body);
    EXPECT_FLOAT_EQ(font->filterMenuNormal()->pointSize(), 15);
    EXPECT_EQ(font->textNormalBoldItalic()->isBold(), true);
    EXPECT_EQ(font->textNormalBoldItalic()->isItalic(), true);
    EXPECT_EQ(font->iconNormal()->fontName(), "FontAwesome");
}

TEST_F(FontCatalogue, RolesAreKeptUntilTheCatalogueIsDropped) {
    auto font = global()->font();
    auto large = font->textLarge2();
    EXPECT_EQ(font->textLarge2(), large);
    const double table1 = font->sizeTable1(), table2 = font->sizeTable2();
    EXPECT_EQ(table1, 17);
    EXPECT_FLOAT_EQ(table2, 0.8 * 17);

    screen->setPreferredContentSizeCategory(UIContentSizeCategoryExtraExtraExtraLarge);
    EXPECT_EQ(font->textLarge2(), large) << "a made role never changes";
    EXPECT_EQ(font->sizeTable1(), table1);
    EXPECT_EQ(font->sizeTable2(), table2);

    global()->setFont(nullptr);
    auto fresh = global()->font();
    ASSERT_NE(fresh, font);
    EXPECT_NE(fresh->textLarge2(), large);
    EXPECT_GT(fresh->textLarge2()->pointSize(), large->pointSize());
    EXPECT_GT(fresh->sizeTable1(), table1);
}

TEST_F(FontCatalogue, AnUnknownFaceGivesTheSystemFontAtTheSameSize) {
    auto font = global()->font();
    font->setFontName("No Such Face");
    ASSERT_NE(font->textLarge1(), nullptr);
    EXPECT_EQ(font->textLarge1()->pointSize(), font->textFixedNormal()->pointSize() * 1.2);
    EXPECT_EQ(font->textLarge1()->familyName(), UIFont::systemFontOfSize(17)->familyName());
    ASSERT_NE(font->fontWithSize(11), nullptr);
    EXPECT_EQ(font->fontWithSize(11)->pointSize(), 11);
}

TEST_F(FontCatalogue, FilterItemSizeOnPhone) {
    EXPECT_FLOAT_EQ(global()->font()->filterItemNormal()->pointSize(), 10.2);
}

using TabletFontCatalogue = TabletToolkitTest;

TEST_F(TabletFontCatalogue, FilterItemSizeOnTablet) {
    EXPECT_FLOAT_EQ(global()->font()->filterItemNormal()->pointSize(), 13.6);
}

}  // namespace
