// What the in-app web screen tells whoever opened it. Done is required; the page events are
// optional and do nothing unless overridden.
#pragma once

#include <string>

#include "platform/net/url_request.h"
#include "platform/ui/controller/wk_web_view.h"

class MyWebController;

class MyWebControllerDelegate {
public:
    virtual ~MyWebControllerDelegate() = default;
    virtual void onMyWebControllerDone(MyWebController& web) = 0;
    // Before every navigation is decided, whatever its type.
    virtual void onMyWebControllerWillNavigate(MyWebController& /*web*/, const NSURLRequest& /*request*/,
                                               WKNavigationType /*type*/) {}
    // With the web view's address at that moment.
    virtual void onMyWebControllerDidStartLoad(MyWebController& /*web*/, const std::string& /*url*/) {}
    virtual void onMyWebControllerDidFinishLoad(MyWebController& /*web*/, const std::string& /*url*/) {}
    // A navigation failed, before or after it committed; the reason is shown in the page.
    virtual void onMyWebControllerDidFailLoad(MyWebController& /*web*/, const std::string& /*reason*/) {}
};
