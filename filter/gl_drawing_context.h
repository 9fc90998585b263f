// The drawing context a preview surface is drawn through: it must be made current before each
// draw, and that can fail (a context lost with its surface), in which case nothing is drawn.
#pragma once

#include <atomic>
#include <memory>

#include "platform/runtime/object.h"

class GLDrawingContext : public NSObject {
public:
    KORVA_MAKE(GLDrawingContext)

    // The API version the context was made for.
    int apiVersion() const { return apiVersion_; }
    // True when the context is usable; the current context is per drawing call, not global.
    bool makeCurrent() const { return !lost_.load(); }
    // A context whose surface went away refuses to become current.
    void setLost(bool lost) { lost_.store(lost); }
    bool isLost() const { return lost_.load(); }

    std::string className() const override { return "GLDrawingContext"; }

protected:
    explicit GLDrawingContext(int apiVersion = 2) : apiVersion_(apiVersion) {}

private:
    int apiVersion_;
    std::atomic<bool> lost_{false};
};

// setCurrentContext: of the platform; false for no context or one that cannot be made current.
inline bool setCurrentContext(const std::shared_ptr<GLDrawingContext>& context) {
    return context && context->makeCurrent();
}
