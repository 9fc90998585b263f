// A GeoClue client through GIO's D-Bus calls, run by a GLib main loop on a thread of its own.
#include "platform/sensors/desktop_location.h"

#include <gio/gio.h>

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <future>
#include <mutex>
#include <optional>
#include <thread>

#include "platform/dispatch/clock.h"
#include "platform/dispatch/program_threads.h"
#include "platform/runtime/log.h"
#include "platform/sensors/cl_location_manager.h"

namespace {

constexpr const char* kService = "org.freedesktop.GeoClue2";
constexpr const char* kManagerPath = "/org/freedesktop/GeoClue2/Manager";
constexpr const char* kManagerInterface = "org.freedesktop.GeoClue2.Manager";
constexpr const char* kClientInterface = "org.freedesktop.GeoClue2.Client";
constexpr const char* kLocationInterface = "org.freedesktop.GeoClue2.Location";
constexpr int kCallTimeoutMs = 1000;
constexpr int kConnectTimeoutMs = 1000;
constexpr unsigned kAccuracyExact = 8;

// What went wrong, and whether it was only an answer that did not come in time (a bus or service
// too busy to answer yet), when asking again later may well succeed.
struct Problem {
    std::string text;
    bool late = false;
};

bool timedOut(const GError* error) {
    return g_error_matches(error, G_IO_ERROR, G_IO_ERROR_TIMED_OUT) ||
           g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_NO_REPLY) ||
           g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_TIMEOUT) ||
           g_error_matches(error, G_DBUS_ERROR, G_DBUS_ERROR_TIMED_OUT);
}

Problem takeError(GError*& error) {
    Problem problem{error ? error->message : "unknown error", error && timedOut(error)};
    g_clear_error(&error);
    return problem;
}

// One call that answers with the given type; none (and the reason) on failure.
GVariant* call(GDBusConnection* bus, const char* path, const char* interface, const char* method, GVariant* args,
               const char* replyType, Problem& problem) {
    GError* error = nullptr;
    GVariant* reply = g_dbus_connection_call_sync(bus, kService, path, interface, method, args,
                                                  replyType ? G_VARIANT_TYPE(replyType) : nullptr,
                                                  G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs, nullptr, &error);
    if (!reply) {
        problem = takeError(error);
        problem.text = std::string(method) + ": " + problem.text;
    }
    return reply;
}

bool setProperty(GDBusConnection* bus, const std::string& path, const char* name, GVariant* value, Problem& problem) {
    GVariant* reply = call(bus, path.c_str(), "org.freedesktop.DBus.Properties", "Set",
                           g_variant_new("(ssv)", kClientInterface, name, value), nullptr, problem);
    if (reply) g_variant_unref(reply);
    return reply != nullptr;
}

double doubleIn(GVariant* dict, const char* key, double fallback) {
    double value = fallback;
    g_variant_lookup(dict, key, "d", &value);
    return value;
}

struct Client {
    std::mutex mutex;
    bool started = false;
    GMainContext* context = nullptr;
    GMainLoop* loop = nullptr;
    std::thread thread;

    // Quits the loop and joins its thread; the caller holds the mutex.
    void stopLocked() {
        if (!started) return;
        g_main_loop_quit(loop);
        thread.join();
        g_main_loop_unref(loop);
        g_main_context_unref(context);
        loop = nullptr;
        context = nullptr;
        started = false;
    }
    // The program's exit should have stopped the client (stopDeviceServices); should it not
    // have, the thread is still joined rather than left running into the end of the process.
    ~Client() { stopLocked(); }
};

Client& client() {
    static Client c;
    return c;
}

