// The host without a window: the screen exists only as a framebuffer that tests and tools read.
#pragma once

#include "platform/host/host.h"

class HeadlessHost : public Host {
public:
    explicit HeadlessHost(HostOptions options) : Host(std::move(options)) {}
    HostKind kind() const override { return HostKind::Headless; }
    int run() override;
};
