// korva_gallery OUT_DIR [SECTION...]: writes the PNG files of every section (or the named ones)
// into OUT_DIR/<section>/.
#include "tools/gallery/gallery.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "platform/dispatch/clock.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/view/ui_appearance.h"
#include "ui/ui_services.h"

GalleryPage::GalleryPage(std::string folder, const std::string& screen) : folder_(std::move(folder)) {
    HostOptions options = HostOptions::parse([&](const char* name) -> const char* {
        std::string key = name;
        if (key == "KORVA_HOST") return "headless";
        if (key == "KORVA_TIME") return "virtual";
        if (key == "KORVA_SCREEN") return screen.c_str();
        return nullptr;
    });
    for (const auto& w : options.warnings) std::fprintf(stderr, "korva_gallery: %s\n", w.c_str());
    // The pictures are taken on the virtual clock, whatever the drawing costs in real time.
    if (options.time == HostTimeMode::Virtual) Clock::useVirtual();
    host_ = std::make_unique<HeadlessHost>(options);
    std::filesystem::create_directories(folder_);
}

std::shared_ptr<UIWindow> GalleryPage::newWindow() {
    window_ = UIWindow::make();
    window_->makeKeyAndVisible();
    return window_;
}

void GalleryPage::step(double seconds) {
    host_->step(seconds);
}

void GalleryPage::shotScreen(const std::string& name) {
    host_->renderFrame();
    report(name, host_->writeScreenPNG(folder_ + "/" + name + ".png"));
}

void GalleryPage::shotView(const std::string& name, UIView& view) {
    report(name, host_->writeViewPNG(view, folder_ + "/" + name + ".png"));
}

void GalleryPage::report(const std::string& name, const Result<void>& written) {
    if (written.ok()) {
        std::printf("  %s/%s.png\n", folder_.c_str(), name.c_str());
    } else {
        ++failures_;
        std::fprintf(stderr, "korva_gallery: %s: %s\n", name.c_str(), written.error().c_str());
    }
}

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: korva_gallery OUT_DIR [SECTION...]\nsections:");
        for (const auto& s : gallerySections()) std::fprintf(stderr, " %s", s.name.c_str());
        std::fprintf(stderr, "\n");
        return 2;
    }
    // The program's services (fonts, colours, animations, glyphs), as the program registers them
    // at start, so that any section can run alone.
    registerUIServices();
    const std::string out = argv[1];
    std::vector<std::string> wanted(argv + 2, argv + argc);
    int failures = 0, drawn = 0;
    for (const auto& section : gallerySections()) {
        if (!wanted.empty() && std::find(wanted.begin(), wanted.end(), section.name) == wanted.end()) continue;
        std::printf("%s\n", section.name.c_str());
        // Each section starts from the toolkit's own styles, whatever the one before installed.
        UIAppearance::reset();
        GalleryPage page(out + "/" + section.name, section.screen);
        section.render(page);
        failures += page.failures();
        ++drawn;
    }
    if (drawn == 0) {
        std::fprintf(stderr, "korva_gallery: no section matches\n");
        return 2;
    }
    return failures == 0 ? 0 : 1;
}
