// A frame stream timed by the Clock: frame n is due at start + n / rate. After a jump of the clock
// only the latest due frame is made, as a sensor does not catch up on frames it never exposed.
// Frames come from a pool, so a warm stream does not allocate.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/capture/capture_device_driver.h"

// Fills a frame for the given time (seconds since the stream started).
using CaptureFrameRenderer = std::function<void(CVPixelBuffer& frame, double time)>;

std::unique_ptr<CaptureStream> startClockedVideo(const std::string& label, CMVideoDimensions size, double frameRate,
                                                 CaptureFrameRenderer render, CaptureVideoSink sink);
