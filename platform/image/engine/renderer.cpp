// The render spine.
#include "platform/image/engine/renderer.h"

#include <algorithm>
#include <cmath>

#include "platform/image/engine/bitmap_source.h"
#include "platform/image/engine/color_transform.h"
#include "platform/image/engine/geometry_nodes.h"
#include "platform/image/engine/point_node.h"
#include "platform/image/engine/render_arena.h"
#include "platform/image/engine/render_pool.h"

namespace {

// Whether the main source is read turned a quarter (its rows become columns of the output).
// Tiles are then cut tall and narrow, so each tile reads long runs of source rows.
bool sourceTurned(const ImageNode& root, const CGAffineTransform& toRequest) {
    CGAffineTransform map = toRequest;
    const ImageNode* node = &root;
    for (int depth = 0; node && depth < 256; ++depth) {
        if (auto* t = dynamic_cast<const TransformNode*>(node)) map = CGAffineTransformConcat(t->transform(), map);
        auto inputs = node->inputs();
        if (inputs.empty()) break;
        node = inputs.back();  // composites: the background, the larger part as a rule
    }
    return map.a == 0 && map.d == 0;
}

}  // namespace

void renderRecipe(const ImageNode& root, const RenderRequest& request, RenderArena& arena) {
    // 1. Work needed once (reductions), on the calling thread.
    RenderJob job;
    job.working = request.working;
    job.sampled = request.sampled;
    arena.reset();
    prepareGraph(root, job, arena);
    auto outputPlan = ColorTransformPlan::between(request.working, request.output);

    // Colour steps straight over an unscaled bitmap run a row at a time: each row goes from the
    // bitmap through every step to the writer while it is still in the cache.
    const PointChain chain = PointChain::of(root);
    const auto* bitmap = dynamic_cast<const BitmapSource*>(chain.base);
    // (A bitmap on its side has its rows down the stored columns: it goes by tiles, each turned
    // in the cache.)
    if (bitmap && bitmap->turnedAQuarter()) bitmap = nullptr;
    const CGAffineTransform& A = request.toRequest;
    const bool rowWise =
        bitmap && A.a == 1 && A.b == 0 && A.c == 0 && A.d == 1 && A.tx == std::floor(A.tx) && A.ty == std::floor(A.ty);
    const ColorTransformPlan* inputPlan = bitmap ? job.conversionFor(bitmap) : nullptr;
    // A lone colour step between 8-bit pixels without colour conversions may skip the planes.
    const bool bytewise = rowWise && request.bytes.base && chain.count == 1 && !inputPlan && !outputPlan;

    // 2. Tiles over the region, in rows of tiles from the top so writers fill memory in order.
    const PixelRect& region = request.region;
    const bool tall = sourceTurned(root, request.toRequest);
    long tileW = tall ? kTurnedTileWidth : kTileWidth, tileH = tall ? kTileWidth : kTileHeight;
    // Small renders (thumbnails) use fewer threads: waking and waiting for a thread costs more
    // than a few thousand pixels of work. They are cut finer so that every thread gets a share.
    const long pixels = region.w * region.h;
    const long threads = std::clamp(pixels / kPixelsPerThread, 1L,
                                    static_cast<long>(request.threads ? request.threads : RenderPool::shared().size()));
    // Rows read straight from the bitmap are taken whole: one long stream per row, which the
    // memory system fetches ahead far better than many short pieces of rows. Bands of them are
    // thin enough that every thread gets a good number, so that all finish close together.
    if (rowWise) {
        tileW = std::max(1L, region.w);
        tileH = std::clamp(region.h / (16 * threads), 4L, kTileHeight);
    }
    const long wanted = 2 * threads;
    auto tiles = [&] { return ((region.w + tileW - 1) / tileW) * ((region.h + tileH - 1) / tileH); };
    // Rows are split first (wide rows keep source reads long), down to 8 rows. A small region
    // is cut into equal bands, so that every thread gets the same number of them and no thread
    // is left with one more tile than the others at the end.
    long& rows = tall ? tileW : tileH;
    const long extent = tall ? region.w : region.h;
    if (tiles() < wanted && threads > 1 && rows > 8) {
        const long side = tall ? (region.h + tileH - 1) / tileH : (region.w + tileW - 1) / tileW;
        const long bands = (wanted + side - 1) / side;
        rows = std::max(8L, std::min(rows, (extent + bands - 1) / bands));
    }
    const long across = (region.w + tileW - 1) / tileW;
    const long down = (region.h + tileH - 1) / tileH;
    const std::size_t count = static_cast<std::size_t>(across * down);

    auto task = [&](std::size_t index, RenderArena& tileArena) {
        long tx = static_cast<long>(index) % across, ty = static_cast<long>(index) / across;
        long top = region.y + region.h - ty * tileH;
        long h = std::min(tileH, top - region.y);
        long x = region.x + tx * tileW;
        PixelRect rect{x, top - h, std::min(tileW, region.x + region.w - x), h};
        if (rowWise) {
            Tile row = Tile::allocate(tileArena, {rect.x, rect.y, rect.w, 1});
            const std::size_t n = static_cast<std::size_t>(rect.w);
            for (long j = 0; j < rect.h; ++j) {
                row.rect.y = rect.y + j;
                if (bytewise) {
                    bool bgra = false;
                    const long sx = rect.x - static_cast<long>(A.tx), sy = row.rect.y - static_cast<long>(A.ty);
                    const RenderBytes& to = request.bytes;
                    std::uint8_t* dst = to.base + static_cast<std::size_t>(to.top - row.rect.y) * to.rowBytes +
                                        4 * static_cast<std::size_t>(rect.x - to.left);
                    if (const std::uint8_t* src = bitmap->bytesAt(sx, sy, n, bgra);
                        src && chain.ops[0]->applyToBytes(src, bgra, dst, to.bgra, n))
                        continue;
                }
                bitmap->loadPixels(rect.x - static_cast<long>(A.tx), row.rect.y - static_cast<long>(A.ty), n,
                                   row.plane);
                if (inputPlan) inputPlan->apply(row.plane[0], row.plane[1], row.plane[2], row.plane[3], n);
                chain.applyToTile(row, A);
                if (outputPlan) outputPlan->apply(row.plane[0], row.plane[1], row.plane[2], row.plane[3], n);
                request.write(row);
            }
            return;
        }
        Tile tile = Tile::allocate(tileArena, rect);
        TileContext ctx{tileArena, job};
        // 3. The recipe fills the tile; 4. conversion to the output space; 5. the writer.
        root.render(tile, request.toRequest, ctx);
        if (outputPlan)
            for (long j = 0; j < rect.h; ++j)
                outputPlan->apply(tile.row(0, j), tile.row(1, j), tile.row(2, j), tile.row(3, j),
                                  static_cast<std::size_t>(rect.w));
        request.write(tile);
    };

    auto inline_ = [&] {
        for (std::size_t i = 0; i < count; ++i) {
            arena.reset();
            task(i, arena);
        }
    };
    if (threads == 1 || count == 1) {
        inline_();
        return;
    }
    // A render that finds the pool busy (another context, or a render inside a render) runs here.
    if (!RenderPool::shared().tryRun(count, static_cast<std::size_t>(threads), task)) inline_();
}
