// Bitmap sources: row loading, separable area resampling, transposed and general mappings.
#include "platform/image/engine/bitmap_source.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/image/engine/color_transform.h"
#include "platform/image/engine/kernels.h"
#include "platform/image/engine/render_arena.h"

namespace {

// Zeros kept in front of resampling lines, for reads of pixels that weigh nothing.
constexpr long kLinePad = 4;
// Source rows fetched ahead of a quarter turn's reads.
constexpr std::size_t kRowsAhead = 8;

// The source pixels that contribute to each output pixel along one axis, with their weights.
// Output pixel i covers a box of max(1, 1/scale) source pixels centred where its centre maps,
// so down-scaling averages areas and up-scaling interpolates linearly.
struct Taps {
    long* start = nullptr;    // first source index per output pixel
    int* count = nullptr;     // number of taps (0: nothing covers it)
    float* weight = nullptr;  // maxTaps weights per output pixel
    int maxTaps = 0;
    long lo = 0, hi = -1;  // source range used
    bool unit = true;      // every pixel has one tap of weight 1, or none
    // For the vector kernel: starts relative to lo, and weights tap by tap (zero past count).
    std::int32_t* rel = nullptr;
    float* weightT = nullptr;
    std::size_t strideT = 0;
    int usedTaps = 0;    // the largest count (often one less than maxTaps)
    bool pairs = false;  // every pixel reads two neighbours, two pixels on from the last (2:1)
    long pairBase = 0;   // line index the first pair starts at (pixels outside weigh 0)

    void transpose(RenderArena& arena, long n) {
        strideT = (static_cast<std::size_t>(n) + 15) & ~std::size_t{15};
        rel = static_cast<std::int32_t*>(arena.bytes(sizeof(std::int32_t) * strideT));
        weightT = arena.floats(strideT * static_cast<std::size_t>(maxTaps));
        std::fill(weightT, weightT + strideT * static_cast<std::size_t>(maxTaps), 0.0f);
        usedTaps = 0;
        long firstUsed = 0;
        while (firstUsed < n && count[firstUsed] == 0) ++firstUsed;
        pairs = firstUsed < n;
        const long base = pairs ? start[firstUsed] - 2 * firstUsed : 0;
        for (long i = 0; i < n && pairs; ++i) {
            const long at = base + 2 * i - lo;  // where pair i reads in the line
            pairs = count[i] == 2 ? start[i] == base + 2 * i
                                  : count[i] == 0 && at >= -kLinePad && at + 1 < hi - lo + 1 + maxTaps;
        }
        pairBase = base - lo;
        for (long i = 0; i < n; ++i) {
            usedTaps = std::max(usedTaps, count[i]);
            rel[i] = count[i] ? static_cast<std::int32_t>(start[i] - lo) : 0;
            for (int k = 0; k < count[i]; ++k)
                weightT[static_cast<std::size_t>(k) * strideT + static_cast<std::size_t>(i)] = weight[i * maxTaps + k];
        }
    }

    void build(RenderArena& arena, long first, long n, double scale, double offset, long size) {
        double width = std::max(1.0, 1.0 / std::fabs(scale));
        maxTaps = static_cast<int>(std::ceil(width)) + 1;
        start = static_cast<long*>(arena.bytes(sizeof(long) * static_cast<std::size_t>(n)));
        count = static_cast<int*>(arena.bytes(sizeof(int) * static_cast<std::size_t>(n)));
        weight = arena.floats(static_cast<std::size_t>(n) * static_cast<std::size_t>(maxTaps));
        lo = size;
        hi = -1;
        for (long i = 0; i < n; ++i) {
            double centre = (static_cast<double>(first + i) + 0.5 - offset) / scale;
            double a = centre - width / 2, b = centre + width / 2;
            long k0 = std::max(0L, static_cast<long>(std::floor(a)));
            long k1 = std::min(size - 1, static_cast<long>(std::ceil(b)) - 1);
            float* w = weight + i * maxTaps;
            int c = 0;
            long s = k0;
            for (long k = k0; k <= k1 && c < maxTaps; ++k) {
                double overlap = std::min(b, static_cast<double>(k + 1)) - std::max(a, static_cast<double>(k));
                if (overlap <= 1e-9) {
                    if (c == 0) s = k + 1;
                    continue;
                }
                w[c++] = static_cast<float>(overlap / width);
            }
            start[i] = s;
            count[i] = c;
            if (c > 0) {
                lo = std::min(lo, s);
                hi = std::max(hi, s + c - 1);
            }
            if (c > 1 || (c == 1 && w[0] != 1.0f)) unit = false;
        }
    }
};

}  // namespace

