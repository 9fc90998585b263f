// Parsing and checking the host's environment variables.
#include "platform/host/host_options.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace {

std::string homeDir(const HostOptions::Lookup& lookup) {
    const char* home = lookup("HOME");
    return home && *home ? home : "/tmp";
}

bool startsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

}  // namespace

bool isValidCameraSource(const std::string& s) {
    if (s == "synthetic" || s == "libcamera") return true;
    if (startsWith(s, "libcamera:")) return s.size() > 10;
    if (startsWith(s, "v4l2:")) return startsWith(s.substr(5), "/dev/video") && s.size() > 15;
    if (startsWith(s, "image:") || startsWith(s, "video:")) return s.size() > 6;
    return false;
}

HostOptions HostOptions::fromEnvironment() {
    return parse([](const char* name) { return std::getenv(name); });
}

HostOptions HostOptions::parse(const Lookup& lookup) {
    HostOptions o;
    auto get = [&](const char* name) -> std::string {
        const char* v = lookup(name);
        return v ? v : "";
    };

    std::string host = get("KORVA_HOST");
    if (host == "headless")
        o.kind = HostKind::Headless;
    else if (host.empty() || host == "window")
        o.kind = HostKind::Window;
    else
        o.warnings.push_back("KORVA_HOST=" + host + " is not window or headless; using window");

    std::string camera = get("KORVA_CAMERA");
    if (!camera.empty()) {
        if (isValidCameraSource(camera))
            o.camera = camera;
        else
            o.warnings.push_back("KORVA_CAMERA=" + camera + " is not a camera source; using synthetic");
    }

    std::string screen = get("KORVA_SCREEN");
    if (!screen.empty()) {
        std::string name = screen;
        auto colon = screen.find(':');
        if (colon != std::string::npos) {
            name = screen.substr(0, colon);
            std::string orientation = screen.substr(colon + 1);
            if (orientation == "landscape")
                o.landscape = true;
            else if (orientation != "portrait")
                o.warnings.push_back("KORVA_SCREEN orientation " + orientation + " is not portrait or landscape");
        }
        if (auto model = DeviceModel::named(name))
            o.screen = *model;
        else {
            std::string known;
            for (const auto& n : DeviceModel::names()) known += (known.empty() ? "" : ", ") + n;
            o.warnings.push_back("KORVA_SCREEN=" + screen + " is not a screen model (" + known + "); using " + o.screen.name);
        }
    }

    std::string time = get("KORVA_TIME");
    if (time == "virtual")
        o.time = HostTimeMode::Virtual;
    else if (!time.empty() && time != "real")
        o.warnings.push_back("KORVA_TIME=" + time + " is not real or virtual; using real");

    std::string data = get("KORVA_DATA_DIR");
    if (data.empty()) {
        std::string xdg = get("XDG_DATA_HOME");
        data = (xdg.empty() ? homeDir(lookup) + "/.local/share" : xdg) + "/korva";
    }
    o.dataDir = data;
    std::string library = get("KORVA_LIBRARY_DIR");
    if (library.empty()) {
        std::string pictures = get("XDG_PICTURES_DIR");
        library = (pictures.empty() ? homeDir(lookup) + "/Pictures" : pictures) + "/Korva";
    }
    o.libraryDir = library;
    return o;
}

std::string HostOptions::summary() const {
    char buf[96];
    std::snprintf(buf, sizeof buf, "%gx%g@%gx", landscape ? screen.portraitSize.height : screen.portraitSize.width,
                  landscape ? screen.portraitSize.width : screen.portraitSize.height, screen.scale);
    return std::string(kind == HostKind::Window ? "window" : "headless") + " host, screen " + screen.name +
           (landscape ? " (landscape) " : " ") + buf + ", camera " + camera + ", time " +
           (time == HostTimeMode::Virtual ? "virtual" : "real") + ", data " + dataDir + ", library " + libraryDir;
}
