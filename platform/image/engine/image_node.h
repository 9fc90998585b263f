// ImageNode: one immutable step of an image recipe, and the tiles the renderer fills.
//
// Coordinates: a node has its own space (its extent's space, origin at the bottom left). A render
// asks a node for a rectangle of whole pixels in a request space, together with the affine map
// from the node's space to the request space. Transforms, crops and scales along the way only
// change that map, so resampling happens once, at the sources, at the resolution the render
// needs. Pixel (i, j) of a request covers [i, i+1) x [j, j+1); its centre is (i + 0.5, j + 0.5).
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "platform/image/color_space.h"
#include "platform/runtime/geometry.h"

class RenderArena;
class ImageNode;
class ColorTransformPlan;

struct PixelRect {
    long x = 0, y = 0, w = 0, h = 0;
    bool empty() const { return w <= 0 || h <= 0; }
    bool operator==(const PixelRect&) const = default;
};

PixelRect intersect(const PixelRect& a, const PixelRect& b);
// Pixels whose centres lie inside the rectangle (limited to +-2^40 for infinite extents).
PixelRect pixelsCovering(const CGRect& r);
// Pixels that touch the rectangle at all.
PixelRect pixelsTouching(const CGRect& r);

// Planar float RGBA, premultiplied alpha, rows bottom-up: row j holds y = rect.y + j.
struct Tile {
    PixelRect rect;
    std::size_t stride = 0;  // floats between rows of a plane
    float* plane[4] = {nullptr, nullptr, nullptr, nullptr};

    float* row(int c, long j) const { return plane[c] + static_cast<std::size_t>(j) * stride; }
    void clear() const;
    void clearOutside(const PixelRect& keep) const;
    // A tile over `rect` with memory from the arena.
    static Tile allocate(RenderArena& arena, const PixelRect& rect);
};

// What a whole render shares: the working space and results computed before tiling.
class RenderJob {
public:
    std::shared_ptr<CGColorSpace> working;  // none: colour management off
    // Down-scaling may sample (bilinear at each output pixel) instead of averaging whole areas:
    // cheaper, for on-screen previews whose cost should follow output pixels.
    bool sampled = false;
    // Results of reductions, keyed by node.
    struct Prepared {
        const ImageNode* node;
        std::vector<float> values;
    };
    std::vector<Prepared> prepared;
    const std::vector<float>* preparedFor(const ImageNode* node) const {
        for (const auto& p : prepared)
            if (p.node == node) return &p.values;
        return nullptr;
    }
    // Conversions from sources' colour spaces into the working space, looked up before tiling.
    struct Conversion {
        const ImageNode* node;
        std::shared_ptr<const ColorTransformPlan> plan;
    };
    std::vector<Conversion> conversions;
    const ColorTransformPlan* conversionFor(const ImageNode* node) const {
        for (const auto& c : conversions)
            if (c.node == node) return c.plan.get();
        return nullptr;
    }
};

struct TileContext {
    RenderArena& arena;
    const RenderJob& job;
};

class PointOp;

class ImageNode : public std::enable_shared_from_this<ImageNode> {
public:
    virtual ~ImageNode() = default;

    const CGRect& extent() const { return extent_; }

    // Fills out.rect of this node as seen through toRequest (node space -> request space).
    virtual void render(const Tile& out, const CGAffineTransform& toRequest, TileContext& ctx) const = 0;
    // Per-pixel colour steps return their operation so that chains of them run in one pass.
    virtual const PointOp* pointOp() const { return nullptr; }
    virtual std::vector<const ImageNode*> inputs() const { return {}; }
    // Work a render needs once before its tiles (reductions); inputs are prepared first.
    virtual void prepare(RenderJob& job, RenderArena& arena) const {
        (void)job;
        (void)arena;
    }
    // One line for the plan dump.
    virtual std::string label() const = 0;
    // Bitmap sources report their pixel size (for the contexts' input limits).
    virtual CGSize sourcePixelSize() const { return {0, 0}; }

protected:
    explicit ImageNode(CGRect extent) : extent_(extent) {}
    CGRect extent_;
};

using NodePtr = std::shared_ptr<const ImageNode>;

// The plan as indented text.
std::string describePlan(const ImageNode& root);
// Runs prepare() over the graph, inputs first, each node once.
void prepareGraph(const ImageNode& root, RenderJob& job, RenderArena& arena);
// The largest bitmap source in the graph.
CGSize largestSource(const ImageNode& root);