BitmapSource::BitmapSource(std::shared_ptr<const std::uint8_t> pixels, std::size_t bytesPerRow, int width, int height,
                           CIFormat format, CIAlphaMode alpha, std::shared_ptr<CGColorSpace> space)
    : ImageNode(CGRectMake(0, 0, width, height)),
      pixels_(std::move(pixels)),
      bytesPerRow_(bytesPerRow),
      width_(width),
      height_(height),
      format_(format),
      alpha_(alpha),
      space_(std::move(space)) {}

namespace {
// Whether a bitmap of the format shown with the orientation stands on its side.
bool turnsAQuarter(int exifOrientation, CIFormat format) {
    return exifOrientation >= 5 && exifOrientation <= 8 && format != CIFormat::RGBAf;
}
}  // namespace

BitmapSource::BitmapSource(std::shared_ptr<const std::uint8_t> pixels, std::size_t bytesPerRow, int width, int height,
                           CIFormat format, CIAlphaMode alpha, std::shared_ptr<CGColorSpace> space, int exifOrientation)
    : ImageNode(turnsAQuarter(exifOrientation, format) ? CGRectMake(0, 0, height, width)
                                                       : CGRectMake(0, 0, width, height)),
      pixels_(std::move(pixels)),
      bytesPerRow_(bytesPerRow),
      width_(width),
      height_(height),
      format_(format),
      alpha_(alpha),
      space_(std::move(space)) {
    if (exifOrientation < 2 || exifOrientation > 8 || format_ == CIFormat::RGBAf) return;
    orientation_ = exifOrientation;
    storedWidth_ = width, storedHeight_ = height;
    if (turnsAQuarter(orientation_, format_)) std::swap(width_, height_);
}

const std::uint8_t* BitmapSource::orientedRow(long row, std::ptrdiff_t& step) const {
    const long w = storedWidth_, h = storedHeight_;
    const auto stride = static_cast<std::ptrdiff_t>(bytesPerRow_);
    auto at = [&](long x, long y) { return pixels_.get() + y * stride + 4 * x; };
    switch (orientation_) {
        case 2: step = -4; return at(w - 1, row);
        case 3: step = -4; return at(w - 1, h - 1 - row);
        case 4: step = 4; return at(0, h - 1 - row);
        case 5: step = stride; return at(row, 0);
        case 6: step = -stride; return at(row, h - 1);
        case 7: step = -stride; return at(w - 1 - row, h - 1);
        case 8: step = stride; return at(w - 1 - row, 0);
        default: step = 4; return at(0, row);
    }
}

const std::uint8_t* BitmapSource::rowBytes(long y, long x0, std::size_t n) const {
    const long row = height_ - 1 - y;  // rows are stored top first
    if (orientation_ == 1) {
        const std::size_t pixelBytes = format_ == CIFormat::RGBAf ? 4 * sizeof(float) : 4;
        return pixels_.get() + static_cast<std::size_t>(row) * bytesPerRow_ + pixelBytes * static_cast<std::size_t>(x0);
    }
    if (turnsAQuarter(orientation_, format_)) {
        // Upright rows run down the stored columns, one cache line a pixel: whole-row readers
        // (a photo, an area average) take the bitmap turned once, in square blocks, instead.
        std::call_once(uprightOnce_, [this] {
            const std::size_t rowBytes = 4 * static_cast<std::size_t>(width_);
            upright_.reset(new std::uint8_t[rowBytes * static_cast<std::size_t>(height_)]);
            constexpr long kBlock = 64;
            for (long by = 0; by < height_; by += kBlock)
                for (long bx = 0; bx < width_; bx += kBlock)
                    for (long r = by; r < std::min<long>(height_, by + kBlock); ++r) {
                        std::ptrdiff_t step = 0;
                        const std::uint8_t* from = orientedRow(r, step) + bx * step;
                        std::uint8_t* to = upright_.get() + static_cast<std::size_t>(r) * rowBytes + 4 * bx;
                        for (long x = bx; x < std::min<long>(width_, bx + kBlock); ++x, from += step, to += 4)
                            std::memcpy(to, from, 4);
                    }
        });
        return upright_.get() +
               (static_cast<std::size_t>(row) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x0)) * 4;
    }
    // Gathered from where the upright pixels lie (along the stored rows), into this thread's
    // scratch row.
    thread_local std::vector<std::uint32_t> scratch;
    if (scratch.size() < n) scratch.resize(n);
    std::ptrdiff_t step = 0;
    const std::uint8_t* from = orientedRow(row, step) + x0 * step;
    for (std::size_t i = 0; i < n; ++i, from += step) std::memcpy(&scratch[i], from, 4);
    return reinterpret_cast<const std::uint8_t*>(scratch.data());
}

