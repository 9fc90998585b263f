#include <gtest/gtest.h>

#include "platform/runtime/error.h"
#include "platform/runtime/log.h"

TEST(NSError, LocalizedDescriptionFromUserInfoOrGenericSentence) {
    auto described = NSError::withDescription("Net", 7, "No connection");
    EXPECT_EQ(described->localizedDescription(), "No connection");
    EXPECT_EQ(described->domain(), "Net");
    EXPECT_EQ(described->code(), 7);

    auto bare = NSError::make("Korva.Storage", -3);
    EXPECT_EQ(bare->localizedDescription(), "The operation couldn\u2019t be completed. (Korva.Storage error -3.)");
    EXPECT_TRUE(bare->userInfo().isDictionary());
    EXPECT_EQ(bare->userInfo().count(), 0u);

    // A user info that is not a dictionary is not kept.
    auto odd = NSError::make("D", 1, Value("not a dictionary"));
    EXPECT_TRUE(odd->userInfo().isDictionary());
}

TEST(NSError, UnderlyingErrorAndEquality) {
    auto inner = NSError::make(NSPOSIXErrorDomain, 2);
    auto outer = NSError::make(NSCocoaErrorDomain, 4, Value::dictionary({{NSUnderlyingErrorKey, Value(inner)}}));
    EXPECT_EQ(outer->underlyingError(), inner);
    EXPECT_TRUE(NSError::make("A", 1)->isEqual(*NSError::make("A", 1)));
    EXPECT_FALSE(NSError::make("A", 1)->isEqual(*NSError::make("A", 2)));
    EXPECT_NE(outer->description().find("Code=4"), std::string::npos);
    EXPECT_EQ(Value(inner).description(), inner->description());
}

TEST(Log, CaptureRecordsLinesEvenWhenQuietOrBelowThreshold) {
    bool wasQuiet = Log::quiet();
    LogLevel wasThreshold = Log::threshold();
    Log::setQuiet(true);
    Log::setThreshold(LogLevel::Error);
    {
        LogCapture capture;
        Log::debug("camera", "frame dropped");
        Log::error("storage", "write failed");
        NSLog("%@ of %d", {"three", 4});
        EXPECT_EQ(capture.lines(), (std::vector<std::string>{"debug camera: frame dropped",
                                                             "error storage: write failed", "info app: three of 4"}));
        EXPECT_TRUE(capture.contains("write failed"));
        capture.clear();
        EXPECT_TRUE(capture.lines().empty());
    }
    Log::setQuiet(wasQuiet);
    Log::setThreshold(wasThreshold);
}
