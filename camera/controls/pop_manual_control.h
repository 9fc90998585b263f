// The control cycle shared by the focus, exposure and white-balance pop-ups. The pop-up keeps what
// the user chose apart from what the camera does; a 0.3 s timer reads the device, assigns the
// user's manual values or an automatic mode where the two differ, and refreshes the pop-up.
//
// Each tick:   updateStatus   reads the device (no reading keeps the old values)
//              checkAndAssign user manual != device manual  -> assign manual or automatic
//                             both manual, a new user value or a drift -> assign manual
//                             otherwise settled: refresh, tell the host, show or hide "AUTO"
// A hidden pop-up keeps its timer while the user holds manual control and stops it once
// automatic control has settled.
//
// Threads: the pop-up, its timer and its status reads run on the main thread; assignments run on
// the host's capture queue inside the device's configuration lock. The user's values are written
// on the main thread and read by the queued assignment, so they sit behind one small lock; the
// assignment applies the values current when it runs.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "camera/controls/manual_slider_view.h"
#include "camera/controls/pop_manual_base.h"
#include "platform/capture/cm_time.h"
#include "platform/dispatch/timer_slots.h"

// What the device does and what the user chose.
template <class T>
struct ManualPair {
    T device{};
    T user{};
};

class PopManualControl : public PopManualBase, public ManualSliderViewDelegate {
public:
    using Completion = std::function<void()>;
    static constexpr double kTimerInterval = 0.3;

    ~PopManualControl() override;
    void init() override;

    // Starts the timer, reads and shows the state, then shows the pop-up; the rulers are laid out
    // once it has its size. The completion is not called.
    void show(const std::shared_ptr<NSObject>& sender, Callback completion);
    void hide(Callback completion) override;
    using PopManualBase::show;

    bool isUserManual() const override { return manual_.user; }
    void setAuto() override;
    bool isManualSupported() override;
    void resetTimer() override;
    void restartTimer();
    void onTimer();
    bool timerRunning() const { return timer_.running(); }

    void updateStatus();
    void checkAndAssign();
    // Queue the user's values (or the first automatic mode the device has) onto the capture
    // queue; NO when nothing was queued.
    bool assign_manual(Completion completion);
    bool assign_auto(Completion completion);

    const ManualPair<bool>& manual() const { return manual_; }
    // Whether a ruler change has not yet reached the device.
    bool userChangePending() const;
    // Capture started again, and the device may have come back in its automatic modes: a control
    // the user holds by hand sends the user's values at once and keeps its timer running; on a
    // device that cannot take them it returns to automatic control.
    void captureDidStart();

    std::string className() const override { return "PopManualControl"; }

protected:
    using PopManualBase::PopManualBase;

    // What each control adds.
    virtual std::string title() const = 0;
    virtual std::vector<std::shared_ptr<ManualSliderView>> sliders() const = 0;
    // Reads the device into the device halves (a reading out of range keeps the old value, and no
    // device keeps the rulers' range); true when the device is in the control's manual mode.
    virtual bool readDevice(const AVCaptureDevice* device) = 0;
    // Copies the device halves into the user halves (while the user has not taken control);
    // called with the user's values locked.
    virtual void followDevice() = 0;
    virtual bool drifted() const = 0;
    virtual bool supportsManual(const AVCaptureDevice& device) const = 0;
    // Applies the user's values; runs on the capture queue inside the configuration lock, with
    // the user's values locked.
    virtual bool applyManual(AVCaptureDevice& device, std::function<void(CMTime)> handler) = 0;
    // The first automatic mode the device supports, as its mode number, and its setter.
    virtual std::optional<std::int64_t> autoMode(const AVCaptureDevice& device) const = 0;
    virtual void applyAutoMode(AVCaptureDevice& device, std::int64_t mode) = 0;
    // Focus and white balance stop an automatic timer when hidden; exposure leaves it to the tick.
    virtual bool stopsTimerOnHide() const { return true; }

    // A ruler moved: stores the user's value with `store` under the lock; the user now holds
    // manual control and the new value is to reach the device at the next tick.
    void userChanged(const std::function<void()>& store);

private:
    void settled();

    ManualPair<bool> manual_;
    RepeatingTimer timer_;
    mutable std::mutex userMutex_;
    // Ruler changes counted on the main thread (under the lock); the queue records the last one
    // it applied.
    std::uint64_t userGeneration_ = 0;
    std::atomic<std::uint64_t> appliedGeneration_{0};
};