std::string BitmapSource::label() const {
    char buf[128];
    const char* f = format_ == CIFormat::RGBA8 ? "RGBA8" : format_ == CIFormat::BGRA8 ? "BGRA8" : "RGBAf";
    std::snprintf(buf, sizeof buf, "bitmap %dx%d %s%s %s%s", width_, height_, f,
                  alpha_ == CIAlphaMode::Straight ? " straight" : "", space_ ? space_->name().c_str() : "unmanaged",
                  orientation_ == 1 ? "" : (" orientation " + std::to_string(orientation_)).c_str());
    return buf;
}

void BitmapSource::loadRow(long y, long x0, std::size_t n, float* const p[4]) const {
    const std::uint8_t* row = rowBytes(y, x0, n);
    if (format_ != CIFormat::RGBAf) {
        loadBytes(row, n, p);
        return;
    }
    kernels::loadRGBAf(reinterpret_cast<const float*>(row), n, p[0], p[1], p[2], p[3]);
    if (alpha_ == CIAlphaMode::Straight) kernels::premultiply(p[0], p[1], p[2], p[3], n);
}

void BitmapSource::loadBytes(const std::uint8_t* pixels, std::size_t n, float* const p[4]) const {
    kernels::loadRGBA8(pixels, n, format_ == CIFormat::BGRA8, p[0], p[1], p[2], p[3]);
    if (alpha_ == CIAlphaMode::Straight) kernels::premultiply(p[0], p[1], p[2], p[3], n);
}

const std::uint8_t* BitmapSource::bytesAt(long x, long y, std::size_t n, bool& bgra) const {
    if (format_ == CIFormat::RGBAf || y < 0 || y >= height_ || x < 0 || x + static_cast<long>(n) > width_)
        return nullptr;
    bgra = format_ == CIFormat::BGRA8;
    return rowBytes(y, x, n);
}

void BitmapSource::loadPixels(long x, long y, std::size_t n, float* const planes[4]) const {
    const long end = x + static_cast<long>(n);
    const long x0 = std::max(x, 0L), x1 = std::min<long>(end, width_);
    if (y < 0 || y >= height_ || x1 <= x0) {
        for (int c = 0; c < 4; ++c) std::fill(planes[c], planes[c] + n, 0.0f);
        return;
    }
    for (int c = 0; c < 4; ++c) {
        std::fill(planes[c], planes[c] + (x0 - x), 0.0f);
        std::fill(planes[c] + (x1 - x), planes[c] + n, 0.0f);
    }
    float* at[4] = {planes[0] + (x0 - x), planes[1] + (x0 - x), planes[2] + (x0 - x), planes[3] + (x0 - x)};
    loadRow(y, x0, static_cast<std::size_t>(x1 - x0), at);
}

