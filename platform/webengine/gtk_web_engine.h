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

    // Signal handlers (plain functions for the toolkit's C interface).
    struct Signals;

private:
    void sendButton(CGPoint point);
    void finishWithTitle();
    void ask(std::function<void()> request);
    void askAgainIfDropped();
    void failRefusedRedirect(unsigned load);

    WKWebEngineEvents events_;
    GtkWidget* window_ = nullptr;
    WebKitWebView* view_ = nullptr;
    CGFloat scale_ = 1;
    bool damaged_ = false;
    bool sized_ = false;
    bool committed_ = false;
    bool failed_ = false;
    unsigned load_ = 0;
    std::string title_;
    // The load last asked for, until the engine takes it up (asks whether to go, or starts).
    std::function<void()> asked_;
    // Outlives nothing: callbacks still in flight after the engine is gone find it expired.
    std::shared_ptr<int> life_ = std::make_shared<int>(0);
};
