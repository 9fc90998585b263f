// The yardstick of the frame benchmarks: one full-screen paint of a photograph-sized image on the
// host's screen, best of `runs`.
#pragma once

class HeadlessHost;

double fullScreenImagePaint(HeadlessHost& host, int runs);
