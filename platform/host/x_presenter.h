// Shows the window's pictures through a display connection of its own, on a thread of its own.
// Putting a picture in waits for the server's word that it is in; that wait holds neither the main
// thread (a server that stops answering, or that another client's grab holds, stops the pictures,
// not the program) nor waits behind the events another client makes the server send the window's
// own connection. Made, fed and stopped on the main thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace xdisplay {

class XPresenter {
public:
    struct Rect {
        int x = 0, y = 0, width = 0, height = 0;
    };

    // None where the display cannot be opened again, or the window's pixels are not the 32-bit
    // kind the pictures are (`reason` says why): the caller shows them its own way.
    static std::unique_ptr<XPresenter> open(const std::string& display, unsigned long window, std::string& reason);
    // Stops (see stop()).
    ~XPresenter();

    // Takes a picture to show: `pixels` in rows of `stride` bytes, 32 bits a pixel (blue, green,
    // red, then unused, in memory), `width` by `height`, placed at `place` in a window `windowWidth`
    // by `windowHeight` (the rest is painted black), with the parts redrawn since the last picture
    // (none: all of it). Copied at once; the newest picture taken is the one shown next.
    void show(const std::uint8_t* pixels, std::size_t stride, int width, int height, Rect place, int windowWidth,
              int windowHeight, const std::vector<Rect>& redrawn);
    // Whether the server answers a request on the presenter's connection within `seconds`.
    bool answers(double seconds);
    // How many pictures the server took.
    long shown() const;
    // Stops the thread, waiting at most `seconds` for a picture on its way in; whether it stopped.
    // A thread still waiting on the server is left behind, with what it uses.
    bool stop(double seconds);

    struct State;

private:
    explicit XPresenter(std::shared_ptr<State> state);
    std::shared_ptr<State> state_;
    bool stopped_ = false;
};

}  // namespace xdisplay