void onLocationUpdated(GDBusConnection* bus, const gchar*, const gchar*, const gchar*, const gchar*,
                       GVariant* parameters, gpointer) {
    const gchar* oldPath = nullptr;
    const gchar* newPath = nullptr;
    g_variant_get(parameters, "(&o&o)", &oldPath, &newPath);
    Problem problem;
    GVariant* reply = call(bus, newPath, "org.freedesktop.DBus.Properties", "GetAll",
                           g_variant_new("(s)", kLocationInterface), "(a{sv})", problem);
    if (!reply) {
        Log::warning("location", "cannot read the desktop's position: " + problem.text);
        return;
    }
    GVariant* props = g_variant_get_child_value(reply, 0);
    CLLocation::Fields f;
    // A missing coordinate is no position at all.
    f.coordinate = {doubleIn(props, "Latitude", NAN), doubleIn(props, "Longitude", NAN)};
    const double altitude = doubleIn(props, "Altitude", -HUGE_VAL);
    f.horizontalAccuracy = doubleIn(props, "Accuracy", 100);
    f.speed = doubleIn(props, "Speed", -1);
    f.course = doubleIn(props, "Heading", -1);
    f.timestamp = Clock::absoluteTime();
    g_variant_unref(props);
    g_variant_unref(reply);
    // A fix off the globe, or with a value that is no finite number, says nothing of where the device
    // is and would be written into photos as it is: it is dropped, and the last good one stays.
    // (The range test also fails a coordinate that is no number.)
    if (!CLLocationCoordinate2DIsValid(f.coordinate) || !std::isfinite(f.horizontalAccuracy) ||
        !std::isfinite(f.speed) || !std::isfinite(f.course)) {
        Log::warning("location", "dropping a position the desktop's service gave off the globe or not as numbers");
        return;
    }
    // The service reports an unknown altitude as a very large negative number; one that is no
    // finite number is unknown too. The fix is kept without it.
    const bool knownAltitude = std::isfinite(altitude) && altitude > -1e6;
    f.altitude = knownAltitude ? altitude : 0;
    f.verticalAccuracy = knownAltitude ? f.horizontalAccuracy : -1;
    CLLocationManager::setDevicePosition(CLLocation::make(f));
}

// The client's set-up on the bus: a client object, its settings, the update signal and Start. None
// when it started.
std::optional<Problem> startClient(GDBusConnection* bus, const std::string& desktopId) {
    Problem problem;
    GVariant* reply = call(bus, kManagerPath, kManagerInterface, "GetClient", nullptr, "(o)", problem);
    if (!reply) return problem;
    const gchar* pathText = nullptr;
    g_variant_get(reply, "(&o)", &pathText);
    std::string path = pathText;
    g_variant_unref(reply);
    if (!setProperty(bus, path, "DesktopId", g_variant_new_string(desktopId.c_str()), problem) ||
        !setProperty(bus, path, "DistanceThreshold", g_variant_new_uint32(0), problem) ||
        !setProperty(bus, path, "RequestedAccuracyLevel", g_variant_new_uint32(kAccuracyExact), problem))
        return problem;
    g_dbus_connection_signal_subscribe(bus, kService, kClientInterface, "LocationUpdated", path.c_str(), nullptr,
                                       G_DBUS_SIGNAL_FLAGS_NONE, onLocationUpdated, nullptr, nullptr);
    reply = call(bus, path.c_str(), kClientInterface, "Start", nullptr, nullptr, problem);
    if (!reply) return problem;
    g_variant_unref(reply);
    return std::nullopt;
}

// A connection to the system bus of our own, given up after kConnectTimeoutMs: a bus that takes the
// connection and never answers would otherwise hold the start for ever. The attempt runs on a
// thread that is cancelled and left to finish by itself when it takes too long.
GDBusConnection* systemBus(Problem& problem) {
    GError* error = nullptr;
    gchar* address = g_dbus_address_get_for_bus_sync(G_BUS_TYPE_SYSTEM, nullptr, &error);
    if (!address) {
        problem = takeError(error);
        return nullptr;
    }
    struct Attempt {
        std::mutex mutex;
        std::condition_variable finished;
        bool done = false;
        bool abandoned = false;
        GDBusConnection* bus = nullptr;
        Problem problem;
        GCancellable* cancel = g_cancellable_new();
        ~Attempt() { g_object_unref(cancel); }
    };
    auto attempt = std::make_shared<Attempt>();
    // At the process's exit the attempt is cancelled, so its thread ends and is joined.
    ProgramThreads::start(
        [attempt, address = std::string(address)](const ProgramThreads::Stop&) {
            GError* failure = nullptr;
            GDBusConnection* bus = g_dbus_connection_new_for_address_sync(
                address.c_str(),
                GDBusConnectionFlags(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                     G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
                nullptr, attempt->cancel, &failure);
            std::lock_guard lock(attempt->mutex);
            if (attempt->abandoned) {
                if (bus) g_object_unref(bus);
                g_clear_error(&failure);
                return;
            }
            attempt->bus = bus;
            if (!bus) attempt->problem = takeError(failure);
            attempt->done = true;
            attempt->finished.notify_all();
        },
        ProgramThreads::AtExit::Stop, [attempt] { g_cancellable_cancel(attempt->cancel); });
    g_free(address);
    std::unique_lock lock(attempt->mutex);
    if (!attempt->finished.wait_for(lock, std::chrono::milliseconds(kConnectTimeoutMs),
                                    [&] { return attempt->done; })) {
        attempt->abandoned = true;
        g_cancellable_cancel(attempt->cancel);
        problem = {"the system bus did not answer within " + std::to_string(kConnectTimeoutMs) + " ms", true};
        return nullptr;
    }
    if (!attempt->bus) problem = attempt->problem;
    return attempt->bus;
}

}  // namespace

