// Errors as values: Result<T> holds a value or a message describing what failed.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <variant>

struct Failure {
    std::string message;
};

template <class T>
class [[nodiscard]] Result {
public:
    Result(T value) : state_(std::move(value)) {}
    Result(Failure failure) : state_(std::move(failure)) {}

    bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() & { return std::get<0>(state_); }
    const T& value() const& { return std::get<0>(state_); }
    T&& value() && { return std::get<0>(std::move(state_)); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }

    const std::string& error() const { return std::get<1>(state_).message; }
    T valueOr(T fallback) const& { return ok() ? value() : std::move(fallback); }

private:
    std::variant<T, Failure> state_;
};

template <>
class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Failure failure) : failure_(std::move(failure)) {}
    bool ok() const { return !failure_; }
    explicit operator bool() const { return ok(); }
    const std::string& error() const { return failure_->message; }

private:
    std::optional<Failure> failure_;
};

inline Failure fail(std::string message) {
    return Failure{std::move(message)};
}
