// The screen's framebuffer: lays out and draws the visible windows of a screen into one bitmap,
// and only when something changed since the last frame.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/runtime/result.h"
#include "platform/ui/app/damage_tracker.h"
#include "platform/ui/app/ui_screen.h"

class CGImage;
class UIWindow;

class Compositor {
public:
    explicit Compositor(std::shared_ptr<UIScreen> screen);
    ~Compositor();
    Compositor(const Compositor&) = delete;
    Compositor& operator=(const Compositor&) = delete;

    // Layout top-down, display of stale layers, then compositing of the screen's visible windows
    // (level order). Answers whether the framebuffer changed.
    bool update();
    // Composites the whole screen again at the next update.
    void invalidate() { forced_ = true; }
    // The device-pixel rectangles the last composite redrew.
    const std::vector<CGRect>& lastDamage() const { return lastDamage_; }

    int pixelWidth() const;
    int pixelHeight() const;
    // Rows top to bottom, premultiplied 32-bit pixels in native-endian ARGB order.
    const std::uint8_t* pixels() const;
    int stride() const;
    // Premultiplied RGBA of one pixel, for tests.
    std::uint32_t pixelAt(int x, int y) const;
    std::uint64_t frameCount() const { return frames_; }

    std::shared_ptr<CGImage> snapshot() const;
    Result<void> writePNG(const std::string& path) const;

    const std::shared_ptr<UIScreen>& screen() const { return screen_; }

private:
    struct Framebuffer;
    void ensureSize();
    std::vector<std::shared_ptr<UIWindow>> visibleWindows() const;

    std::shared_ptr<UIScreen> screen_;
    std::unique_ptr<Framebuffer> fb_;
    std::uint64_t lastGeneration_ = 0;
    std::uint64_t frames_ = 0;
    bool forced_ = true;
    DamageTracker damage_;
    std::vector<CGRect> lastDamage_;
};
