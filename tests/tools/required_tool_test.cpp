// A test tool the package list promises: missing, it skips on a developer's machine and fails
// under CI.
#include "tests/support/required_tool.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

constexpr const char* kNoSuchTool = "korva-no-such-tool";

class ScopedCI {
public:
    explicit ScopedCI(const char* value) {
        if (const char* old = std::getenv("CI")) saved_ = old;
        if (value)
            ::setenv("CI", value, 1);
        else
            ::unsetenv("CI");
    }
    ~ScopedCI() {
        if (saved_)
            ::setenv("CI", saved_->c_str(), 1);
        else
            ::unsetenv("CI");
    }

private:
    std::optional<std::string> saved_;
};

}  // namespace

TEST(RequiredTool, AMissingToolSkipsOutsideCIAndFailsUnderIt) {
    {
        ScopedCI ci(nullptr);
        auto why = testsupport::missingTool(kNoSuchTool);
        ASSERT_TRUE(why.has_value());
        EXPECT_NE(why->find(kNoSuchTool), std::string::npos);
    }
    {
        ScopedCI ci("true");
        EXPECT_NONFATAL_FAILURE(testsupport::missingTool(kNoSuchTool), "promises it");
    }
    ScopedCI ci("true");
    EXPECT_FALSE(testsupport::missingTool("sh").has_value());
}