void BitmapSource::render(const Tile& out, const CGAffineTransform& A, TileContext& ctx) const {
    if (A.b == 0 && A.c == 0 && A.a != 0 && A.d != 0) {
        renderAxisAligned(out, A.a, A.tx, A.d, A.ty, ctx);
    } else if (A.a == 0 && A.d == 0 && A.b != 0 && A.c != 0) {
        if (renderQuarterTurn(out, A, ctx)) {
            if (const ColorTransformPlan* plan = ctx.job.conversionFor(this))
                for (long j = 0; j < out.rect.h; ++j)
                    plan->apply(out.row(0, j), out.row(1, j), out.row(2, j), out.row(3, j),
                                static_cast<std::size_t>(out.rect.w));
            return;
        }
        // Quarter turns: render upright into a transposed tile, then transpose.
        ArenaScope scope(ctx.arena);
        Tile t = Tile::allocate(ctx.arena, {out.rect.y, out.rect.x, out.rect.h, out.rect.w});
        renderAxisAligned(t, A.b, A.ty, A.c, A.tx, ctx);
        for (int c = 0; c < 4; ++c)
            kernels::transpose(t.plane[c], t.stride, out.plane[c], out.stride, static_cast<std::size_t>(t.rect.h),
                               static_cast<std::size_t>(t.rect.w));
    } else {
        renderGeneral(out, A, ctx);
    }
    if (const ColorTransformPlan* plan = ctx.job.conversionFor(this))
        for (long j = 0; j < out.rect.h; ++j)
            plan->apply(out.row(0, j), out.row(1, j), out.row(2, j), out.row(3, j),
                        static_cast<std::size_t>(out.rect.w));
}

bool BitmapSource::renderQuarterTurn(const Tile& out, const CGAffineTransform& A, TileContext& ctx) const {
    // Shrunk to half or less, a pixel's box covers two source pixels or more and no pixel has a
    // single tap (a tile wholly outside the bitmap comes out transparent on the general path too).
    if (format_ == CIFormat::RGBAf || (std::fabs(A.b) <= 0.5 && std::fabs(A.c) <= 0.5)) return false;
    ArenaScope scope(ctx.arena);
    RenderArena& arena = ctx.arena;
    // The taps of the upright tile the general path renders and then transposes: its columns are
    // the output's rows, its rows the output's columns.
    Taps cols, rows;
    cols.build(arena, out.rect.y, out.rect.h, A.b, A.ty, width_);
    rows.build(arena, out.rect.x, out.rect.w, A.c, A.tx, height_);
    if (!cols.unit || !rows.unit) return false;
    if (cols.hi < cols.lo || rows.hi < rows.lo) {
        out.clear();
        return true;
    }
    const std::size_t w = static_cast<std::size_t>(out.rect.w), h = static_cast<std::size_t>(out.rect.h);
    const std::size_t span = static_cast<std::size_t>(cols.hi - cols.lo + 1);
    // Where output row j's pixel lies in a source row's span (bytes), or -1 for none.
    auto* at = static_cast<std::ptrdiff_t*>(arena.bytes(sizeof(std::ptrdiff_t) * h));
    for (std::size_t j = 0; j < h; ++j) at[j] = cols.count[j] ? 4 * (cols.start[j] - cols.lo) : -1;
    // The pixels as stored, gathered turned: each source row read once, along its span, becomes
    // an output column; then each output row is converted whole.
    auto* turned = static_cast<std::uint8_t*>(arena.bytes(4 * w * h));
    // Each source row is a short run a whole row from the last, which the processor does not
    // fetch ahead by itself: ask for the runs a few rows ahead.
    auto fetch = [&](std::size_t i) {
        if (i < w && rows.count[i]) fetchAhead(rows.start[i], cols.lo, span);
    };
    for (std::size_t i = 0; i < kRowsAhead; ++i) fetch(i);
    for (std::size_t i = 0; i < w; ++i) {
        fetch(i + kRowsAhead);
        const std::uint8_t* src = rows.count[i] ? rowBytes(rows.start[i], cols.lo, span) : nullptr;
        for (std::size_t j = 0; j < h; ++j) {
            std::uint8_t* to = turned + 4 * (j * w + i);
            if (src && at[j] >= 0)
                std::memcpy(to, src + at[j], 4);
            else
                std::memset(to, 0, 4);
        }
    }
    for (std::size_t j = 0; j < h; ++j) {
        float* p[4] = {out.row(0, static_cast<long>(j)), out.row(1, static_cast<long>(j)),
                       out.row(2, static_cast<long>(j)), out.row(3, static_cast<long>(j))};
        loadBytes(turned + 4 * j * w, w, p);
    }
    return true;
}

