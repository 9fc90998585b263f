// ServiceFactory<T>: the hook through which a subsystem above the foundation tells the Global
// registry how to make its service. Until a maker is registered the registry's getter answers none.
//
// Register at start-up, on the main thread, before the first getter call.
#pragma once

#include <functional>
#include <memory>
#include <utility>

template <class T>
class ServiceFactory {
public:
    using Maker = std::function<std::shared_ptr<T>()>;

    static void registerMaker(Maker maker) { slot() = std::move(maker); }
    static bool isRegistered() { return static_cast<bool>(slot()); }
    // A new service, or none when no maker is registered.
    static std::shared_ptr<T> makeService() { return slot() ? slot()() : nullptr; }

private:
    static Maker& slot() {
        static Maker maker;
        return maker;
    }
};
