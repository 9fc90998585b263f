// FilterPersistElement: an element that remembers the values the user gave a preset's inputs,
// in one store file per preset ("FilterPersistElement.<key>.1" in the library folder), and puts
// them back when the preset's element is made again. Saving waits for 3.0 s of quiet; a pending
// save is written at once when the application goes to the background or the element goes away.
//
// Entries are keyed by a record's display name. Only plain values are stored: conversion caches
// are stripped from saved trees and user images are not kept. Main thread only.
#pragma once

#include <memory>
#include <string>

#include "filter/filter_my_element.h"
#include "foundation/last_info.h"
#include "platform/dispatch/timer.h"

class FilterPersistElement : public FilterMyElement {
public:
    static constexpr double kSaveDelay = 3.0;

    // None when the description yields no element.
    static std::shared_ptr<FilterPersistElement> withKey(const std::string& key, const Value& desc);
    // The store file of a preset key.
    static std::string storePath(const std::string& key);

    // Puts the saved value of the record, if any, into the record.
    void load(const Value& record);
    // Remembers the record's value and restarts the save timer.
    void save(const Value& record);
    // Writes every remembered value to the store now.
    void save();
    // The record's entry, made when needed; null for a record without a display name.
    Value findPersistenceCurrent(const Value& record);
    // Rectangles, distances, positions, coefficient vectors, transforms, data and colour spaces.
    static bool isSkipAttr(const Value& record);

    void resetTimerSave();
    void restartTimerSave();
    void onTimerSave(const std::shared_ptr<NSTimer>& timer);
    // Writes a pending save now (background, teardown).
    void flushPendingSave();

    const std::shared_ptr<LastInfo>& lastInfo() const { return lastInfo_; }
    void setLastInfo(std::shared_ptr<LastInfo> info) { lastInfo_ = std::move(info); }
    Value dict();
    void setDict(Value dict) { dict_ = std::move(dict); }
    const std::shared_ptr<NSTimer>& timerSave() const { return timerSave_; }
    void setTimerSave(std::shared_ptr<NSTimer> timer) { timerSave_ = std::move(timer); }

    ~FilterPersistElement() override;
    std::string className() const override { return "FilterPersistElement"; }

protected:
    FilterPersistElement() = default;

private:
    void observeBackground();

    std::shared_ptr<LastInfo> lastInfo_;
    Value dict_;
    std::shared_ptr<NSTimer> timerSave_;
    std::shared_ptr<NSObject> backgroundToken_;
};
