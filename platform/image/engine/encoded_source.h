// EncodedSource: a JPEG in memory, decoded when a render needs it and only at the resolution
// that render needs (the decoder scales by eighths), each resolution once.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/image/engine/image_node.h"

class EncodedSource final : public ImageNode {
public:
    // `width` x `height` as stored. The caller has checked that the data decodes.
    EncodedSource(std::shared_ptr<const std::vector<std::uint8_t>> data, int width, int height,
                  std::shared_ptr<CGColorSpace> space);

    void render(const Tile& out, const CGAffineTransform& toRequest, TileContext& ctx) const override;
    void prepare(RenderJob& job, RenderArena& arena) const override;
    std::string label() const override;
    CGSize sourcePixelSize() const override { return {static_cast<double>(width_), static_cast<double>(height_)}; }
    const std::shared_ptr<CGColorSpace>& colorSpace() const { return space_; }
    // Decodes the smallest resolution (and keeps it): false when the data is corrupt.
    bool decodable() const { return decoded(1, 1) != nullptr; }

private:
    // The decoded bitmap of at least minWidth x minHeight pixels; none when decoding fails.
    NodePtr decoded(int minWidth, int minHeight) const;

    std::shared_ptr<const std::vector<std::uint8_t>> data_;
    int width_, height_;
    std::shared_ptr<CGColorSpace> space_;
    mutable std::mutex mutex_;
    mutable std::map<int, NodePtr> byEighths_;  // decoded bitmaps by scale numerator (of 8)
};
