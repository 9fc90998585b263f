// The screen every frame benchmark draws on: the headless host with the notched phone's screen.
#pragma once

#include "platform/host/headless_host.h"

inline HostOptions notchedHeadlessScreen() {
    HostOptions options;
    options.kind = HostKind::Headless;
    options.screen = *DeviceModel::named("notched");
    return options;
}