DesktopLocation::Presence DesktopLocation::presence() {
    Problem problem;
    GDBusConnection* bus = systemBus(problem);
    if (!bus) return problem.late ? Presence::Late : Presence::Absent;
    bool late = false;
    auto ask = [&](const char* method, GVariant* args, const char* type) {
        GError* error = nullptr;
        GVariant* reply = g_dbus_connection_call_sync(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                                                      "org.freedesktop.DBus", method, args, G_VARIANT_TYPE(type),
                                                      G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs, nullptr, &error);
        if (!reply) late = late || takeError(error).late;
        return reply;
    };
    bool found = false;
    if (GVariant* owner = ask("NameHasOwner", g_variant_new("(s)", kService), "(b)")) {
        gboolean has = FALSE;
        g_variant_get(owner, "(b)", &has);
        found = has;
        g_variant_unref(owner);
    }
    if (!found)
        if (GVariant* names = ask("ListActivatableNames", nullptr, "(as)")) {
            GVariantIter* iter = nullptr;
            const gchar* name = nullptr;
            g_variant_get(names, "(as)", &iter);
            while (!found && g_variant_iter_loop(iter, "&s", &name)) found = g_strcmp0(name, kService) == 0;
            g_variant_iter_free(iter);
            g_variant_unref(names);
        }
    g_object_unref(bus);
    if (found) return Presence::Present;
    return late ? Presence::Late : Presence::Absent;
}

Result<void> DesktopLocation::start(const std::string& desktopId, bool* late) {
    if (late) *late = false;
    Client& c = client();
    std::lock_guard lock(c.mutex);
    if (c.started) return {};
    Problem problem;
    GDBusConnection* bus = systemBus(problem);
    if (!bus) {
        if (late) *late = problem.late;
        return fail("no system bus: " + problem.text);
    }
    c.context = g_main_context_new();
    c.loop = g_main_loop_new(c.context, FALSE);
    // Signals are delivered to the context that was the thread's default when subscribing, so the
    // client is set up on its own thread.
    std::promise<std::optional<Problem>> ready;
    auto answer = ready.get_future();
    c.thread = std::thread([&c, bus, desktopId, &ready] {
        g_main_context_push_thread_default(c.context);
        auto refused = startClient(bus, desktopId);
        bool ok = !refused;
        ready.set_value(std::move(refused));
        if (ok) g_main_loop_run(c.loop);
        g_main_context_pop_thread_default(c.context);
        g_object_unref(bus);
    });
    auto refused = answer.get();
    if (refused) {
        c.thread.join();
        g_main_loop_unref(c.loop);
        g_main_context_unref(c.context);
        c.loop = nullptr;
        c.context = nullptr;
        if (late) *late = refused->late;
        return fail(std::string(refused->late ? "the desktop's location service did not answer: "
                                              : "the desktop's location service refused: ") +
                    refused->text);
    }
    c.started = true;
    return {};
}

bool DesktopLocation::running() {
    Client& c = client();
    std::lock_guard lock(c.mutex);
    return c.started;
}

void DesktopLocation::stop() {
    endRetries();
    Client& c = client();
    std::lock_guard lock(c.mutex);
    c.stopLocked();
}