void BitmapSource::prepare(RenderJob& job, RenderArena&) const {
    if (auto plan = ColorTransformPlan::between(space_, job.working))
        job.conversions.push_back({this, std::move(plan)});
}

void BitmapSource::renderAxisAligned(const Tile& out, double sx, double tx, double sy, double ty,
                                     TileContext& ctx) const {
    if (ctx.job.sampled && renderSampled(out, sx, tx, sy, ty, ctx)) return;
    // Pixel for pixel (every output pixel one stored pixel), a bitmap on its side is read where it
    // lies, tile by tile; the result is the same copy of pixels as through the upright rows.
    if (turnedAQuarter() && std::fabs(sx) == 1 && std::fabs(sy) == 1 && tx == std::floor(tx) && ty == std::floor(ty)) {
        renderTurnedUnit(out, sx, tx, sy, ty, ctx);
        return;
    }
    ArenaScope scope(ctx.arena);
    RenderArena& arena = ctx.arena;
    Taps cols, rows;
    cols.build(arena, out.rect.x, out.rect.w, sx, tx, width_);
    rows.build(arena, out.rect.y, out.rect.h, sy, ty, height_);
    if (cols.hi < cols.lo || rows.hi < rows.lo) {
        out.clear();
        return;
    }
    const std::size_t w = static_cast<std::size_t>(out.rect.w);
    const long span = cols.hi - cols.lo + 1;
    if (!cols.unit) cols.transpose(arena, out.rect.w);
    // Columns in order with unit weights read straight into place.
    bool colsDirect = cols.unit && sx == 1.0;
    float* line[4];
    // Lines carry zeros past the span: padded taps read there with weight 0.
    const std::size_t lineSize = static_cast<std::size_t>(span) + static_cast<std::size_t>(cols.maxTaps) + 16;
    for (auto& l : line) {
        l = arena.floats(lineSize + kLinePad) + kLinePad;
        std::fill(l - kLinePad, l, 0.0f);
        std::fill(l + span, l + lineSize, 0.0f);
    }

    // Output pixels of one row from a line of source pixels starting at column cols.lo.
    auto resampleLine = [&](float* const src[4], float* const dst[4]) {
        for (int c = 0; c < 4; ++c) {
            const float* line = src[c] - cols.lo;
            float* d = dst[c];
            if (cols.unit && sx == -1.0) {
                // A mirror: the covered pixels are the line backwards.
                long first = 0, last = out.rect.w - 1;
                while (first <= last && cols.count[first] == 0) ++first;
                while (last >= first && cols.count[last] == 0) --last;
                std::fill(d, d + first, 0.0f);
                std::fill(d + last + 1, d + w, 0.0f);
                if (last >= first)
                    kernels::reverseRow(line + cols.start[last], d + first, static_cast<std::size_t>(last - first + 1));
                continue;
            }
            if (cols.unit) {
                // Single taps in any order: pick pixels by index.
                for (long i = 0; i < out.rect.w; ++i) d[i] = cols.count[i] ? line[cols.start[i]] : 0.0f;
                continue;
            }
            if (cols.pairs)
                kernels::pairRow(src[c] + cols.pairBase, d, w, cols.weightT, cols.weightT + cols.strideT);
            else
                kernels::resampleRow(src[c], d, w, cols.rel, cols.weightT, static_cast<std::size_t>(cols.usedTaps),
                                     cols.strideT);
        }
    };
    // One output-width row, resampled horizontally from source row y.
    auto horizontal = [&](long y, float* const dst[4]) {
        if (colsDirect) {
            long first = 0;
            while (first < out.rect.w && cols.count[first] == 0) ++first;
            long last = out.rect.w - 1;
            while (last >= first && cols.count[last] == 0) --last;
            for (int c = 0; c < 4; ++c) {
                std::fill(dst[c], dst[c] + first, 0.0f);
                std::fill(dst[c] + last + 1, dst[c] + w, 0.0f);
            }
            if (last >= first) {
                float* at[4] = {dst[0] + first, dst[1] + first, dst[2] + first, dst[3] + first};
                loadRow(y, cols.start[first], static_cast<std::size_t>(last - first + 1), at);
            }
            return;
        }
        loadRow(y, cols.lo, static_cast<std::size_t>(span), line);
        resampleLine(line, dst);
    };

    if (rows.unit) {
        // A tile's rows are short runs a whole stored row apart: ask for them a few rows ahead.
        auto fetch = [&](long j) {
            if (j < out.rect.h && rows.count[j]) fetchAhead(rows.start[j], cols.lo, static_cast<std::size_t>(span));
        };
        for (long j = 0; j < static_cast<long>(kRowsAhead); ++j) fetch(j);
        for (long j = 0; j < out.rect.h; ++j) {
            fetch(j + static_cast<long>(kRowsAhead));
            float* dst[4] = {out.row(0, j), out.row(1, j), out.row(2, j), out.row(3, j)};
            if (rows.count[j] == 0)
                for (float* d : dst) std::fill(d, d + w, 0.0f);
            else
                horizontal(rows.start[j], dst);
        }
        return;
    }
    // Vertical first: each source row is converted once into a small cache (consecutive output
    // rows share at most a row or two), rows are combined across the column span, and only the
    // combined rows are resampled horizontally.
    const std::size_t spanStride = (static_cast<std::size_t>(span) + 15) & ~std::size_t{15};
    const long cacheRows = rows.maxTaps + 2;
    float* cache[4];
    float* combined[4];
    for (auto& c : cache) c = arena.floats(spanStride * static_cast<std::size_t>(cacheRows) + 16);
    for (auto& c : combined) {
        c = arena.floats(spanStride + static_cast<std::size_t>(cols.maxTaps) + 16 + kLinePad) + kLinePad;
        std::fill(c - kLinePad, c, 0.0f);
        std::fill(c + span, c + spanStride + cols.maxTaps + 16, 0.0f);
    }
    long* tag = static_cast<long*>(arena.bytes(sizeof(long) * static_cast<std::size_t>(cacheRows)));
    std::fill(tag, tag + cacheRows, -1L);
    auto sourceRow = [&](long y) {
        const std::size_t slot = static_cast<std::size_t>(y % cacheRows) * spanStride;
        if (tag[y % cacheRows] != y) {
            float* p[4] = {cache[0] + slot, cache[1] + slot, cache[2] + slot, cache[3] + slot};
            loadRow(y, cols.lo, static_cast<std::size_t>(span), p);
            tag[y % cacheRows] = y;
        }
        return slot;
    };
    // Premultiplied 8-bit rows are converted and weighted in one pass, without the cache.
    const bool fused = format_ != CIFormat::RGBAf && alpha_ == CIAlphaMode::Premultiplied;
    for (long j = 0; j < out.rect.h; ++j) {
        float* dst[4] = {out.row(0, j), out.row(1, j), out.row(2, j), out.row(3, j)};
        if (rows.count[j] == 0) {
            for (float* d : dst) std::fill(d, d + w, 0.0f);
            continue;
        }
        const float* wt = rows.weight + j * rows.maxTaps;
        if (fused) {
            for (int k = 0; k < rows.count[j]; ++k) {
                const long y = rows.start[j] + k;
                const std::uint8_t* row = rowBytes(y, cols.lo, static_cast<std::size_t>(span));
                kernels::accumulateRGBA8(row, static_cast<std::size_t>(span), format_ == CIFormat::BGRA8, k == 0, wt[k],
                                         combined[0], combined[1], combined[2], combined[3]);
            }
            resampleLine(combined, dst);
            continue;
        }
        for (int k = 0; k < rows.count[j]; ++k) {
            const std::size_t slot = sourceRow(rows.start[j] + k);
            for (int c = 0; c < 4; ++c) {
                if (k == 0)
                    kernels::scaleRow(combined[c], cache[c] + slot, wt[k], static_cast<std::size_t>(span));
                else
                    kernels::addScaledRow(combined[c], cache[c] + slot, wt[k], static_cast<std::size_t>(span));
            }
        }
        resampleLine(combined, dst);
    }
}

