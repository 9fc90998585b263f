// The ordered list behind a manager's sections and a section's items: the array operations of
// the kit, each telling the owner about every element it puts in (so the element's back-reference
// can be set). Removal leaves back-references as they were. Indexes past the end are ignored.
#pragma once

#include <algorithm>
#include <functional>
#include <set>
#include <vector>

#include "platform/runtime/range.h"

template <class T>
class FormOrderedList {
public:
    using Adopt = std::function<void(const T&)>;
    // Element equality (isEqual) and identity (the same object).
    using Same = std::function<bool(const T&, const T&)>;

    FormOrderedList(Adopt adopt, Same equal, Same identical)
        : adopt_(std::move(adopt)), equal_(std::move(equal)), identical_(std::move(identical)) {}

    const std::vector<T>& all() const { return items_; }
    std::size_t size() const { return items_.size(); }

    void add(const T& x) {
        adopt_(x);
        items_.push_back(x);
    }
    void addFromArray(const std::vector<T>& xs) {
        for (const auto& x : xs) add(x);
    }
    void insert(const T& x, std::size_t index) {
        if (index > items_.size()) return;
        adopt_(x);
        items_.insert(items_.begin() + static_cast<long>(index), x);
    }
    // The elements go to the given indexes of the resulting list, in ascending order.
    void insertAtIndexes(const std::vector<T>& xs, const std::set<std::size_t>& indexes) {
        if (xs.size() != indexes.size() || (!indexes.empty() && *indexes.rbegin() >= items_.size() + xs.size())) return;
        auto x = xs.begin();
        for (std::size_t index : indexes) insert(*x++, index);
    }
    void remove(const T& x) {
        removeIf(NSRange{0, items_.size()}, [&](const T& y) { return equal_(x, y); });
    }
    void removeInRange(const T& x, NSRange range) {
        removeIf(range, [&](const T& y) { return equal_(x, y); });
    }
    void removeIdenticalTo(const T& x) {
        removeIf(NSRange{0, items_.size()}, [&](const T& y) { return identical_(x, y); });
    }
    void removeIdenticalToInRange(const T& x, NSRange range) {
        removeIf(range, [&](const T& y) { return identical_(x, y); });
    }
    void removeInArray(const std::vector<T>& xs) {
        removeIf(NSRange{0, items_.size()}, [&](const T& y) {
            return std::any_of(xs.begin(), xs.end(), [&](const T& x) { return equal_(x, y); });
        });
    }
    void removeLast() {
        if (!items_.empty()) items_.pop_back();
    }
    void removeAtIndex(std::size_t index) {
        if (index < items_.size()) items_.erase(items_.begin() + static_cast<long>(index));
    }
    void removeAll() { items_.clear(); }
    void removeRange(NSRange range) {
        if (!valid(range)) return;
        auto first = items_.begin() + static_cast<long>(range.location);
        items_.erase(first, first + static_cast<long>(range.length));
    }
    void removeAtIndexes(const std::set<std::size_t>& indexes) {
        for (auto it = indexes.rbegin(); it != indexes.rend(); ++it) removeAtIndex(*it);
    }
    void replaceAtIndex(std::size_t index, const T& x) {
        if (index >= items_.size()) return;
        adopt_(x);
        items_[index] = x;
    }
    // Removes all, then adds.
    void replaceWithArray(const std::vector<T>& xs) {
        removeAll();
        addFromArray(xs);
    }
    void replaceRange(NSRange range, const std::vector<T>& xs) {
        if (!valid(range)) return;
        for (const auto& x : xs) adopt_(x);
        auto first = items_.begin() + static_cast<long>(range.location);
        first = items_.erase(first, first + static_cast<long>(range.length));
        items_.insert(first, xs.begin(), xs.end());
    }
    void replaceRange(NSRange range, const std::vector<T>& xs, NSRange from) {
        if (from.location > xs.size() || from.length > xs.size() - from.location) return;
        auto first = xs.begin() + static_cast<long>(from.location);
        replaceRange(range, std::vector<T>(first, first + static_cast<long>(from.length)));
    }
    void replaceAtIndexes(const std::set<std::size_t>& indexes, const std::vector<T>& xs) {
        if (xs.size() != indexes.size()) return;
        auto x = xs.begin();
        for (std::size_t index : indexes) replaceAtIndex(index, *x++);
    }
    void exchange(std::size_t a, std::size_t b) {
        if (a < items_.size() && b < items_.size()) std::swap(items_[a], items_[b]);
    }
    // Stable: equal elements keep their order.
    void sort(const std::function<bool(const T&, const T&)>& less) {
        std::stable_sort(items_.begin(), items_.end(), less);
    }

private:
    bool valid(NSRange r) const { return r.location <= items_.size() && r.length <= items_.size() - r.location; }
    template <class Pred>
    void removeIf(NSRange range, Pred pred) {
        if (!valid(range)) return;
        auto first = items_.begin() + static_cast<long>(range.location);
        auto last = first + static_cast<long>(range.length);
        items_.erase(std::remove_if(first, last, pred), last);
    }

    std::vector<T> items_;
    Adopt adopt_;
    Same equal_, identical_;
};
