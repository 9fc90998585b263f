// How background sessions meet the application: whether it is in the background, and the
// hand-over of a background session that delivered all its events meanwhile. The application
// object installs the hooks; without them no session is ever seen in the background.
#pragma once

#include <functional>
#include <string>

struct URLSessionApplicationHooks {
    std::function<bool()> isInBackground;
    // The application hands the completion handler on to its delegate; calling it tells the
    // platform the application has finished with the session's events.
    std::function<void(const std::string& identifier, std::function<void()> completionHandler)>
        handleEventsForBackgroundURLSession;
};

// Setting and reading the hooks is thread-safe; sessions call them on their delegate queue (the
// main queue for every session the application makes).
void setURLSessionApplicationHooks(URLSessionApplicationHooks hooks);
URLSessionApplicationHooks urlSessionApplicationHooks();
