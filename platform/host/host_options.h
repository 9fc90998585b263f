// The host's options, read from the environment: which host, camera source, screen model,
// folders and time mode. Bad values are reported as warnings and replaced by the defaults.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/app/device_model.h"

enum class HostKind { Window, Headless };
enum class HostTimeMode { Real, Virtual };

// A fixed position for the device, in degrees and metres.
struct HostLocation {
    double latitude = 0, longitude = 0;
    std::optional<double> altitude;
};

struct HostOptions {
    HostKind kind = HostKind::Window;                  // KORVA_HOST=window|headless
    bool kindNamed = false;                            // KORVA_HOST was given (not the default)
    std::string camera = "synthetic";                  // KORVA_CAMERA
    DeviceModel screen = DeviceModel::defaultModel();  // KORVA_SCREEN=name[:landscape]
    bool landscape = false;
    std::string libraryDir;                  // KORVA_LIBRARY_DIR
    std::string dataDir;                     // KORVA_DATA_DIR
    HostTimeMode time = HostTimeMode::Real;  // KORVA_TIME=real|virtual
    // KORVA_LOCATION=lat,lon[,alt]; without it the desktop's location service gives the position
    // where it runs.
    std::optional<HostLocation> location;
    std::vector<std::string> warnings;

    using Lookup = std::function<const char*(const char*)>;
    static HostOptions fromEnvironment();
    // The same with a custom variable look-up (tests).
    static HostOptions parse(const Lookup& lookup);

    // One line saying what the options select.
    std::string summary() const;
};

// True for the camera sources the capture layer knows: synthetic, libcamera[:ID],
// v4l2:/dev/videoN, image:PATH, video:PATH; the synthetic and file sources may end in a frame
// size, "@WIDTHxHEIGHT".
bool isValidCameraSource(const std::string& source);
// A valid source whose frame size has a side longer than the preview can show, with the largest size
// of the same shape that it can instead; none for any other source.
std::optional<std::string> shownCameraSource(const std::string& source);
