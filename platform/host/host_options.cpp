// Parsing and checking the host's environment variables.
#include "platform/host/host_options.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/capture/frame_size_limits.h"
#include "platform/image/engine/render_pool.h"
#include "platform/runtime/log.h"
#include "platform/runtime/permission_preset.h"

namespace {

std::string homeDir(const HostOptions::Lookup& lookup) {
    const char* home = lookup("HOME");
    return home && *home ? home : "/tmp";
}

bool startsWith(const std::string& s, const char* prefix) {
    return s.rfind(prefix, 0) == 0;
}

// "lat,lon[,alt]" with the latitude in -90...90 and the longitude in -180...180.
std::optional<HostLocation> parseLocation(const std::string& text) {
    std::vector<double> numbers;
    std::size_t start = 0;
    while (start <= text.size()) {
        auto comma = text.find(',', start);
        std::string part = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        char* end = nullptr;
        double v = std::strtod(part.c_str(), &end);
        if (part.empty() || !end || *end != '\0' || !std::isfinite(v)) return std::nullopt;
        numbers.push_back(v);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    if (numbers.size() < 2 || numbers.size() > 3) return std::nullopt;
    if (numbers[0] < -90 || numbers[0] > 90 || numbers[1] < -180 || numbers[1] > 180) return std::nullopt;
    HostLocation l{numbers[0], numbers[1], std::nullopt};
    if (numbers.size() == 3) l.altitude = numbers[2];
    return l;
}

// Variables read where they act, not by the host: a value they do not understand is named here,
// with what they use instead, so that a typing slip does not pass for a setting.
void checkVariablesReadElsewhere(const HostOptions::Lookup& lookup, std::vector<std::string>& warnings) {
    auto value = [&](const char* name) -> std::string {
        const char* v = lookup(name);
        return v ? v : "";
    };
    if (std::string log = value("KORVA_LOG"); !Log::isSetting(log))
        warnings.push_back("KORVA_LOG=" + log + " is not quiet, debug, info, warning or error; using info");
    std::string threads = value("KORVA_IMAGE_THREADS");
    if (auto choice = RenderPool::threadsFor(threads.c_str()); !choice.problem.empty())
        warnings.push_back("KORVA_IMAGE_THREADS=" + threads + " " + choice.problem);
    for (const char* name : {"KORVA_CAPTURE_AUTH", "KORVA_LOCATION_AUTH", "KORVA_PHOTOS_AUTH"})
        if (std::string word = value(name); !isPermissionPresetWord(word))
            warnings.push_back(std::string(name) + "=" + word +
                               " is not notDetermined, denied or restricted; granted, as when unset");
}

struct FrameSizeSuffix {
    std::size_t at = 0;  // where the "@" stands
    CMVideoDimensions size;
};

// The frame size a synthetic or file source ends in, "@WIDTHxHEIGHT" with sides in 1...16384.
std::optional<FrameSizeSuffix> frameSizeSuffix(const std::string& source) {
    auto at = source.rfind('@');
    if (at == std::string::npos ||
        !(startsWith(source, "synthetic@") || startsWith(source, "image:") || startsWith(source, "video:")))
        return std::nullopt;
    auto size = source.substr(at + 1);
    auto x = size.find('x');
    auto number = [](const std::string& n) -> std::optional<int> {
        if (n.empty() || n.size() > 5 || n.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
        int v = std::stoi(n);
        return v >= 1 && v <= 16384 ? std::optional(v) : std::nullopt;
    };
    if (x == std::string::npos) return std::nullopt;
    auto w = number(size.substr(0, x)), h = number(size.substr(x + 1));
    if (!w || !h) return std::nullopt;
    return FrameSizeSuffix{at, {*w, *h}};
}

}  // namespace

bool isValidCameraSource(const std::string& source) {
    std::string s = source;
    if (auto suffix = frameSizeSuffix(s)) s.resize(suffix->at);
    if (s == "synthetic" || s == "libcamera") return true;
    if (startsWith(s, "libcamera:")) return s.size() > 10;
    if (startsWith(s, "v4l2:")) return startsWith(s.substr(5), "/dev/video") && s.size() > 15;
    if (startsWith(s, "image:") || startsWith(s, "video:")) return s.size() > 6;
    return false;
}

std::optional<std::string> shownCameraSource(const std::string& source) {
    auto suffix = frameSizeSuffix(source);
    if (!suffix) return std::nullopt;
    auto shown = shownFrameSize(suffix->size);
    if (!shown) return std::nullopt;
    return source.substr(0, suffix->at) + "@" + frameSizeText(*shown);
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
    o.kindNamed = host == "window" || host == "headless";

    std::string camera = get("KORVA_CAMERA");
    if (!camera.empty()) {
        if (!isValidCameraSource(camera))
            o.warnings.push_back("KORVA_CAMERA=" + camera + " is not a camera source; using synthetic");
        else if (auto shown = shownCameraSource(camera)) {
            o.warnings.push_back("KORVA_CAMERA=" + camera + " has frames larger than the preview can show (" +
                                 std::to_string(kLargestShownFrameSide) + " pixels on a side at most); using " +
                                 *shown);
            o.camera = *shown;
        } else
            o.camera = camera;
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
                o.warnings.push_back("KORVA_SCREEN=" + screen + ": the orientation " + orientation +
                                     " is not portrait or landscape; using portrait");
        }
        if (auto model = DeviceModel::named(name))
            o.screen = *model;
        else {
            std::string known;
            for (const auto& n : DeviceModel::names()) known += (known.empty() ? "" : ", ") + n;
            o.warnings.push_back("KORVA_SCREEN=" + screen + " is not a screen model (" + known + "); using " +
                                 o.screen.name);
        }
    }

    std::string time = get("KORVA_TIME");
    if (time == "virtual")
        o.time = HostTimeMode::Virtual;
    else if (!time.empty() && time != "real")
        o.warnings.push_back("KORVA_TIME=" + time + " is not real or virtual; using real");

    std::string location = get("KORVA_LOCATION");
    if (!location.empty()) {
        o.location = parseLocation(location);
        if (!o.location)
            o.warnings.push_back("KORVA_LOCATION=" + location +
                                 " is not latitude,longitude[,altitude] in degrees and metres; using the desktop's "
                                 "location service where it runs, as when unset");
    }

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
    checkVariablesReadElsewhere(lookup, o.warnings);
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
