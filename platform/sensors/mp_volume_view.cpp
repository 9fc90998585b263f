// The volume view.
#include "platform/sensors/mp_volume_view.h"

std::atomic<int> MPVolumeView::live_{0};

void MPVolumeView::init() {
    UIView::init();
    ++live_;
}

MPVolumeView::~MPVolumeView() {
    --live_;
}

int MPVolumeView::liveCount() {
    return live_.load();
}
