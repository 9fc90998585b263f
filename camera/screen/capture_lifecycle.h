// The camera screen's capture life cycle, kept as one stored state:
//
//   Idle --beginStart--> Starting --finishStart--> Running --beginStop--> Stopping --finishStop--> Idle
//                           \________________________beginStop___________/
//
// A stop may begin while a start is still under way; that start's completion then finds its ticket
// overtaken and leaves the state alone. An entry that is illegal in the current state changes
// nothing and returns false (or no ticket). Main-thread only.
#pragma once

#include <cstdint>
#include <optional>

enum class CaptureState { Idle, Starting, Running, Stopping };

class CaptureLifecycle {
public:
    using Ticket = std::uint64_t;

    CaptureState state() const { return state_; }
    // Starting or Stopping: capture is on its way from one rest to the other.
    bool moving() const { return state_ == CaptureState::Starting || state_ == CaptureState::Stopping; }
    bool canStop() const { return state_ == CaptureState::Starting || state_ == CaptureState::Running; }

    // Idle -> Starting: the ticket the start's completion hands back; none in any other state.
    std::optional<Ticket> beginStart();
    // Starting -> Running for the start holding the ticket; false for an overtaken start.
    bool finishStart(Ticket ticket);
    // Starting or Running -> Stopping.
    bool beginStop();
    // Stopping -> Idle.
    bool finishStop();

private:
    CaptureState state_ = CaptureState::Idle;
    Ticket ticket_ = 0;
};
