// ShotSequencer: the camera screen's road from a trigger to a photo, one phase at a time.
//
//   Idle --trigger, self-timer set--> CountingDown --timer end--> Shooting (or WaitingForFocus)
//   Idle --shutter or volume key----> Shooting
//   Idle --tap to shoot-------------> WaitingForFocus --settled, or 2 s--> Shooting --finished--> Idle
//
// Each entry is guarded by the phase and does nothing where it does not apply:
// - a second trigger while counting down cancels the countdown ("CANCELED") and goes back to Idle;
// - while waiting for focus the shutter and the volume key shoot at once, a tap aims the wait anew;
// - every trigger while shooting is dropped, so shots never overlap;
// - cancel (the screen going away) stops a countdown or a wait silently; a shot under way finishes;
// - leaving the foreground stops them too, the countdown shown as cancelled: capture stops there,
//   and the run loop goes on in the background, so a countdown left running would shoot from a
//   stopped camera.
// A new capture session also ends a shot whose completion never came.
//
// The sequencer owns the self-timer's tick, the focus wait's fallback and the settle delay; the
// screen (the delegate, held weakly) shows the countdown, prepares the device, watches it settle
// and talks to the photo host. Without a delegate nothing is shown and no shot begins. Main
// thread only.
#pragma once

#include <memory>

#include "platform/dispatch/exit_hold.h"
#include "platform/dispatch/timer_slots.h"

enum class ShotPhase { Idle, CountingDown, WaitingForFocus, Shooting };

const char* shotPhaseName(ShotPhase phase);

// Which controls a tap-to-shoot still waits for.
struct FocusWait {
    bool focus = false;
    bool exposure = false;
};

// What the sequencer asks of the screen.
class ShotSequencerDelegate {
public:
    virtual ~ShotSequencerDelegate() = default;
    // The self-timer's length in seconds; nearly zero when none is set.
    virtual double selfTimerSeconds() = 0;
    // The countdown's big number: the whole seconds left.
    virtual void showCountdown(double secondsLeft) = 0;
    // The share of the countdown still to run, every tick; 1 once it stops.
    virtual void showCountdownShare(double share) = 0;
    // A whole second of the countdown has passed.
    virtual void countdownSecondPassed() = 0;
    // A second trigger cancelled the countdown.
    virtual void countdownCanceled() = 0;
    // A tap-to-shoot begins (or aims anew): the device is told to focus and expose at the tapped
    // point, its settling is watched, and devicePrepared is called once the device has its modes.
    // Answers which controls are still to settle.
    virtual FocusWait beginFocusWait() = 0;
    // The device is no longer watched (a shot begins or the wait is abandoned).
    virtual void endFocusWait() = 0;
    // Hands the shot to the photo host, which later reports photoSaving and shotFinished. False
    // when no shot could begin.
    virtual bool startShot() = 0;
};

class ShotSequencer {
public:
    static constexpr double kSelfTimerTick = 0.1;
    static constexpr double kFocusWaitLimit = 2.0;
    static constexpr double kSettleDelayCap = 1.0;
    static constexpr double kSettleDelayScale = 10.0;

    explicit ShotSequencer(std::weak_ptr<ShotSequencerDelegate> delegate);
    ShotSequencer(const ShotSequencer&) = delete;
    ShotSequencer& operator=(const ShotSequencer&) = delete;

    ShotPhase phase() const { return phase_; }
    // The photo now being saved is to fly into the library button once the library shows it.
    bool resultFlightPending() const { return resultFlight_; }

    // --- Triggers ---
    void shutterTap();
    void volumeKey();
    void tapToShoot();
    // The countdown has run out (the tick calls it; only while counting down).
    void timerEnd();
    // The screen goes away: a countdown or a wait stops without a shot.
    void cancel();
    // The program leaves the foreground: as cancel, and a countdown says it was cancelled.
    void leaveForeground();

    // --- Steps of the road, also reachable on their own ---
    // Shoots now unless a shot is under way.
    void shoot();
    // The tap road without the self-timer: waits for focus and exposure, then shoots.
    void focusThenShoot();
    // The device has taken its automatic modes for the tapped point.
    void devicePrepared();
    // The device reports the end of adjusting focus (true) or exposure (false).
    void adjustingEnded(bool focus);
    // The fallback: the device never reported settling.
    void waitExpired();

    // --- The photo host and the session ---
    void photoSaving();
    void shotFinished(bool ok);
    void sessionStarted();
    // The flight has been shown (or is no longer wanted).
    void resultFlightShown() { resultFlight_ = false; }

private:
    enum class Then { Shoot, FocusThenShoot };
    void trigger(Then then);
    void startCountdown(Then then);
    void stopCountdown();
    void onCountdownTick();
    void stopWait();
    bool timerSet();

    std::weak_ptr<ShotSequencerDelegate> delegate_;
    ShotPhase phase_ = ShotPhase::Idle;
    Then afterCountdown_ = Then::Shoot;
    double countdownStartedAt_ = 0;
    double countdownCheckedAt_ = 0;
    FocusWait waiting_;
    double waitStartedAt_ = 0;
    bool resultFlight_ = false;
    RepeatingTimer countdown_;
    OneShotTimer fallback_;
    OneShotTimer settled_;
    // A tap-to-shoot's wait for focus is the start of its shot: the end of the program waits for
    // it (within the wait's own limit), and the photo host holds the shot from there.
    std::shared_ptr<ExitHold> focusHold_;
};
