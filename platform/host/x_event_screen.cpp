// The display reading's share, what it keeps past it and how it hands that on.
#include "platform/host/x_event_screen.h"

#include <algorithm>

#include "platform/runtime/log.h"

// Last: the X headers define plain names as macros.
#include <X11/X.h>

namespace xdisplay {

void XEventScreen::reset(Backlog backlog, int keyboardEvents) {
    *this = XEventScreen{};
    backlog_ = backlog;
    keyboardEvents_ = keyboardEvents;
}

XEventScreen::Sort XEventScreen::sortOf(int type) const {
    if (keyboardEvents_ && type == keyboardEvents_) return Sort::State;
    switch (type) {
        case KeyPress:
        case KeyRelease:
        case ButtonPress:
        case ButtonRelease: return Sort::Input;
        // Each tells the newest state of something: the one after it says all it said.
        case MotionNotify:
        case EnterNotify:
        case LeaveNotify:
        case FocusIn:
        case FocusOut:
        case KeymapNotify:
        case ConfigureNotify:
        case PropertyNotify:
        case MappingNotify: return Sort::State;
        default: return Sort::InOrder;
    }
}

XEventScreen::StateKey XEventScreen::stateKeyOf(const xEvent& wire) const {
    const int type = wire.u.u.type & 0x7f;
    // Its kind in the second byte, the device in the ninth.
    if (keyboardEvents_ && type == keyboardEvents_)
        return {type, wire.u.u.detail, reinterpret_cast<const std::uint8_t*>(&wire)[8]};
    switch (type) {
        case PropertyNotify: return {type, wire.u.property.window, wire.u.property.atom};
        case ConfigureNotify: return {type, wire.u.configureNotify.event, wire.u.configureNotify.window};
        case MotionNotify: return {type, wire.u.keyButtonPointer.event, 0};
        // The newest crossing says where the pointer is; the newest focus change, where the focus is.
        case EnterNotify:
        case LeaveNotify: return {EnterNotify, wire.u.enterLeave.event, 0};
        case FocusIn:
        case FocusOut: return {FocusIn, wire.u.focus.window, 0};
        // The keyboard's, the modifiers' or the pointer's mapping: each is read again whole.
        case MappingNotify: return {type, wire.u.mappingNotify.request, 0};
        default: return {type, 0, 0};
    }
}

bool XEventScreen::goesOnDirectly(Sort sort) {
    switch (sort) {
        case Sort::Input: return input_.empty();
        case Sort::InOrder: return inOrder_.empty();
        // While the reading does not keep up, the round trips a state costs would each read the
        // whole backlog the display holds into memory first: the states wait for the quiet turns.
        case Sort::State:
            if (flooded_ || !states_.empty() || statesRead_ >= kStatesATurn || backlogged()) return false;
            ++statesRead_;
            return true;
    }
    return false;
}

void XEventScreen::keep(const xEvent& wire, Sort sort) {
    switch (sort) {
        case Sort::Input:
            if (input_.size() >= kKeptMost) break;
            input_.push_back(wire);
            return;
        case Sort::InOrder:
            if (inOrder_.size() >= kKeptMost) break;
            inOrder_.push_back(wire);
            return;
        case Sort::State: {
            StateKey key = stateKeyOf(wire);
            // Another client's word on a state is kept apart from the server's: it may not stand in
            // for it (its size, say, is judged against the server's as it is handed on).
            if (wire.u.u.type & 0x80) std::get<0>(key) |= 0x80;
            if (auto found = states_.find(key); found != states_.end()) {
                found->second = wire;
                return;
            }
            if (states_.size() >= kKeptMost) break;
            states_.emplace(key, wire);
            stateOrder_.push_back(key);
            return;
        }
    }
    leftOut();
}

void XEventScreen::leftOut() {
    if (dropSaid_) return;
    dropSaid_ = true;
    Log::warning("host", "the display sends events faster than the window takes them; some are left out");
}

int XEventScreen::handOn(Sort sort, int most, const Enqueue& enqueue) {
    int handed = 0;
    for (; handed < most; ++handed) {
        xEvent wire;
        if (sort == Sort::State) {
            if (stateOrder_.empty()) break;
            auto found = states_.find(stateOrder_.front());
            stateOrder_.pop_front();
            wire = found->second;
            states_.erase(found);
        } else {
            auto& kept = sort == Sort::Input ? input_ : inOrder_;
            if (kept.empty()) break;
            wire = kept.front();
            kept.pop_front();
        }
        ++read_;
        enqueue(wire);
    }
    return handed;
}

void XEventScreen::beginTurn(const Enqueue& enqueue) {
    if (phase_ == Phase::Closing) return;
    // A server behind with a flood gives nothing for a turn or two: the reading counts as keeping
    // up only after many turns within their share.
    quietTurns_ = read_ > kReadATurn ? 0 : (std::min)(quietTurns_ + 1, kQuietTurns);
    flooded_ = quietTurns_ < kQuietTurns;
    read_ = 0;
    statesRead_ = 0;
    lastTurn_ = false;
    phase_ = Phase::HandingOn;
    // The user's keys and clicks do not wait behind anything another client caused.
    int left = kReadATurn;
    left -= handOn(Sort::Input, left, enqueue);
    left -= handOn(Sort::InOrder, left, enqueue);
    // Each state may cost the video system a round trip, which waits behind all the flood left in
    // the display: the newest states wait until the reading keeps up again.
    if (!flooded_ && !states_.empty() && !backlogged())
        statesRead_ = handOn(Sort::State, (std::min)(left, kStatesATurn), enqueue);
    phase_ = Phase::WithinShare;
}

void XEventScreen::lastTurn(const Enqueue& enqueue) {
    if (phase_ == Phase::Closing) return;
    phase_ = Phase::HandingOn;
    handOn(Sort::Input, static_cast<int>(input_.size()), enqueue);
    handOn(Sort::InOrder, static_cast<int>(inOrder_.size()), enqueue);
    states_.clear();
    stateOrder_.clear();
    read_ = 0;
    statesRead_ = 0;
    lastTurn_ = true;
    phase_ = Phase::WithinShare;
}

void XEventScreen::closing() {
    phase_ = Phase::Closing;
    input_.clear();
    inOrder_.clear();
    states_.clear();
    stateOrder_.clear();
}

bool XEventScreen::read(const xEvent& wire) {
    if (phase_ == Phase::HandingOn) return true;
    ++read_;
    const int type = wire.u.u.type & 0x7f;
    const bool sent = (wire.u.u.type & 0x80) != 0;
    // Another client's word in an extension's event (the input extension's, the screen's outputs')
    // is taken by none: its library would read whatever bytes the sender made up as its own
    // structures.
    if (sent && type >= LASTEvent) return false;
    const Sort sort = sortOf(type);
    if (phase_ == Phase::WithinShare && read_ > kReadATurn) phase_ = Phase::PastShare;
    switch (phase_) {
        case Phase::WithinShare:
            if (goesOnDirectly(sort)) return true;
            break;
        case Phase::PastShare: break;
        case Phase::HandingOn: return true;
        case Phase::Closing: return read_ <= kReadATurn || (!sent && sort != Sort::State);
    }
    // Past the share, another client's event is dropped: it sent more than a turn takes. Within it,
    // one behind its sort's kept events (or a state while the display holds more) waits as the
    // server's do: a window manager's word on a move, read beside a state the turn kept, is not lost.
    if (sent && (phase_ == Phase::PastShare || lastTurn_)) return false;
    // No turn comes after to hand it on: a key the user pressed before the end goes on now.
    if (lastTurn_) return sort == Sort::Input;
    keep(wire, sort);
    return false;
}

bool XEventScreen::flooded() const {
    return flooded_ || read_ > kReadATurn;
}

std::size_t XEventScreen::kept() const {
    return input_.size() + inOrder_.size() + states_.size();
}

}  // namespace xdisplay
