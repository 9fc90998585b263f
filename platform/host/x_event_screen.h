// What the window's display reading does with each event as it is read, turn by turn: a bounded
// share goes on to the video system, the server's events past it are kept for the turns after
// (those that only tell the newest state folded into one of their kind), another client's past it
// are dropped; within it, one that waits is kept as the server's are (its states apart from
// theirs). Works on the events' wire bytes alone, with no display. Main thread.
#pragma once

#include <X11/Xproto.h>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <tuple>

namespace xdisplay {

class XEventScreen {
public:
    // Where the reading stands.
    enum class Phase {
        // Within the turn's share: events go on to their converters as read, but for a sort with
        // events kept (its new ones queue behind them), and for states past the turn's few or
        // while the reading does not keep up (they are kept).
        WithinShare,
        // Past it: the server's events are kept for the turns after, another client's dropped. In
        // the last turn (no turn comes after) a key or a click goes on, the rest is dropped.
        PastShare,
        // The kept events go back to the display's queue and on from there, counted as they were
        // when read.
        HandingOn,
        // The window closes (its teardown waits for the server's word that it is unmapped): the
        // server's events go on, but past the share those that only tell a state (nobody is left to
        // ask about it) and another client's, which are dropped.
        Closing,
    };

    // How many events a turn's reading hands the video system, those kept before included.
    static constexpr int kReadATurn = 512;
    // How many of them may only tell a state: the video system asks the server about many of
    // those (a property's value, the window's tree, the keyboard), a round trip each. A state goes
    // on only while the display holds nothing more (a round trip reads what it holds into memory
    // first; another client may make the server send faster than the reading takes it).
    static constexpr int kStatesATurn = 16;
    // Turns within their share after one past it before the reading counts as keeping up again.
    static constexpr int kQuietTurns = 60;
    // Kept at most of each sort (keys and clicks; other events in order; states, one per kind), so
    // that a flood of one sort leaves the others their room.
    static constexpr std::size_t kKeptMost = 4096;

    // Takes the event to the display's queue, while the phase is HandingOn.
    using Enqueue = std::function<void(const xEvent&)>;

    // Whether the display holds more to read than what was read: a round trip now would read all
    // of it into memory before its answer.
    using Backlog = bool (*)();

    // Everything forgotten: a window newly watched, whose display `backlog` looks at (none: never),
    // and whose keyboard extension's events are of type `keyboardEvents` (0: none): each tells
    // the keyboard's newest map or state, and the X library and the video system read the map
    // again at one.
    void reset(Backlog backlog = nullptr, int keyboardEvents = 0);

    // Starts a turn: the turn's share starts afresh and the kept events are handed on, keys and
    // clicks first, then the rest in order, then the newest states, as far as the share goes (the
    // states only while the reading keeps up). Nothing in Closing.
    void beginTurn(const Enqueue& enqueue);

    // Starts the last turn: every kept key and click and the rest in order are handed on (the
    // states are not: nothing asks for them any more), and the reading has a share of its own.
    void lastTurn(const Enqueue& enqueue);

    // The window closes: nothing kept is handed on any more.
    void closing();

    // Whether the event read goes on to its converter now; otherwise it was kept or dropped.
    bool read(const xEvent& wire);

    // Whether this turn's reading or one of the last turns' went past its share.
    bool flooded() const;

    Phase phase() const { return phase_; }
    // How many events are kept (a state counts once however often it changed).
    std::size_t kept() const;

private:
    // The events by what becomes of them past the share.
    enum class Sort { Input, InOrder, State };
    // A state's kind: a property of a window, a window's configuration, the pointer's place or
    // crossing over a window, a window's focus, the keymap, a mapping, the keyboard extension's
    // word of one kind on one device.
    using StateKey = std::tuple<int, std::uint32_t, std::uint32_t>;

    Sort sortOf(int type) const;
    StateKey stateKeyOf(const xEvent& wire) const;
    bool goesOnDirectly(Sort sort);
    bool backlogged() const { return backlog_ && backlog_(); }
    void keep(const xEvent& wire, Sort sort);
    void leftOut();
    // Hands on at most `most` of the sort's kept events; how many it handed.
    int handOn(Sort sort, int most, const Enqueue& enqueue);

    Backlog backlog_ = nullptr;
    int keyboardEvents_ = 0;
    Phase phase_ = Phase::WithinShare;
    // No turn comes after this one's reading.
    bool lastTurn_ = false;
    long read_ = 0;
    int statesRead_ = 0;
    bool flooded_ = false;
    int quietTurns_ = kQuietTurns;
    bool dropSaid_ = false;
    std::deque<xEvent> input_;
    std::deque<xEvent> inOrder_;
    // The newest of each state, and the order their kinds were first kept in.
    std::map<StateKey, xEvent> states_;
    std::deque<StateKey> stateOrder_;
};

}  // namespace xdisplay
