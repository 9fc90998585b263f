// A server on 127.0.0.1 that answers every connection with text that is not HTTP and hangs up:
// for clients that must fail cleanly on a peer that speaks nonsense.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <thread>

class JunkServer {
public:
    JunkServer() {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(fd_, reinterpret_cast<sockaddr*>(&address), length);
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        ::listen(fd_, 8);
        thread_ = std::thread([this] { serve(); });
    }
    JunkServer(const JunkServer&) = delete;
    JunkServer& operator=(const JunkServer&) = delete;
    ~JunkServer() {
        stopping_ = true;
        thread_.join();
        ::close(fd_);
    }

    std::string url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }

private:
    void serve() {
        while (!stopping_) {
            pollfd waiting{fd_, POLLIN, 0};
            if (::poll(&waiting, 1, 20) <= 0) continue;
            int client = ::accept(fd_, nullptr, nullptr);
            if (client < 0) continue;
            char request[4096];
            (void)::recv(client, request, sizeof request, 0);
            const char junk[] = "\x01\x02 this is not a reply\r\n\r\n\xff\xfe";
            (void)::send(client, junk, sizeof junk - 1, MSG_NOSIGNAL);
            ::close(client);
        }
    }

    int fd_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};
