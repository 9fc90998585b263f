// Page probes: the scripts and the reading of their answers.
#include "app/web/web_view_probes.h"

#include <cstdio>

#include "platform/ui/controller/wk_web_view.h"
#include "platform/ui/view/ui_geometry_strings.h"

namespace {

// The body's scroll offsets added to a point of the web view.
constexpr const char* kPointPrelude = "var sx=document.body.scrollLeft,sy=document.body.scrollTop;";

std::string withPoint(const std::string& body, int x, int y) {
    return "(function (x,y){" + std::string(kPointPrelude) + body + "})(" + std::to_string(x) + "," +
           std::to_string(y) + ")";
}

std::string text(const Value& answer) {
    return answer.isString() ? answer.stringValue() : std::string();
}

// Runs the script and hands the answer, read by `read`, to the completion; the error is ignored.
template <class Answer, class Read>
void ask(WKWebView& web, const std::string& script, std::function<void(Answer)> completion, Read read) {
    web.evaluateJavaScript(script, [completion = std::move(completion), read](const Value& answer, const std::string&) {
        if (completion) completion(read(answer));
    });
}

const Value& same(const Value& answer) {
    return answer;
}

// A text that holds exactly `count` numbers in the geometry form; anything else reads as none.
bool holdsNumbers(const std::string& s, std::size_t count) {
    if (s.empty() || s.front() != '{' || s.back() != '}') return false;
    CGFloat values[5];
    return readGeometryNumbers(s, values, count + 1) == count;
}

}  // namespace

std::string scriptStringLiteral(std::string_view raw) {
    std::string out = "'";
    for (std::size_t i = 0; i < raw.size(); ++i) {
        char c = raw[i];
        switch (c) {
            case '\'': out += "\\'"; break;
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '<':
                out += i + 1 < raw.size() && raw[i + 1] == '/' ? "<\\/" : "<";
                if (i + 1 < raw.size() && raw[i + 1] == '/') ++i;
                break;
            default:
                // The two line separators of the script language end a literal too.
                if (raw.substr(i, 3) == "\xE2\x80\xA8" || raw.substr(i, 3) == "\xE2\x80\xA9") {
                    out += raw[i + 2] == '\xA8' ? "\\u2028" : "\\u2029";
                    i += 2;
                } else {
                    out += c;
                }
        }
    }
    return out + "'";
}

namespace probe_scripts {
std::string windowSize() {
    return "(function (){return '{'+window.innerWidth+','+window.innerHeight+'}';})()";
}
std::string scrollOffset() {
    return "(function (){return '{'+window.pageXOffset+','+window.pageYOffset+'}';})()";
}
std::string positionOfElementWithId(std::string_view elementId) {
    return "(function (){ var r = document.getElementById(" + scriptStringLiteral(elementId) +
           ").getBoundingClientRect(); return '{{'+r.left+','+r.top+'},{'+r.width+','+r.height+'}}'; })()";
}
std::string tagsAtPosition(int x, int y) {
    return withPoint(
        "var tags = ',';var e = document.elementFromPoint(sx+x,sy+y);while (e) {if (e.tagName) {tags += "
        "e.tagName + ',';}e = e.parentNode;}return tags;",
        x, y);
}
std::string rectAtPosition(int x, int y) {
    return withPoint(
        "var a=document.elementFromPoint(sx+x,sy+y);var r=a.getBoundingClientRect();return "
        "'{{'+r.left+','+r.top+'},{'+(r.right-r.left)+','+(r.bottom-r.top)+'}}'",
        x, y);
}
std::string linkAtPosition(int x, int y) {
    return withPoint(
        "var e=document.elementFromPoint(sx+x,sy+y);while (e) {if (e.tagName && "
        "e.tagName.toLowerCase()=='a') {return e.href;}e=e.parentNode;}return null;",
        x, y);
}
std::string drawRectAtPosition(int x, int y) {
    return "(function (x,y,r){" + std::string(kPointPrelude) +
           "var d = document.createElement('div');d.innerText='hi there!!!!!';d.style.position='absolute';"
           "d.style.backgroundColor='black';d.style.left=sx+x-r/2;d.style.top=sy+y-r/2;d.style.width=r;"
           "d.style.height=r;d.style.zIndex=999;document.body.appendChild(d);})(" +
           std::to_string(x) + "," + std::to_string(y) + ",2000)";
}
std::string currentURL() {
    return "(function (){return window.location.href;})()";
}
std::string noSelectable() {
    return "var css = '*{-webkit-touch-callout:none;-webkit-user-select:none}'; var head = document.head || "
           "document.getElementsByTagName('head')[0]; var style = document.createElement('style'); style.type = "
           "'text/css'; style.appendChild(document.createTextNode(css)); head.appendChild(style);";
}
}  // namespace probe_scripts

CGSize probeSize(const Value& answer) {
    std::string s = text(answer);
    return holdsNumbers(s, 2) ? CGSizeFromString(s) : CGSizeZero;
}

CGPoint probePoint(const Value& answer) {
    std::string s = text(answer);
    return holdsNumbers(s, 2) ? CGPointFromString(s) : CGPointZero;
}

CGRect probeRect(const Value& answer) {
    std::string s = text(answer);
    return holdsNumbers(s, 4) ? CGRectFromString(s) : CGRectZero;
}

void windowSize(WKWebView& web, std::function<void(CGSize)> completion) {
    ask(web, probe_scripts::windowSize(), std::move(completion), probeSize);
}

void scrollOffset(WKWebView& web, std::function<void(CGPoint)> completion) {
    ask(web, probe_scripts::scrollOffset(), std::move(completion), probePoint);
}

void positionOfElementWithId(WKWebView& web, std::string_view elementId, std::function<void(CGRect)> completion) {
    ask(web, probe_scripts::positionOfElementWithId(elementId), std::move(completion), probeRect);
}

void tagsAtPosition(WKWebView& web, int x, int y, std::function<void(const Value&)> completion) {
    ask(web, probe_scripts::tagsAtPosition(x, y), std::move(completion), same);
}

void rectAtPosition(WKWebView& web, int x, int y, std::function<void(CGRect)> completion) {
    ask(web, probe_scripts::rectAtPosition(x, y), std::move(completion), probeRect);
}

void linkAtPosition(WKWebView& web, int x, int y, std::function<void(const Value&)> completion) {
    ask(web, probe_scripts::linkAtPosition(x, y), std::move(completion), same);
}

void drawRectAtPosition(WKWebView& web, int x, int y, std::function<void()> completion) {
    web.evaluateJavaScript(probe_scripts::drawRectAtPosition(x, y),
                           [completion = std::move(completion)](const Value&, const std::string&) {
                               if (completion) completion();
                           });
}

void currentURL(WKWebView& web, std::function<void(const Value&)> completion) {
    ask(web, probe_scripts::currentURL(), std::move(completion), same);
}

void setNoSelectable(WKWebView& web) {
    web.evaluateJavaScript(probe_scripts::noSelectable(), [](const Value&, const std::string&) {});
}
