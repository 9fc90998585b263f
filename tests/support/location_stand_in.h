// A stand-in for the desktop's location service on a private message bus of the test's own: the
// bus daemon is started by the test, the service answers on a thread of the test process, and
// every client update reads back the position set in it (60.17, 24.94, 12 m, 20 m accurate unless
// the test says otherwise).
#pragma once

#include <gio/gio.h>
#include <signal.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <mutex>
#include <string>
#include <thread>

namespace testsupport {

constexpr const char* kIntrospection = R"(<node>
  <interface name="org.freedesktop.GeoClue2.Manager">
    <method name="GetClient"><arg type="o" direction="out"/></method>
  </interface>
  <interface name="org.freedesktop.GeoClue2.Client">
    <method name="Start"/>
    <method name="Stop"/>
    <property name="DesktopId" type="s" access="readwrite"/>
    <property name="DistanceThreshold" type="u" access="readwrite"/>
    <property name="RequestedAccuracyLevel" type="u" access="readwrite"/>
    <signal name="LocationUpdated"><arg type="o"/><arg type="o"/></signal>
  </interface>
  <interface name="org.freedesktop.GeoClue2.Location">
    <property name="Latitude" type="d" access="read"/>
    <property name="Longitude" type="d" access="read"/>
    <property name="Altitude" type="d" access="read"/>
    <property name="Accuracy" type="d" access="read"/>
  </interface>
</node>)";
constexpr const char* kClientPath = "/org/freedesktop/GeoClue2/Client/1";
constexpr const char* kLocationPath = "/org/freedesktop/GeoClue2/Location/1";

// A message bus of the test's own, and a stand-in location service on it, run on a thread.
struct LocationStandIn {
    std::string address;
    int daemonPid = 0;
    GMainContext* context = nullptr;
    GMainLoop* loop = nullptr;
    std::thread thread;
    std::string desktopId;  // written by the service's thread, read after the client started
    // The position every update reads back; set from the test's thread at any time.
    std::atomic<double> latitude{60.17}, longitude{24.94}, altitude{12};
    // How many times a client read the position, told as it happens.
    std::mutex readsMutex;
    std::condition_variable readsChanged;
    int reads = 0;

    // Waits until the position was read `count` times in all; false should that take more than
    // half a minute (the road from the client is broken).
    bool waitForReads(int count) {
        std::unique_lock lock(readsMutex);
        return readsChanged.wait_for(lock, std::chrono::seconds(30), [&] { return reads >= count; });
    }
    int readCount() {
        std::lock_guard lock(readsMutex);
        return reads;
    }

    // The bus daemon stops answering, as a bus busy with a login does: connections are still taken
    // (by the kernel) and wait; `answer` lets it go on.
    void stall() {
        if (daemonPid > 0) kill(daemonPid, SIGSTOP);
    }
    void answer() {
        if (daemonPid > 0) kill(daemonPid, SIGCONT);
    }

    bool startBus() {
        FILE* out = popen("dbus-daemon --session --fork --print-address=1 --print-pid=1", "r");
        if (!out) return false;
        char line[512] = {};
        if (std::fgets(line, sizeof line, out)) address = line;
        if (std::fgets(line, sizeof line, out)) daemonPid = std::atoi(line);
        pclose(out);
        while (!address.empty() && (address.back() == '\n' || address.back() == '\r')) address.pop_back();
        return !address.empty() && daemonPid > 0;
    }

    static void onCall(GDBusConnection* bus, const gchar*, const gchar*, const gchar* interface, const gchar* method,
                       GVariant*, GDBusMethodInvocation* invocation, gpointer) {
        if (g_strcmp0(method, "GetClient") == 0) {
            g_dbus_method_invocation_return_value(invocation, g_variant_new("(o)", kClientPath));
            return;
        }
        g_dbus_method_invocation_return_value(invocation, nullptr);
        if (g_strcmp0(method, "Start") == 0)
            g_dbus_connection_emit_signal(bus, nullptr, kClientPath, interface, "LocationUpdated",
                                          g_variant_new("(oo)", "/", kLocationPath), nullptr);
    }
    static GVariant* onGet(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* name, GError**,
                           gpointer self) {
        auto* me = static_cast<LocationStandIn*>(self);
        if (g_strcmp0(name, "Latitude") == 0) return g_variant_new_double(me->latitude);
        if (g_strcmp0(name, "Longitude") == 0) return g_variant_new_double(me->longitude);
        if (g_strcmp0(name, "Altitude") == 0) return g_variant_new_double(me->altitude);
        if (g_strcmp0(name, "Accuracy") == 0) {
            // The last of the position's properties a read asks for.
            {
                std::lock_guard lock(me->readsMutex);
                ++me->reads;
            }
            me->readsChanged.notify_all();
            return g_variant_new_double(20);
        }
        if (g_strcmp0(name, "DesktopId") == 0) return g_variant_new_string(me->desktopId.c_str());
        return g_variant_new_uint32(0);
    }
    static gboolean onSet(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* name,
                          GVariant* value, GError**, gpointer self) {
        if (g_strcmp0(name, "DesktopId") == 0)
            static_cast<LocationStandIn*>(self)->desktopId = g_variant_get_string(value, nullptr);
        return TRUE;
    }

    bool startService() {
        context = g_main_context_new();
        loop = g_main_loop_new(context, FALSE);
        std::promise<bool> ready;
        auto answer = ready.get_future();
        thread = std::thread([this, &ready] {
            g_main_context_push_thread_default(context);
            GError* error = nullptr;
            GDBusConnection* bus = g_dbus_connection_new_for_address_sync(
                address.c_str(),
                GDBusConnectionFlags(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                     G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
                nullptr, nullptr, &error);
            GDBusNodeInfo* node = bus ? g_dbus_node_info_new_for_xml(kIntrospection, &error) : nullptr;
            bool ok = node != nullptr;
            static const GDBusInterfaceVTable vtable{onCall, onGet, onSet, {}};
            if (ok) {
                g_dbus_connection_register_object(bus, "/org/freedesktop/GeoClue2/Manager", node->interfaces[0],
                                                  &vtable, this, nullptr, nullptr);
                g_dbus_connection_register_object(bus, kClientPath, node->interfaces[1], &vtable, this, nullptr,
                                                  nullptr);
                g_dbus_connection_register_object(bus, kLocationPath, node->interfaces[2], &vtable, this, nullptr,
                                                  nullptr);
                GVariant* owned = g_dbus_connection_call_sync(
                    bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "RequestName",
                    g_variant_new("(su)", "org.freedesktop.GeoClue2", 0u), G_VARIANT_TYPE("(u)"),
                    G_DBUS_CALL_FLAGS_NONE, 2000, nullptr, &error);
                ok = owned != nullptr;
                if (owned) g_variant_unref(owned);
            }
            g_clear_error(&error);
            ready.set_value(ok);
            if (ok) g_main_loop_run(loop);
            if (node) g_dbus_node_info_unref(node);
            if (bus) g_object_unref(bus);
            g_main_context_pop_thread_default(context);
        });
        return answer.get();
    }

    ~LocationStandIn() {
        if (loop) g_main_loop_quit(loop);
        if (thread.joinable()) thread.join();
        if (loop) g_main_loop_unref(loop);
        if (context) g_main_context_unref(context);
        if (daemonPid > 0) kill(daemonPid, SIGTERM);
        answer();  // a stalled daemon takes the signal only when it goes on
    }
};

}  // namespace testsupport
