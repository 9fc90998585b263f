// A callback bound weakly to its owner: it calls the owner's member while the owner lives and does
// nothing afterwards, so controls, gestures and timers never keep a screen alive or call a dead one.
// Arguments the callback receives are forwarded when the member takes them and dropped when it
// takes none (a control's target, a gesture's recogniser, a timer).
#pragma once

#include <memory>
#include <type_traits>
#include <utility>

template <class T, class R, class... Params>
auto weakBind(const std::shared_ptr<T>& owner, R (T::*member)(Params...)) {
    return [weak = std::weak_ptr<T>(owner), member](auto&&... args) {
        auto self = weak.lock();
        if (!self) return;
        if constexpr (sizeof...(Params) == 0)
            ((*self).*member)();
        else
            ((*self).*member)(std::forward<decltype(args)>(args)...);
    };
}
