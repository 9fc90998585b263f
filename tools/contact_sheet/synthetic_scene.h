// A photograph-like test scene drawn procedurally: sky gradient, sun haze, foliage, skin tones,
// a grey ramp and a few saturated patches.
#pragma once

#include "platform/image/codec/raster.h"

RasterRGBA8 makeSyntheticScene(int width, int height);
