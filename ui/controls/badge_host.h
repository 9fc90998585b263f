// A controller that carries the count badges of the animated buttons inside it on its own root
// view, so that a badge standing out of a bar is not cut off by the bar. Main-thread only.
#pragma once

class BadgeHostController {
public:
    virtual ~BadgeHostController() = default;
};
