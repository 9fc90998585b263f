// Shared set-up for the rich label's tests: labels with a known font, detection run by the test,
// drawing into a bitmap, and a delegate that records what it is told.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/dispatch/clock.h"
#include "platform/dispatch/run_loop.h"
#include "platform/ui/draw/graphics.h"
#include "tests/platform/ui/draw_test_support.h"
#include "widgets/rich_label/rich_label.h"
#include "widgets/rich_label/rich_label_attributes.h"

struct RichLabelTest : ::testing::Test {
    void SetUp() override {
        Clock::useVirtual();
        RunLoop::main().reset();
    }
    void TearDown() override { RunLoop::main().reset(); }

    // Detection passes wait here until the test runs them.
    std::shared_ptr<RichLabel> makeLabel(CGRect frame = CGRectMake(0, 0, 300, 100)) {
        auto label = RichLabel::make(frame);
        label->setFont(UIFont::systemFontOfSize(17));
        label->setNumberOfLines(0);
        label->setDetectionScheduler([this](dispatch_block_t pass) { passes.push_back(std::move(pass)); });
        return label;
    }
    // Runs the waiting detection passes, then what they sent to the main queue.
    void runDetection() {
        auto waiting = std::move(passes);
        passes.clear();
        for (auto& pass : waiting) pass();
        RunLoop::main().runUntilIdle();
    }
    static std::shared_ptr<UIImage> render(RichLabel& label) {
        UIGraphicsBeginImageContextWithOptions(label.bounds().size, false, 1);
        label.drawRect(label.bounds());
        auto image = UIGraphicsGetImageFromCurrentImageContext();
        UIGraphicsEndImageContext();
        return image;
    }
    static CGFloat lineHeight() { return UIFont::systemFontOfSize(17)->lineHeight(); }

    std::vector<dispatch_block_t> passes;
};

// Records every event with its kind; answers only the operations it is told to.
struct RecordingDelegate : RichLabelDelegate {
    bool url = true, date = true, dateZone = true, any = true;
    std::vector<std::string> events;
    bool didSelectLinkWithURL(RichLabel&, const std::shared_ptr<NSURL>& u) override {
        if (url) events.push_back("url " + (u ? u->absoluteString() : std::string("none")));
        return url;
    }
    bool didSelectLinkWithDate(RichLabel&, double) override {
        if (date) events.push_back("date");
        return date;
    }
    bool didSelectLinkWithDateTimeZone(RichLabel&, double, const std::string& zone, double duration) override {
        if (dateZone) events.push_back("date " + zone + " " + std::to_string(int(duration)));
        return dateZone;
    }
    bool didSelectLinkWithTextCheckingResult(RichLabel&, const NSTextCheckingResult& r) override {
        if (any) events.push_back("result " + std::to_string(r.resultType));
        return any;
    }
    bool didLongPressLinkWithURL(RichLabel&, const std::shared_ptr<NSURL>&, CGPoint) override {
        events.push_back("long url");
        return true;
    }
};
