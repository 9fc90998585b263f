// CLLocationManager: permission, position updates and a delegate, fed by the host's position.
//
// The host (or a test) sets where the device is with setDevicePosition; while updates run, each
// new position that moved at least the distance filter reaches the delegate on the main queue.
// Permission starts as when-in-use unless KORVA_LOCATION_AUTH says "notDetermined", "denied" or
// "restricted", or the host found no source of positions (see setPositionSource); tests set it
// and the answer a request gets. Main thread only, except the static
// host controls, which are thread-safe.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/runtime/error.h"
#include "platform/sensors/cl_location.h"

class CLLocationManager;

// Where the device's position comes from, as the host chooses it at start: a test or tool sets
// it (the default), a fixed position the host was given, the desktop's location service, or
// nothing at all.
enum class CLPositionSource { Scripted, Fixed, Desktop, None };

class CLLocationManagerDelegate {
public:
    virtual ~CLLocationManagerDelegate() = default;
    virtual void didUpdateLocations(const std::shared_ptr<CLLocationManager>&,
                                    const std::vector<std::shared_ptr<CLLocation>>& locations) {
        (void)locations;
    }
    virtual void didFailWithError(const std::shared_ptr<CLLocationManager>&, const std::shared_ptr<NSError>& error) {
        (void)error;
    }
    virtual void didChangeAuthorizationStatus(const std::shared_ptr<CLLocationManager>&, CLAuthorizationStatus status) {
        (void)status;
    }
};

class CLLocationManager : public NSObject {
public:
    KORVA_MAKE(CLLocationManager)
    ~CLLocationManager() override;
    void init() override;

    // Host controls.
    static void setDevicePosition(std::shared_ptr<CLLocation> location);  // null: no fix available
    static std::shared_ptr<CLLocation> devicePosition();
    static void setAuthorizationStatus(CLAuthorizationStatus status);
    static void setAuthorizationAnswer(CLAuthorizationStatus answer);
    static void resetForTesting();
    // With no source a request for permission is answered "denied" (unless KORVA_LOCATION_AUTH
    // presets the status): there is nothing to grant. The other sources leave permission as it is.
    static void setPositionSource(CLPositionSource source);
    static CLPositionSource positionSource();
    // Called on the starting thread each time a manager starts updating: a source that could not
    // start yet (a bus late to answer) is asked again there. None by default.
    static void setPositionWanted(std::function<void()> wanted);

    static CLAuthorizationStatus authorizationStatus();
    static bool locationServicesEnabled() { return true; }

    std::shared_ptr<CLLocationManagerDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<CLLocationManagerDelegate> delegate) { delegate_ = std::move(delegate); }
    CLLocationAccuracy desiredAccuracy() const { return desiredAccuracy_; }
    void setDesiredAccuracy(CLLocationAccuracy a) { desiredAccuracy_ = a; }
    CLLocationDistance distanceFilter() const { return distanceFilter_; }
    void setDistanceFilter(CLLocationDistance d) { distanceFilter_ = d; }

    // Asks while not determined; the delegate hears the new status on the main queue.
    void requestWhenInUseAuthorization();
    void requestAlwaysAuthorization();
    // Without permission the delegate gets kCLErrorDenied; with it, the current position (when
    // there is one) and every later one.
    void startUpdatingLocation();
    void stopUpdatingLocation();
    bool isUpdating() const { return updating_; }
    // The last fix this manager delivered.
    std::shared_ptr<CLLocation> location() const { return last_; }

    std::string className() const override { return "CLLocationManager"; }

protected:
    CLLocationManager() = default;

private:
    void request(CLAuthorizationStatus wanted);
    void deliver(const std::shared_ptr<CLLocation>& location);
    static void positionChanged();

    std::weak_ptr<CLLocationManagerDelegate> delegate_;
    CLLocationAccuracy desiredAccuracy_ = kCLLocationAccuracyBest;
    CLLocationDistance distanceFilter_ = kCLDistanceFilterNone;
    bool updating_ = false;
    std::shared_ptr<CLLocation> last_;
};
