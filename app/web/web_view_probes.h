// Page probes on the web view: each runs a small script in the page and hands the parsed answer
// to a completion on the main thread. Where scripts do not run, sizes, points and rectangles come
// back as zeros and the other answers as null. Main thread only.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/runtime/geometry.h"
#include "platform/runtime/value.h"

class WKWebView;

// The text as one script string literal in single quotes: quotes, backslashes, line breaks and
// "</" escaped, so no text can end the literal or the script element around it.
std::string scriptStringLiteral(std::string_view text);

// The scripts the probes send.
namespace probe_scripts {
std::string windowSize();
std::string scrollOffset();
std::string positionOfElementWithId(std::string_view elementId);
std::string tagsAtPosition(int x, int y);
std::string rectAtPosition(int x, int y);
std::string linkAtPosition(int x, int y);
std::string drawRectAtPosition(int x, int y);
std::string currentURL();
std::string noSelectable();
}  // namespace probe_scripts

// Answers as the probes read them; anything malformed reads as zeros.
CGSize probeSize(const Value& answer);
CGPoint probePoint(const Value& answer);
CGRect probeRect(const Value& answer);

void windowSize(WKWebView& web, std::function<void(CGSize)> completion);
void scrollOffset(WKWebView& web, std::function<void(CGPoint)> completion);
void positionOfElementWithId(WKWebView& web, std::string_view elementId, std::function<void(CGRect)> completion);
// Tag names from the element at the point up to the root, each after a comma.
void tagsAtPosition(WKWebView& web, int x, int y, std::function<void(const Value&)> completion);
void rectAtPosition(WKWebView& web, int x, int y, std::function<void(CGRect)> completion);
// The address of the link at the point; null when there is none.
void linkAtPosition(WKWebView& web, int x, int y, std::function<void(const Value&)> completion);
void drawRectAtPosition(WKWebView& web, int x, int y, std::function<void()> completion);
void currentURL(WKWebView& web, std::function<void(const Value&)> completion);
// Turns off text selection and the long-press callout on every element of the page.
void setNoSelectable(WKWebView& web);