bool BitmapSource::renderSampled(const Tile& out, double sx, double tx, double sy, double ty, TileContext& ctx) const {
    if (!(std::fabs(sx) < 1 && std::fabs(sy) < 1) || format_ == CIFormat::RGBAf ||
        alpha_ != CIAlphaMode::Premultiplied || width_ < 2 || height_ < 2)
        return false;
    // The pair of source pixels under a sample position along one axis: the first index, where
    // between the two the sample lies, and a fade for samples that reach past the bitmap's edge
    // (the pixel outside counts as transparent).
    struct Pair {
        long first;
        float t, fade;
    };
    auto pairAt = [](double centre, long size) {
        const double p = centre - 0.5, p0 = std::floor(p);
        const float f = static_cast<float>(p - p0);
        if (!(p0 >= -1 && p0 <= static_cast<double>(size - 1))) return Pair{0, 0.0f, 0.0f};
        const long k = static_cast<long>(p0);
        if (k == -1) return Pair{0, 0.0f, f};
        if (k == size - 1) return Pair{size - 2, 1.0f, 1.0f - f};
        return Pair{k, f, 1.0f};
    };
    ArenaScope scope(ctx.arena);
    const std::size_t w = static_cast<std::size_t>(out.rect.w);
    auto* offset = static_cast<std::ptrdiff_t*>(ctx.arena.bytes(sizeof(std::ptrdiff_t) * w));
    float* fx = ctx.arena.floats(w);
    float* fade = ctx.arena.floats(w);
    for (std::size_t i = 0; i < w; ++i) {
        const Pair p = pairAt((static_cast<double>(out.rect.x) + static_cast<double>(i) + 0.5 - tx) / sx, width_);
        offset[i] = 4 * static_cast<std::ptrdiff_t>(p.first);
        fx[i] = p.t;
        fade[i] = p.fade;
    }
    const auto bytesPerRow = static_cast<std::ptrdiff_t>(bytesPerRow_);
    const bool bgra = format_ == CIFormat::BGRA8;
    if (orientation_ != 1) {
        // The pixels each sample reads, gathered from where they lie in the stored bitmap into two
        // short rows (the lower and the upper, each pixel with its right-hand neighbour), so the
        // samples are those of the upright bitmap without turning it.
        auto* pairs = static_cast<std::uint32_t*>(ctx.arena.bytes(sizeof(std::uint32_t) * 4 * w));
        auto* local = static_cast<std::ptrdiff_t*>(ctx.arena.bytes(sizeof(std::ptrdiff_t) * w));
        for (std::size_t i = 0; i < w; ++i) local[i] = static_cast<std::ptrdiff_t>(8 * i);
        for (long j = 0; j < out.rect.h; ++j) {
            const Pair p = pairAt((static_cast<double>(out.rect.y + j) + 0.5 - ty) / sy, height_);
            for (int r = 0; r < 2; ++r) {
                std::ptrdiff_t step = 0;
                const std::uint8_t* row = orientedRow(height_ - 1 - p.first - r, step);
                std::uint32_t* to = pairs + 2 * w * static_cast<std::size_t>(r);
                for (std::size_t i = 0; i < w; ++i) {
                    const std::uint8_t* at = row + (offset[i] / 4) * step;
                    std::memcpy(to + 2 * i, at, 4);
                    std::memcpy(to + 2 * i + 1, at + step, 4);
                }
            }
            const float rowScale = p.fade * (1.0f / 255.0f);
            kernels::bilinearRGBA8(reinterpret_cast<const std::uint8_t*>(pairs), local,
                                   static_cast<std::ptrdiff_t>(8 * w), fx, fade, p.t, rowScale, w, bgra, out.row(0, j),
                                   out.row(1, j), out.row(2, j), out.row(3, j));
        }
        return true;
    }
    // Each output row reads a short run of two stored rows, a few rows on from the last: too far
    // apart for the processor to fetch ahead by itself, so the runs a couple of output rows on
    // are asked for while this one is sampled. (Written out in the loop: a function that only
    // fetches ahead counts as one without effects, and calls to it are dropped.)
    const auto [least, most] = std::minmax_element(offset, offset + w);
    const std::ptrdiff_t runStart = *least, runEnd = *most + 8;
    // Rows are stored top first: the row above the lower one is one stride back.
    auto lowerRow = [&](long j) {
        const Pair p = pairAt((static_cast<double>(out.rect.y + j) + 0.5 - ty) / sy, height_);
        return pixels_.get() + static_cast<std::size_t>(height_ - 1 - p.first) * bytesPerRow_;
    };
    constexpr long kSampledAhead = 2;
    for (long j = -kSampledAhead; j < out.rect.h; ++j) {
        if (j + kSampledAhead < out.rect.h) {
            const std::uint8_t* ahead = lowerRow(j + kSampledAhead);
            for (std::ptrdiff_t at = runStart; at < runEnd; at += 64) {
                __builtin_prefetch(ahead + at, 0, 2);
                __builtin_prefetch(ahead - bytesPerRow + at, 0, 2);
            }
            __builtin_prefetch(ahead + runEnd - 1, 0, 2);
            __builtin_prefetch(ahead - bytesPerRow + runEnd - 1, 0, 2);
        }
        if (j < 0) continue;
        const Pair p = pairAt((static_cast<double>(out.rect.y + j) + 0.5 - ty) / sy, height_);
        const std::uint8_t* lower = lowerRow(j);
        const float rowScale = p.fade * (1.0f / 255.0f);  // exactly 1/255 inside the bitmap
        kernels::bilinearRGBA8(lower, offset, -bytesPerRow, fx, fade, p.t, rowScale, w, bgra, out.row(0, j),
                               out.row(1, j), out.row(2, j), out.row(3, j));
    }
    return true;
}

