// Source-over compositing of two recipe branches.
#include "platform/image/engine/composite_node.h"

#include "platform/image/engine/geometry_nodes.h"
#include "platform/image/engine/kernels.h"
#include "platform/image/engine/render_arena.h"

SourceOverNode::SourceOverNode(NodePtr foreground, NodePtr background)
    : ImageNode(CGRectUnion(foreground->extent(), background->extent())),
      foreground_(std::move(foreground)),
      background_(std::move(background)) {}

void SourceOverNode::render(const Tile& out, const CGAffineTransform& toRequest, TileContext& ctx) const {
    background_->render(out, toRequest, ctx);
    // Only the part of the tile the foreground can reach is rendered and blended.
    PixelRect reach = out.rect;
    if (isRectilinear(toRequest))
        reach = intersect(out.rect, pixelsTouching(CGRectApplyAffineTransform(foreground_->extent(), toRequest)));
    if (CGRectIsInfinite(foreground_->extent())) reach = out.rect;
    if (reach.empty()) return;
    ArenaScope scope(ctx.arena);
    Tile fg = Tile::allocate(ctx.arena, reach);
    foreground_->render(fg, toRequest, ctx);
    Tile dst = subTile(out, reach);
    for (long j = 0; j < reach.h; ++j)
        kernels::sourceOver(dst.row(0, j), dst.row(1, j), dst.row(2, j), dst.row(3, j), fg.row(0, j), fg.row(1, j),
                            fg.row(2, j), fg.row(3, j), static_cast<std::size_t>(reach.w));
}
