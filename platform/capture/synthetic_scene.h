// The synthetic camera's scene: colour bars over a grey ramp with a grey square that moves across,
// rendered as the controls make a sensor see it. Cheap enough to run at 30 frames a second:
// colours are computed once per frame and rows are filled from precomputed spans.
#pragma once

#include "platform/capture/cv_pixel_buffer.h"

struct SyntheticSceneParams {
    double time = 0;                   // seconds; moves the square
    double exposure = 1;               // light reaching the sensor relative to a correct exposure
    float channelGain[3] = {1, 1, 1};  // red, green, blue cast after white balance
    double zoom = 1;                   // magnification about the centre
    double blurFraction = 0;           // focus blur radius as a fraction of the width
};

// Linear radiance of the scene's patches, before exposure: the eight bars (white, yellow, cyan,
// green, magenta, red, blue, black), then the ramp of eight greys. Tests read these to check pixels.
struct SyntheticSceneColor {
    float r, g, b;
};
const SyntheticSceneColor* syntheticBarColors();   // 8 entries
const SyntheticSceneColor* syntheticRampColors();  // 8 entries
inline constexpr SyntheticSceneColor kSyntheticSquareColor{0.18f, 0.18f, 0.18f};
// The share of the height the bars take (the ramp has the rest), and the square's side as a share
// of the height.
inline constexpr double kSyntheticBarsShare = 2.0 / 3.0;
inline constexpr double kSyntheticSquareShare = 0.2;

// Linear light to an 8-bit sRGB-encoded value, clipping above 1.
std::uint8_t syntheticEncode(double linear);

void renderSyntheticScene(CVPixelBuffer& out, const SyntheticSceneParams& params);
