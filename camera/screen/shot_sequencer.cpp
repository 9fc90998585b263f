// The shot's phases and the timers that move it along: the self-timer's 0.1 s tick, the focus
// wait's 2 s fallback and the delay after the device has settled.
#include "camera/screen/shot_sequencer.h"

#include <algorithm>
#include <cmath>

#include "platform/dispatch/clock.h"

namespace {
constexpr double kNearlyZero = 1.0 / (1 << 23);
}  // namespace

const char* shotPhaseName(ShotPhase phase) {
    switch (phase) {
        case ShotPhase::Idle: return "Idle";
        case ShotPhase::CountingDown: return "CountingDown";
        case ShotPhase::WaitingForFocus: return "WaitingForFocus";
        case ShotPhase::Shooting: return "Shooting";
    }
    return "?";
}

ShotSequencer::ShotSequencer(std::weak_ptr<ShotSequencerDelegate> delegate) : delegate_(std::move(delegate)) {}

bool ShotSequencer::timerSet() {
    auto d = delegate_.lock();
    return d && std::fabs(d->selfTimerSeconds()) >= kNearlyZero;
}

void ShotSequencer::shutterTap() {
    trigger(Then::Shoot);
}
void ShotSequencer::volumeKey() {
    trigger(Then::Shoot);
}
void ShotSequencer::tapToShoot() {
    trigger(Then::FocusThenShoot);
}

void ShotSequencer::trigger(Then then) {
    switch (phase_) {
        case ShotPhase::Idle:
            if (timerSet())
                startCountdown(then);
            else if (then == Then::Shoot)
                shoot();
            else
                focusThenShoot();
            return;
        case ShotPhase::CountingDown:
            stopCountdown();
            phase_ = ShotPhase::Idle;
            if (auto d = delegate_.lock()) d->countdownCanceled();
            return;
        case ShotPhase::WaitingForFocus:
            if (then == Then::Shoot)
                shoot();
            else
                focusThenShoot();
            return;
        case ShotPhase::Shooting: return;  // shots never overlap
    }
}

void ShotSequencer::startCountdown(Then then) {
    afterCountdown_ = then;
    phase_ = ShotPhase::CountingDown;
    if (auto d = delegate_.lock()) d->showCountdown(d->selfTimerSeconds());
    countdown_.restart(kSelfTimerTick, [this] { onCountdownTick(); });
    countdownStartedAt_ = countdownCheckedAt_ = CACurrentMediaTime();
}

void ShotSequencer::stopCountdown() {
    if (!countdown_.running()) return;
    if (auto d = delegate_.lock()) d->showCountdownShare(1.0);
    countdown_.reset();
}

void ShotSequencer::onCountdownTick() {
    auto d = delegate_.lock();
    if (!d) return;
    const double now = CACurrentMediaTime();
    const double length = d->selfTimerSeconds();
    if (length > 0) d->showCountdownShare(std::clamp(1 - (now - countdownStartedAt_) / length, 0.0, 1.0));
    if (now - countdownCheckedAt_ <= 1.0) return;
    d->countdownSecondPassed();
    const double remaining = length - std::floor(now - countdownStartedAt_);
    countdownCheckedAt_ = now;
    if (remaining > 0) {
        d->showCountdown(remaining);
        return;
    }
    timerEnd();
}

void ShotSequencer::timerEnd() {
    if (phase_ != ShotPhase::CountingDown) return;
    stopCountdown();
    phase_ = ShotPhase::Idle;
    if (afterCountdown_ == Then::Shoot)
        shoot();
    else
        focusThenShoot();
}

void ShotSequencer::cancel() {
    if (phase_ == ShotPhase::CountingDown) {
        stopCountdown();
        phase_ = ShotPhase::Idle;
    } else if (phase_ == ShotPhase::WaitingForFocus) {
        stopWait();
        phase_ = ShotPhase::Idle;
        focusHold_.reset();
    }
}

void ShotSequencer::leaveForeground() {
    const bool counting = phase_ == ShotPhase::CountingDown;
    cancel();
    if (!counting) return;
    if (auto d = delegate_.lock()) d->countdownCanceled();
}

void ShotSequencer::stopWait() {
    fallback_.reset();
    settled_.reset();
    waiting_ = {};
    if (auto d = delegate_.lock()) d->endFocusWait();
}

void ShotSequencer::shoot() {
    auto d = delegate_.lock();
    if (d) d->endFocusWait();
    if (phase_ == ShotPhase::Shooting) return;
    stopCountdown();
    fallback_.reset();
    settled_.reset();
    waiting_ = {};
    phase_ = ShotPhase::Shooting;
    if (!(d && d->startShot()) && phase_ == ShotPhase::Shooting) phase_ = ShotPhase::Idle;
    focusHold_.reset();
}

void ShotSequencer::focusThenShoot() {
    if (phase_ == ShotPhase::Shooting) return;
    stopCountdown();
    fallback_.reset();
    settled_.reset();
    phase_ = ShotPhase::WaitingForFocus;
    if (!focusHold_) focusHold_ = ExitHold::make("the photo");
    waitStartedAt_ = CACurrentMediaTime();
    auto d = delegate_.lock();
    waiting_ = d ? d->beginFocusWait() : FocusWait{};
}

void ShotSequencer::devicePrepared() {
    if (phase_ != ShotPhase::WaitingForFocus) return;
    if (!waiting_.focus && !waiting_.exposure) {
        shoot();
        return;
    }
    fallback_.restart(kFocusWaitLimit, [this] { waitExpired(); });
}

void ShotSequencer::adjustingEnded(bool focus) {
    if (phase_ != ShotPhase::WaitingForFocus || (!waiting_.focus && !waiting_.exposure)) return;
    (focus ? waiting_.focus : waiting_.exposure) = false;
    if (waiting_.focus || waiting_.exposure) return;
    fallback_.reset();
    // Shot a little after the device settles: a tenth-scaled share of the time it took, capped.
    const double delay = std::min(kSettleDelayCap, kSettleDelayScale * (CACurrentMediaTime() - waitStartedAt_));
    settled_.restart(delay, [this] { shoot(); });
}

void ShotSequencer::waitExpired() {
    if (phase_ != ShotPhase::WaitingForFocus || (!waiting_.focus && !waiting_.exposure)) return;
    shoot();
}

void ShotSequencer::photoSaving() {
    resultFlight_ = true;
}

void ShotSequencer::shotFinished(bool ok) {
    if (!ok) resultFlight_ = false;
    if (phase_ == ShotPhase::Shooting) phase_ = ShotPhase::Idle;
}

void ShotSequencer::sessionStarted() {
    if (phase_ == ShotPhase::Shooting) phase_ = ShotPhase::Idle;
}
