// The display reading's screen on events as bytes: what goes on within a turn's share, what is kept
// past it and folded, what each turn hands on and in which order, and the last turn's and the
// closing's reading.
#include "platform/host/x_event_screen.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

// Last: the X headers define plain names as macros.
#include <X11/X.h>

namespace {

using xdisplay::XEventScreen;

constexpr std::uint32_t kWindow = 0x400001;

xEvent event(int type, std::uint32_t atom = 0, std::uint32_t time = 0, bool sent = false) {
    xEvent wire{};
    wire.u.u.type = static_cast<BYTE>(type | (sent ? 0x80 : 0));
    if (type == PropertyNotify) {
        wire.u.property.window = kWindow;
        wire.u.property.atom = atom;
        wire.u.property.time = time;
    } else if (type == Expose || type == UnmapNotify) {
        wire.u.expose.window = kWindow;
    } else {
        wire.u.keyButtonPointer.event = kWindow;
        wire.u.keyButtonPointer.time = time;
    }
    return wire;
}

struct Screen : ::testing::Test {
    XEventScreen screen;
    std::vector<xEvent> handed;
    XEventScreen::Enqueue enqueue = [this](const xEvent& wire) { handed.push_back(wire); };

    // The turn's share read away by exposures.
    void readTheShare() {
        for (int i = 0; i < XEventScreen::kReadATurn; ++i) ASSERT_TRUE(screen.read(event(Expose)));
    }
    // Turns until nothing is kept; what they handed on, and the most one turn handed.
    std::size_t turnsUntilEmpty(int& turns) {
        std::size_t most = 0;
        for (turns = 0; screen.kept() > 0 && turns < 10'000; ++turns) {
            const std::size_t before = handed.size();
            screen.beginTurn(enqueue);
            most = std::max(most, handed.size() - before);
        }
        return most;
    }
    int count(int type, std::uint32_t atom = 0) const {
        int n = 0;
        for (const auto& wire : handed)
            if ((wire.u.u.type & 0x7f) == type && (type != PropertyNotify || wire.u.property.atom == atom)) ++n;
        return n;
    }
};

}  // namespace

TEST_F(Screen, AStatesChangesPastTheShareFoldIntoItsNewestAndWaitForTheQuietTurns) {
    readTheShare();
    for (std::uint32_t i = 1; i <= 2000; ++i) EXPECT_FALSE(screen.read(event(PropertyNotify, 7, i)));
    for (std::uint32_t atom = 100; atom < 140; ++atom) screen.read(event(PropertyNotify, atom));
    EXPECT_TRUE(screen.flooded());
    EXPECT_EQ(screen.kept(), 41u);
    // While the reading does not keep up, no state is handed on.
    screen.beginTurn(enqueue);
    EXPECT_TRUE(handed.empty());
    int turns = 0;
    EXPECT_LE(turnsUntilEmpty(turns), static_cast<std::size_t>(XEventScreen::kStatesATurn));
    EXPECT_GE(turns, XEventScreen::kQuietTurns);
    ASSERT_EQ(count(PropertyNotify, 7), 1);
    EXPECT_EQ(handed.front().u.property.time, 2000u);
    for (std::uint32_t atom = 100; atom < 140; ++atom) EXPECT_EQ(count(PropertyNotify, atom), 1) << atom;
}

TEST_F(Screen, TheKeyboardExtensionsWordFoldsByKindAndDevice) {
    constexpr int kKeyboard = 85;
    screen.reset(nullptr, kKeyboard);
    readTheShare();
    for (int i = 0; i < 1000; ++i) {
        xEvent map = event(kKeyboard);
        map.u.u.detail = 1;
        reinterpret_cast<std::uint8_t*>(&map)[8] = static_cast<std::uint8_t>(3 + i % 2);
        EXPECT_FALSE(screen.read(map));
    }
    EXPECT_EQ(screen.kept(), 2u);
}

TEST_F(Screen, WithinTheShareAFewStatesGoOnAndTheRestFold) {
    int wentOn = 0;
    for (std::uint32_t atom = 1; atom <= 100; ++atom) wentOn += screen.read(event(PropertyNotify, atom));
    EXPECT_EQ(wentOn, XEventScreen::kStatesATurn);
    EXPECT_EQ(screen.kept(), 100u - XEventScreen::kStatesATurn);
    EXPECT_FALSE(screen.read(event(PropertyNotify, 100)));
    EXPECT_EQ(screen.kept(), 100u - XEventScreen::kStatesATurn);
    // A key still goes on at once: nothing of its sort waits.
    EXPECT_TRUE(screen.read(event(KeyPress)));
    EXPECT_FALSE(screen.flooded());
}

TEST_F(Screen, WhileTheReadingDoesNotKeepUpNoStateGoesOnAtOnce) {
    readTheShare();
    EXPECT_FALSE(screen.read(event(Expose)));
    screen.beginTurn(enqueue);
    ASSERT_EQ(screen.kept(), 0u);
    EXPECT_TRUE(screen.flooded());
    EXPECT_FALSE(screen.read(event(PropertyNotify, 1)));
    EXPECT_TRUE(screen.read(event(KeyPress)));
}

