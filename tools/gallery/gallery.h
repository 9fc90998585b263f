// The gallery: renders views headless to PNG files, one folder per subject, so that a screen or a
// widget can be looked at, not only tested. Each subject is a section: a function that builds its
// views on a page and writes shots of them.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/host/headless_host.h"

class UIView;
class UIWindow;

class GalleryPage {
public:
    GalleryPage(std::string folder, const std::string& screen);

    // A fresh key window filling the screen (the previous one is dropped).
    std::shared_ptr<UIWindow> newWindow();
    // Lets time pass on the virtual clock: due timers and animations run, then a frame is drawn.
    void step(double seconds);
    // Writes <folder>/<name>.png of the whole screen, or of one view alone at the screen's scale.
    void shotScreen(const std::string& name);
    void shotView(const std::string& name, UIView& view);

    HeadlessHost& host() { return *host_; }
    const std::string& folder() const { return folder_; }
    int failures() const { return failures_; }

private:
    void report(const std::string& name, const Result<void>& written);

    std::string folder_;
    std::unique_ptr<HeadlessHost> host_;
    std::shared_ptr<UIWindow> window_;
    int failures_ = 0;
};

struct GallerySection {
    std::string name;
    // The device model the section is drawn on ("notched", "home-button", "tablet", ":landscape").
    std::string screen = "notched";
    std::function<void(GalleryPage&)> render;
};

// Every section, in the order they are drawn (sections.cpp).
std::vector<GallerySection> gallerySections();
