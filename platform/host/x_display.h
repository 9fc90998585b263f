// The X display under the window: reaching it within a time limit, and hearing of a connection
// that breaks or a window another program destroyed instead of letting the X library end the
// process. Main thread.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>

struct SDL_Window;
struct SDL_SysWMmsg;

namespace xdisplay {

// How long reaching the display may take before it counts as not there.
constexpr double kAnswerSeconds = 4;

// None when the display `name` answers within `seconds`; otherwise why not, naming it. A display
// that never answers leaves a thread waiting on it for the rest of the process.
std::optional<std::string> reach(const std::string& name, double seconds = kAnswerSeconds);

// From now on protocol errors on any of the process's displays are the program's: said once for
// each kind of refused request, and the program goes on. Taken before the video system opens its
// display, so that the handler the video system puts back as it closes that display is this one.
void takeProtocolErrors();

// From now on a broken connection on any of the process's displays calls `lost` with the
// display's name, once, and the X library goes on with calls that fail, where its default would
// end the process from inside whatever call noticed. The server's word that the window was
// destroyed (by another program), heard as it is read, or a protocol error that says the window is
// gone calls `windowGone`, once; other protocol errors are as takeProtocolErrors() says. Watching a window starts
// afresh: nothing lost, nothing gone. Nothing is watched for a window on another kind of display. The window manager's
// close calls `closed` as it is read, whatever the reading keeps or drops around it; it goes no further. A key the
// video system hands on is stamped with when the server made it (its clock from the events it
// made), not when it was read. The window hears the pointer's moves only while the first button
// is held, and no property's change; a click and a wheel's turn carry where the server placed
// them. From then on what another client sends is screened as it is read, before the video
// system would act on it: a ConfigureNotify with another size than the window's, drag and drop
// (the program takes none), what only the server says (the keyboard's and the mouse's input, a
// property's change, a mapping) and any extension's event are dropped. The reading takes a
// bounded share of each turn (beginTurn()), the last one's too, as XEventScreen says.
void watch(SDL_Window* window, std::function<void(const std::string& display)> lost, std::function<void()> windowGone,
           std::function<void()> closed = nullptr);

// Forgets the window, before its display is closed: errors that closing brings are said as any
// other display's.
void unwatch();

// How many events the display's reading hands the video system in a turn of the loop, those kept
// from the turns before included. Far more than a turn's real input.
constexpr int kReadATurn = 512;

// Starts a turn of the loop, before its first look at the display: the screen is put in front of
// any converter an extension's library put in since, and the turn's share of reading starts. The
// server's events kept past the turns' shares are handed on first, as far as this turn's share
// goes: the keys and clicks, then the rest in order, then (once the reading keeps up again) the
// newest of each state another client's changes made the server tell; what another client sent
// past a share was dropped.
void beginTurn();

// Whether this turn's reading or one of the last turns' went past its share (another client sends
// faster than the turns take): a request that waits for the server's answer waits behind all the
// display still holds.
bool flooded();

// The window closes from here on: the screen is put in front again, nothing kept is handed on, and
// the server's events read past a turn's share go on to the video system (the closing waits for
// the server's word that the window is unmapped) but those that only tell a state; what another
// client sent past it is still dropped.
void closing();

// Puts the screen in front again within a turn, before the display is read once more.
void stayInFront();

// The turn before the end: every key, click and other event kept in order is handed on (states are
// not), and the turn reads, within a time limit, all the server made before it was asked, with a
// share like any other turn's: past it a key or a click the server made goes on (no turn comes
// after to hand it on), the rest is dropped.
void lastTurn();

// Hears the X events the video system hands on (while a window is watched they are heard as the
// video system reads them, and go no further): when the server made a key, and where it placed
// the pointer. The server's word only: an event another client sent (any client may name any
// window) is not believed.
void noticeEvent(const SDL_SysWMmsg* message);

// Where the server last said the pointer was over the watched window, in the window's units, as
// the video system was handed its words (the window hears the pointer's moves only in a drag);
// none before any.
std::optional<std::pair<int, int>> pointer();

// Whether a connection broke since watch().
bool lost();

// Whether the connection broke or the window was destroyed since watch(): nothing more is drawn
// or torn down there.
bool gone();

}  // namespace xdisplay