TEST_F(Screen, NoStateGoesOnWhileTheDisplayHoldsMore) {
    static bool more = true;
    screen.reset([] { return more; });
    EXPECT_FALSE(screen.read(event(PropertyNotify, 1)));
    EXPECT_TRUE(screen.read(event(KeyPress)));
    // Nor is one handed on then; once it holds nothing more, it is.
    screen.beginTurn(enqueue);
    EXPECT_TRUE(handed.empty());
    more = false;
    screen.beginTurn(enqueue);
    EXPECT_EQ(count(PropertyNotify, 1), 1);
}

// Within the share another client's state waits as the server's does, apart from it: a window
// manager's word on a move read behind a kept state is handed on after it, not dropped, and cannot
// stand in for the server's word of its kind.
TEST_F(Screen, AnotherClientsStateWithinTheShareWaitsApartFromTheServers) {
    auto configure = [](std::int16_t x, bool sent) {
        xEvent wire{};
        wire.u.u.type = static_cast<BYTE>(ConfigureNotify | (sent ? 0x80 : 0));
        wire.u.configureNotify.event = wire.u.configureNotify.window = kWindow;
        wire.u.configureNotify.x = x;
        return wire;
    };
    static bool more = true;
    screen.reset([] { return more; });
    EXPECT_FALSE(screen.read(configure(1, false)));
    more = false;
    EXPECT_FALSE(screen.read(configure(2, true)));
    EXPECT_FALSE(screen.read(configure(3, true)));
    EXPECT_EQ(screen.kept(), 2u);
    screen.beginTurn(enqueue);
    ASSERT_EQ(handed.size(), 2u);
    EXPECT_EQ(handed[0].u.u.type, ConfigureNotify);
    EXPECT_EQ(handed[0].u.configureNotify.x, 1);
    EXPECT_EQ(handed[1].u.u.type, ConfigureNotify | 0x80);
    EXPECT_EQ(handed[1].u.configureNotify.x, 3);
    // In the last turn no turn comes after to hand it on: it is dropped.
    screen.lastTurn(enqueue);
    more = true;
    EXPECT_FALSE(screen.read(configure(4, true)));
    EXPECT_EQ(screen.kept(), 0u);
}

TEST_F(Screen, KeysAndClicksHaveRoomOfTheirOwnAndGoFirst) {
    readTheShare();
    for (std::uint32_t i = 0; i < 3 * XEventScreen::kKeptMost; ++i) {
        screen.read(event(Expose));
        screen.read(event(PropertyNotify, i));
    }
    EXPECT_EQ(screen.kept(), 2 * XEventScreen::kKeptMost);
    screen.read(event(KeyPress, 0, 1));
    screen.read(event(KeyRelease, 0, 2));
    // Another client's past the share: dropped.
    EXPECT_FALSE(screen.read(event(ButtonPress, 0, 3, true)));
    screen.beginTurn(enqueue);
    ASSERT_GE(handed.size(), 2u);
    EXPECT_EQ(handed[0].u.u.type, KeyPress);
    EXPECT_EQ(handed[1].u.u.type, KeyRelease);
    EXPECT_EQ(handed.size(), static_cast<std::size_t>(XEventScreen::kReadATurn));
    // The exposures kept come in order after them, each once; then the states as turns are quiet.
    int turns = 0;
    EXPECT_LE(turnsUntilEmpty(turns), static_cast<std::size_t>(XEventScreen::kReadATurn));
    EXPECT_EQ(count(Expose), static_cast<int>(XEventScreen::kKeptMost));
    EXPECT_EQ(count(PropertyNotify, 5), 1);
}

TEST_F(Screen, TheLastTurnHandsOnTheKeysTakesTheNextAtOnceAndKeepsNothing) {
    readTheShare();
    screen.read(event(PropertyNotify, 1));
    screen.read(event(KeyPress, 0, 1));
    screen.read(event(Expose));
    screen.lastTurn(enqueue);
    ASSERT_EQ(handed.size(), 2u);
    EXPECT_EQ(handed[0].u.u.type, KeyPress);
    EXPECT_EQ(handed[1].u.u.type, Expose);
    readTheShare();
    EXPECT_TRUE(screen.read(event(KeyRelease, 0, 2)));
    EXPECT_FALSE(screen.read(event(PropertyNotify, 2)));
    EXPECT_FALSE(screen.read(event(Expose)));
    EXPECT_EQ(screen.kept(), 0u);
}

TEST_F(Screen, ClosingLetsTheServersUnmappingOnPastTheShare) {
    readTheShare();
    screen.read(event(KeyPress));
    screen.closing();
    EXPECT_EQ(screen.phase(), XEventScreen::Phase::Closing);
    EXPECT_EQ(screen.kept(), 0u);
    EXPECT_TRUE(screen.read(event(UnmapNotify)));
    EXPECT_FALSE(screen.read(event(UnmapNotify, 0, 0, true)));
    EXPECT_FALSE(screen.read(event(PropertyNotify, 1)));
    screen.beginTurn(enqueue);
    EXPECT_EQ(screen.phase(), XEventScreen::Phase::Closing);
}
