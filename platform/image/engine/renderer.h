// The render spine: prepare the recipe, cut the region into tiles, render them in parallel,
// convert to the output space and hand each finished tile to a writer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/image/color_space.h"
#include "platform/image/engine/image_node.h"

class RenderArena;

// 8-bit premultiplied pixels with rows top-down; base is the pixel at (left, top).
struct RenderBytes {
    std::uint8_t* base = nullptr;
    std::size_t rowBytes = 0;
    long left = 0, top = 0;
    bool bgra = false;
};

struct RenderRequest {
    PixelRect region;                                         // request-space pixels to produce
    CGAffineTransform toRequest = CGAffineTransformIdentity;  // image space -> request space
    std::shared_ptr<CGColorSpace> working;                    // none: colour management off
    std::shared_ptr<CGColorSpace> output;                     // none: working values are written as they are
    std::size_t threads = 0;                                  // 0: the whole pool; 1: the calling thread only
    bool sampled = false;                                     // down-scaling may sample instead of averaging areas
    // Receives each finished tile (premultiplied, output space); called from several threads at once.
    std::function<void(const Tile&)> write;
    // Where write puts 8-bit pixels, when it only stores them: lets a lone colour step go from
    // source bytes to these bytes without float planes.
    RenderBytes bytes;
};

// Tile size of renders: wide rows keep source reads sequential, few rows keep tiles in cache.
inline constexpr long kTileWidth = 256;
inline constexpr long kTileHeight = 32;
// Tiles over a source read turned a quarter are cut tall (kTileWidth high) and this wide: every
// step of the recipe runs a row of the tile at a time, and rows much shorter than this spend as
// much on each call as on the pixels.
inline constexpr long kTurnedTileWidth = 64;
// The least work (output pixels) worth handing to one more thread.
inline constexpr long kPixelsPerThread = 2800;

// `arena` serves the calling thread (preparation, and tiles when the pool is busy or threads is 1).
void renderRecipe(const ImageNode& root, const RenderRequest& request, RenderArena& arena);
