// The page probes: the scripts they send keep every id inside one string literal, and where no
// script runs their answers are zeros or null; the answer readers turn malformed text into zeros.
#include <gtest/gtest.h>

#include "app/web/web_view_probes.h"
#include "platform/dispatch/run_loop.h"
#include "platform/ui/controller/wk_web_view.h"
#include "tests/app/app_test_support.h"

namespace {

TEST(WebProbes, AnIdStaysOneStringLiteralWhateverItHolds) {
    std::string script = probe_scripts::positionOfElementWithId("a'b\"c\\d</script>\ne\u2028f");
    EXPECT_NE(script.find(R"(getElementById('a\'b\"c\\d<\/script>\ne\u2028f'))"), std::string::npos) << script;
    EXPECT_EQ(script.find("</"), std::string::npos);
    EXPECT_EQ(scriptStringLiteral(""), "''");
    EXPECT_EQ(scriptStringLiteral("<b>"), "'<b>'");
}

TEST(WebProbes, TheLinkProbeAsksNoAlertsSkipsUntaggedNodesAndAnswersNullWithoutALink) {
    std::string script = probe_scripts::linkAtPosition(12, -3);
    EXPECT_EQ(script.find("alert"), std::string::npos);
    EXPECT_NE(script.find("e.tagName && e.tagName.toLowerCase()=='a'"), std::string::npos);
    EXPECT_NE(script.find("return null;"), std::string::npos);
    EXPECT_NE(script.find("})(12,-3)"), std::string::npos);
    EXPECT_NE(probe_scripts::drawRectAtPosition(4, 5).find("})(4,5,2000)"), std::string::npos);
}

TEST(WebProbes, AnswersThatAreNotGeometryReadAsZeros) {
    EXPECT_EQ(probeSize(Value("{320,480}")), (CGSize{320, 480}));
    EXPECT_EQ(probePoint(Value("{0,120.5}")), (CGPoint{0, 120.5}));
    EXPECT_EQ(probeRect(Value("{{1,2},{3,4}}")), CGRectMake(1, 2, 3, 4));
    for (const Value& bad : {Value(), Value("junk"), Value("{1}"), Value("{1,2,3}"), Value(std::int64_t{7}),
                             Value("{{1,2},{3}}"), Value("{nan,1}x")}) {
        EXPECT_EQ(probeSize(bad), CGSizeZero) << bad.description();
        EXPECT_EQ(probePoint(bad), CGPointZero) << bad.description();
        EXPECT_EQ(probeRect(bad), CGRectZero) << bad.description();
    }
}

TEST_F(AppTest, WithoutScriptsTheProbesAnswerZerosAndNull) {
    auto web = WKWebView::make(CGRectMake(0, 0, 100, 100));
    int answers = 0;
    windowSize(*web, [&](CGSize s) { answers += s == CGSizeZero; });
    scrollOffset(*web, [&](CGPoint p) { answers += p == CGPointZero; });
    positionOfElementWithId(*web, "x", [&](CGRect r) { answers += r == CGRectZero; });
    rectAtPosition(*web, 1, 1, [&](CGRect r) { answers += r == CGRectZero; });
    tagsAtPosition(*web, 1, 1, [&](const Value& v) { answers += v.isNull(); });
    linkAtPosition(*web, 1, 1, [&](const Value& v) { answers += v.isNull(); });
    currentURL(*web, [&](const Value& v) { answers += v.isNull(); });
    drawRectAtPosition(*web, 1, 1, [&] { ++answers; });
    setNoSelectable(*web);
    RunLoop::main().runUntilIdle();
    EXPECT_EQ(answers, 8);
}

}  // namespace
