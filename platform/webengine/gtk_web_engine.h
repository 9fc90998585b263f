// A web view's engine on the toolkit's embeddable web view, kept in an off-screen window: its
// signals become the web view's events and the window's pictures become the view's contents.
// Main-thread only; the toolkit's main context is iterated by the run loop (see web_engine.cpp).
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/ui/controller/wk_web_engine.h"

typedef struct _GtkWidget GtkWidget;
typedef struct _WebKitWebView WebKitWebView;

class GtkWebEngine final : public WKWebEngine {
public:
    explicit GtkWebEngine(WKWebEngineEvents events);
    ~GtkWebEngine() override;
    GtkWebEngine(const GtkWebEngine&) = delete;
    GtkWebEngine& operator=(const GtkWebEngine&) = delete;

    void loadURL(const std::string& url) override;
    void loadHTML(const std::string& html, const std::string& baseURL) override;
    void reload() override;
    void goBack() override;
    void goForward() override;
    void stop() override;

    std::string URL() const override;
    std::string title() const override;
    double progress() const override;
    bool canGoBack() const override;
    bool canGoForward() const override;

    void evaluateJavaScript(const std::string& script,
                            std::function<void(const Value&, const std::string&)> completion) override;

    void setViewport(CGSize size, CGFloat scale) override;
    void tap(CGPoint point) override;
    void scrollBy(CGPoint delta) override;
    void insertText(const std::string& text) override;
    void deleteBackward() override;
    void pressReturn() override;

    // How many engines exist now.
    static int liveCount();

    // Takes a new picture if the window changed since the last one.
    void paintIfDamaged();

    // For tests, every engine's: the end of a page's process is held back until the next load
    // reaches a point (asked for, taken up by the engine, or started); there the process that load
    // runs in ends too, as the engine ends it when a refusal reaches it that late, and the held
    // end is heard. Ends heard, held or not, are counted.
    enum class ProcessEndHold { Off, UntilAsked, UntilTakenUp, UntilStarted };
    static void holdProcessEnds(ProcessEndHold until);
    static int processEndsHeard();

    // Signal handlers (plain functions for the toolkit's C interface).
    struct Signals;

private:
    void sendButton(CGPoint point);
    void finishWithTitle();
    void ask(std::function<void()> request);
    void takeUp();
    void started();
    void answered();
    void reached(ProcessEndHold point);
    void processEnded();
    void askAgain(unsigned request);
    void failKeptEnding();
    void failCutOff(unsigned load, const char* reason, bool provisional);

    WKWebEngineEvents events_;
    GtkWidget* window_ = nullptr;
    WebKitWebView* view_ = nullptr;
    CGFloat scale_ = 1;
    bool damaged_ = false;
    bool sized_ = false;
    // The load that started last (the page's own too): shown, failed, still loading.
    bool committed_ = false;
    bool failed_ = false;
    bool loading_ = false;
    unsigned load_ = 0;
    std::string title_;

    // The load last asked for, from the asking until a start after its taking up is answered
    // (shown, failed or finished): waiting for the engine to take it up (its navigation decision),
    // taken up, started. Its request is kept, to be asked for again when the end of the page's
    // process cuts it off although the end was an earlier load's (see processEnded).
    enum class Asked { Idle, Waiting, TakenUp, Started };
    Asked asked_ = Asked::Idle;
    unsigned request_ = 0;
    std::function<void()> askedFor_;
    // How many times it was asked for again so far; a few times, then it fails.
    unsigned askedAgain_ = 0;
    // A started load waits for the server's first answer until it has one or ends: the engine may
    // still refuse its redirect by ending the page's process, under whatever loads by then.
    bool unanswered_ = false;
    // The load that started last did so while an earlier one was unanswered.
    bool startedOverUnanswered_ = false;
    // A process end held back by the test hook, heard when the next load reaches the hold's point.
    bool endHeld_ = false;
    // Outlives nothing: callbacks still in flight after the engine is gone find it expired.
    std::shared_ptr<int> life_ = std::make_shared<int>(0);
};
