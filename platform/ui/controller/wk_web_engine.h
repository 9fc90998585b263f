// The page engine a web view may run on: it fetches, lays out, runs scripts and paints pages off
// screen, and tells the view what happens through the events the view hands it. A web view made
// while an engine factory is installed uses an engine; without one it shows pages as text.
// Engines belong to the main thread and call their events there.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/runtime/geometry.h"
#include "platform/runtime/value.h"

class CGImage;
enum class WKNavigationType;
enum class WKNavigationActionPolicy;

struct WKWebEngineEvents {
    // A navigation the engine is about to make; it waits for the answer, which may come later.
    std::function<void(const std::string& url, WKNavigationType type,
                       std::function<void(WKNavigationActionPolicy)> decision)>
        decide;
    std::function<void()> started;
    std::function<void()> committed;
    std::function<void()> finished;
    // The engine's own error text; `provisional` while nothing of the new page was shown yet.
    std::function<void(const std::string& reason, bool provisional)> failed;
    // Title, address, progress or history changed.
    std::function<void()> changed;
    // The page's focus moved: whether the focused element now takes typed text.
    std::function<void(bool takesText)> focused;
    // A new picture of the page, sized in pixels at the scale asked for by setViewport.
    std::function<void(std::shared_ptr<CGImage>)> painted;
};

class WKWebEngine {
public:
    virtual ~WKWebEngine() = default;

    virtual void loadURL(const std::string& url) = 0;
    virtual void loadHTML(const std::string& html, const std::string& baseURL) = 0;
    virtual void reload() = 0;
    virtual void goBack() = 0;
    virtual void goForward() = 0;
    virtual void stop() = 0;

    virtual std::string URL() const = 0;
    virtual std::string title() const = 0;
    virtual double progress() const = 0;
    virtual bool canGoBack() const = 0;
    virtual bool canGoForward() const = 0;

    // The answer (strings, numbers, booleans, null) or an error text; on the main thread, later.
    virtual void evaluateJavaScript(const std::string& script,
                                    std::function<void(const Value&, const std::string&)> completion) = 0;

    // The page area in points and the pixels per point it is painted at.
    virtual void setViewport(CGSize size, CGFloat scale) = 0;
    // Pointer input at points of the page area.
    virtual void tap(CGPoint point) = 0;
    virtual void scrollBy(CGPoint delta) = 0;
    // Keys for the focused field of the page.
    virtual void insertText(const std::string& text) = 0;
    virtual void deleteBackward() = 0;
    virtual void pressReturn() = 0;
};

using WKWebEngineFactory = std::function<std::unique_ptr<WKWebEngine>(WKWebEngineEvents events)>;