void BitmapSource::renderGeneral(const Tile& out, const CGAffineTransform& A, TileContext& ctx) const {
    // Bilinear sampling of the source region under the tile (any rotation or shear).
    ArenaScope scope(ctx.arena);
    const CGAffineTransform inv = CGAffineTransformInvert(A);
    CGRect area =
        CGRectApplyAffineTransform(CGRectMake(static_cast<double>(out.rect.x), static_cast<double>(out.rect.y),
                                              static_cast<double>(out.rect.w), static_cast<double>(out.rect.h)),
                                   inv);
    long x0 = std::max(0L, static_cast<long>(std::floor(area.origin.x)) - 1);
    long y0 = std::max(0L, static_cast<long>(std::floor(area.origin.y)) - 1);
    long x1 = std::min<long>(width_ - 1, static_cast<long>(std::ceil(area.origin.x + area.size.width)) + 1);
    long y1 = std::min<long>(height_ - 1, static_cast<long>(std::ceil(area.origin.y + area.size.height)) + 1);
    if (x1 < x0 || y1 < y0) {
        out.clear();
        return;
    }
    Tile src = Tile::allocate(ctx.arena, {x0, y0, x1 - x0 + 1, y1 - y0 + 1});
    for (long y = y0; y <= y1; ++y) {
        float* p[4] = {src.row(0, y - y0), src.row(1, y - y0), src.row(2, y - y0), src.row(3, y - y0)};
        loadRow(y, x0, static_cast<std::size_t>(x1 - x0 + 1), p);
    }
    auto at = [&](int c, long x, long y) -> float {
        if (x < x0 || x > x1 || y < y0 || y > y1) return 0.0f;
        return src.row(c, y - y0)[x - x0];
    };
    for (long j = 0; j < out.rect.h; ++j) {
        for (long i = 0; i < out.rect.w; ++i) {
            double u = static_cast<double>(out.rect.x + i) + 0.5, v = static_cast<double>(out.rect.y + j) + 0.5;
            double x = inv.a * u + inv.c * v + inv.tx - 0.5, y = inv.b * u + inv.d * v + inv.ty - 0.5;
            double fx0 = std::floor(x), fy0 = std::floor(y);
            long ix = static_cast<long>(fx0), iy = static_cast<long>(fy0);
            float fx = static_cast<float>(x - fx0), fy = static_cast<float>(y - fy0);
            for (int c = 0; c < 4; ++c) {
                float top = at(c, ix, iy) * (1 - fx) + at(c, ix + 1, iy) * fx;
                float bottom = at(c, ix, iy + 1) * (1 - fx) + at(c, ix + 1, iy + 1) * fx;
                out.row(c, j)[i] = top * (1 - fy) + bottom * fy;
            }
        }
    }
}
