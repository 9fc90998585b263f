// The camera screen's picture road: frames arrive on the capture queue, the newest one is cropped
// to the picture ratio on the main queue, a 0.05 s timer draws it through the filter into the
// preview (restarting capture when its ticks see no frame for a second), the preview is placed
// between the bars when the frame's shape changes, and the picture fades in and out with each
// placement.
//
// The road keeps the frames, the placement memory and its two timers; the screen keeps the views
// and does the drawing and the placing through the delegate. Main-thread only, except store(),
// which the capture queue calls.
#pragma once

#include <atomic>
#include <memory>
#include <optional>

#include "camera/screen/latest_frame.h"
#include "camera/screen/preview_layout.h"
#include "platform/dispatch/timer_slots.h"
#include "platform/runtime/object.h"

class PreviewRoadDelegate {
public:
    virtual ~PreviewRoadDelegate() = default;
    // Draws the frame through the filter into the preview; the image drawn, or none.
    virtual std::shared_ptr<CIImage> previewRoadDraw(const std::shared_ptr<CIImage>& frame) = 0;
    // Whether the preview has pixels to draw into (a placement waits for them).
    virtual bool previewRoadHasDrawable() = 0;
    // What surrounds the picture on the screen.
    virtual PreviewRoom previewRoadRoom() = 0;
    // Places the preview and the gesture layer at the insets.
    virtual void previewRoadPlace(const PreviewInsets& insets) = 0;
    // The placement changed: the screen refreshes (which may start a fade).
    virtual void previewRoadPlaced() = 0;
    // No frame for a second: capture restarts.
    virtual void previewRoadStalled() = 0;
    // The filter browser's tile size in points.
    virtual CGSize previewRoadTileSize() = 0;
    // A fade begins (fadingIn: the preview goes transparent first), steps and ends (step.done).
    virtual void previewRoadFadeBegins(bool fadingIn) = 0;
    virtual void previewRoadFade(const FadeStep& step) = 0;
};

class PreviewRoad : public NSObject {
public:
    KORVA_MAKE(PreviewRoad)

    static constexpr double kRenderInterval = 0.05;
    static constexpr double kStallLimit = 1.0;
    // The most of the time between two drawing ticks that counts towards a stall. A longer gap is
    // time in which the main loop itself did not turn (the process was stopped, the loop was held);
    // the camera, which may not have run in it either, is not blamed for it.
    static constexpr double kLongestCountedTurn = 0.25;
    static constexpr double kFadeInterval = 0.03;
    static constexpr double kFadeDuration = 0.2;
    static constexpr long kRelayoutThreshold = 10;

    void setDelegate(std::weak_ptr<PreviewRoadDelegate> delegate) { delegate_ = std::move(delegate); }

    // A frame arrived (capture queue): kept as the newest, with its time. Thread-safe.
    void store(std::shared_ptr<CIImage> image, double at) { frame_.store(std::move(image), at); }
    // The same frame on the main queue: cropped to the ratio for the screen and the filter browser.
    void showFrame(const std::shared_ptr<CIImage>& image, double ratioWpH);
    // A frame arrived (capture queue): stored, and true when the main queue is to be asked to show
    // it (showNewest); false while a showing is already on its way there, which shows the newest
    // frame. A main thread that lags is never owed more than one showing, so the frames it has not
    // taken yet are not all held, each with its pixels, while the camera makes new ones.
    bool storeToShow(std::shared_ptr<CIImage> image, double at) {
        store(std::move(image), at);
        return !showOwed_.exchange(true);
    }
    // On the main queue, once for each storeToShow that asked: shows the newest frame stored.
    void showNewest(double ratioWpH) {
        showOwed_ = false;
        if (auto image = frame_.image()) showFrame(image, ratioWpH);
    }
    // A session is about to start or stop: the placement is forgotten (and, on a stop, the picture).
    void sessionWillStart() { readyScreenRect_ = false; }
    void sessionWillStop();
    // A session started: the stall check counts from now and the drawing timer runs.
    void sessionDidStart(double now);
    // A restart began at that media time; its first drawn frame ends it (0: none under way).
    void restartBegins(double now) { restartBegan_ = now; }
    double restartBegan() const { return restartBegan_; }

    void restartTimerScreen();
    void resetTimerScreen();
    void onTimerScreen();
    void updateScreen();
    void updateScreenRect(CGRect extent);
    void updateLastFilter();
    // Runs one fade when the placement changed since the last one.
    void followPlacement();
    void restartTimerFade();
    void resetTimerFade();
    void onTimerFade();

    bool readyScreenRect() const { return readyScreenRect_; }
    bool flagFade() const { return flagFade_; }
    bool drawing() const { return timerScreen_.running(); }
    bool fading() const { return timerFade_.running(); }
    double lastSampleBufferedAt() const { return frame_.at(); }
    std::shared_ptr<CIImage> lastSample() const { return frame_.image(); }
    const std::shared_ptr<CIImage>& lastScreen() const { return lastScreen_; }
    const std::shared_ptr<CIImage>& lastFilter() const { return lastFilter_; }

    std::string className() const override { return "PreviewRoad"; }

protected:
    PreviewRoad() = default;

private:
    std::shared_ptr<PreviewRoad> me() { return self<PreviewRoad>(); }
    // The camera's silence as the drawing ticks saw it, counted up to this tick.
    double silenceAt(double now);

    std::weak_ptr<PreviewRoadDelegate> delegate_;
    LatestFrame frame_;
    std::atomic<bool> showOwed_{false};
    std::shared_ptr<CIImage> lastScreen_, lastFilter_;
    bool readyScreenRect_ = false;
    std::optional<FrameKey> lastFrameKey_;
    CGSize layoutSize_{0, 0};     // the screen view's size the picture was last placed for
    bool stallReported_ = false;  // the log has said that frames stopped; said again once they came back
    double lastTick_ = 0;         // the drawing tick before this one
    double heardAt_ = 0;          // the newest frame's time as that tick saw it
    double silence_ = 0;
    double restartBegan_ = 0;
    bool flagFade_ = false;
    double atFade_ = 0;
    RepeatingTimer timerScreen_, timerFade_;
};
