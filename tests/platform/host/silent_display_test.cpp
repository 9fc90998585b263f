// The tests' display that never answers holds its number as an X server does, by its socket in the
// abstract namespace too: a number held there by a server elsewhere on the machine is passed by,
// and a client that connects by that address reaches it.
#include "tests/support/silent_display.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// A listener on display `number`'s abstract address, as a server in another /tmp of the machine
// holds it; -1 when the address is taken already.
int holdAbstract(int number) {
    sockaddr_un address{};
    const socklen_t length = testsupport::abstractDisplayAddress(number, address);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), length) == 0 && ::listen(fd, 1) == 0) return fd;
    if (fd >= 0) ::close(fd);
    return -1;
}

TEST(SilentDisplay, ItsNumberIsHeldInTheAbstractNamespaceWhereOneHeldAlreadyIsPassedBy) {
    // A number of a band the other cases do not use, with no lock file, held here as a server would.
    int number = -1, elsewhere = -1;
    const int start = static_cast<int>(std::random_device{}() % 100);
    for (int i = 0; i < 100 && elsewhere < 0; ++i) {
        number = 300 + (start + i) % 100;
        if (!std::filesystem::exists("/tmp/.X" + std::to_string(number) + "-lock")) elsewhere = holdAbstract(number);
    }
    ASSERT_GE(elsewhere, 0) << "no free display number from 300 to 399";
    const std::string lock = "/tmp/.X" + std::to_string(number) + "-lock";
    {
        testsupport::SilentDisplay silent(number, 1);
        EXPECT_FALSE(silent.ready()) << "display :" << number << " is another server's";
        EXPECT_FALSE(std::filesystem::exists(lock)) << "the lock of a number not taken is left";
    }
    ::close(elsewhere);

    testsupport::SilentDisplay silent(number, 1);
    ASSERT_TRUE(silent.ready());
    EXPECT_EQ(silent.name(), ":" + std::to_string(number));
    EXPECT_TRUE(std::filesystem::exists(lock));
    const int again = holdAbstract(number);
    EXPECT_EQ(again, -1) << "the abstract address is free while the display holds the number";
    if (again >= 0) ::close(again);

    sockaddr_un address{};
    const socklen_t length = testsupport::abstractDisplayAddress(number, address);
    const int client = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_EQ(::connect(client, reinterpret_cast<sockaddr*>(&address), length), 0);
    EXPECT_TRUE(silent.connected(10)) << "a client by the abstract address is not taken";
    ::close(client);
}

}  // namespace
