// "CIColorCube": a 3-D colour lookup table with trilinear interpolation.
//
// inputCubeData holds dim^3 entries of four 32-bit floats (R G B A), red index fastest, then
// green, then blue. Data of any other length gives no output image.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/image/engine/kernels.h"
#include "platform/image/filters/filter_support.h"
#include "platform/runtime/log.h"

namespace {

// The 8-bit path's tables depend only on the dimension: made once per dimension, kept for the
// life of the process (a few kilobytes each, dimensions 2...128).
const kernels::CubeByteTables* byteTablesFor(int dim) {
    static std::mutex mutex;
    static std::map<int, std::unique_ptr<const kernels::CubeByteTables>> tables;
    std::lock_guard lock(mutex);
    auto& t = tables[dim];
    if (!t) t = std::make_unique<const kernels::CubeByteTables>(kernels::cubeByteTables(dim));
    return t.get();
}

class ColorCubeOp final : public PointOp {
public:
    // Reads the floats in place: data values are immutable and the op keeps the value alive.
    ColorCubeOp(Value data, int dim)
        : data_(std::move(data)),
          table_(reinterpret_cast<const float*>(data_.bytes()->data())),
          count_(data_.bytes()->size() / sizeof(float)),
          dim_(dim) {
        // Without a short-circuit, so the compiler can run the scan over whole vectors.
        bool alpha = false;
        for (std::size_t i = 3; i < count_; i += 4) alpha |= table_[i] != 1.0f;
        withAlpha_ = alpha;
        if (!withAlpha_) bytes_ = byteTablesFor(dim);
    }
    void apply(const PixelSpan& s) const override {
        kernels::colorCube(s.r, s.g, s.b, s.a, s.n, table_, dim_, withAlpha_);
    }
    bool applyToBytes(const std::uint8_t* src, bool bgraIn, std::uint8_t* dst, bool bgraOut,
                      std::size_t n) const override {
        if (!bytes_) return false;
        if (const kernels::CubeFixed* fixed = fixedCube(n))
            return kernels::colorCubeFixedRGBA8(src, bgraIn, dst, bgraOut, n, *fixed);
        return kernels::colorCubeRGBA8(src, bgraIn, dst, bgraOut, n, table_, dim_, *bytes_);
    }
    bool changesAlpha() const override { return withAlpha_; }
    std::string label() const override { return "colour cube " + std::to_string(dim_); }
    bool preparedFrom(const Value& data, int dim) const { return data.identity() == data_.identity() && dim == dim_; }
    std::size_t tableBytes() const { return count_ * sizeof(float) + fixedBytes_.load(std::memory_order_relaxed); }

private:
    // The fixed-point copy for the 8-bit path (renders that are this cube alone). It is many times
    // the size of the table (3 MiB for 20 points) and takes milliseconds to make, so it is made
    // once the cube has taken enough pixels the float way for it to pay: an editor making a new
    // cube for every small preview keeps the float way.
    const kernels::CubeFixed* fixedCube(std::size_t n) const {
        if (!fixedMade_.load(std::memory_order_acquire)) {
            if (floatPixels_.fetch_add(n, std::memory_order_relaxed) + n < fixedPaysAfter_) return nullptr;
            std::call_once(fixedOnce_, [this] {
                fixed_ = kernels::cubeFixed(table_, dim_);
                if (fixed_) fixedBytes_.store(fixed_->bytes, std::memory_order_relaxed);
                fixedMade_.store(true, std::memory_order_release);
            });
        }
        return fixed_.get();
    }

    Value data_;
    const float* table_;
    std::size_t count_;
    int dim_;
    bool withAlpha_ = false;
    const kernels::CubeByteTables* bytes_ = nullptr;  // cubes without alpha: the 8-bit path's tables
    std::size_t fixedPaysAfter_ = kernels::cubeFixedPaysAfter(dim_);
    mutable std::atomic<std::size_t> floatPixels_{0};
    mutable std::atomic<bool> fixedMade_{false};
    mutable std::once_flag fixedOnce_;
    mutable std::unique_ptr<const kernels::CubeFixed> fixed_;
    mutable std::atomic<std::size_t> fixedBytes_{0};
};

// Prepared cubes by the identity of their data. Presets make new filters for every thumbnail
// and frame, but their cube is one loaded, immutable value, and preparing it again reads the
// whole table. The most recently used cubes are kept, up to kKeptBytes of table data in all
// (they keep their data alive, so an identity found here always names the same table).
class PreparedCubes {
public:
    static PreparedCubes& shared() {
        static PreparedCubes cubes;
        return cubes;
    }
    std::shared_ptr<const ColorCubeOp> get(const Value& data, int dim) {
        {
            std::lock_guard lock(mutex_);
            for (auto it = kept_.begin(); it != kept_.end(); ++it)
                if ((*it)->preparedFrom(data, dim)) {
                    auto op = *it;
                    kept_.erase(it);
                    kept_.insert(kept_.begin(), op);
                    return op;
                }
        }
        auto op = std::make_shared<const ColorCubeOp>(data, dim);
        std::lock_guard lock(mutex_);
        kept_.insert(kept_.begin(), op);
        std::size_t bytes = 0, keep = 0;
        while (keep < kept_.size() && bytes + kept_[keep]->tableBytes() <= kKeptBytes)
            bytes += kept_[keep++]->tableBytes();
        kept_.resize(std::max<std::size_t>(keep, 1));
        return op;
    }

private:
    static constexpr std::size_t kKeptBytes = 16u << 20;
    std::mutex mutex_;
    std::vector<std::shared_ptr<const ColorCubeOp>> kept_;  // most recently used first
};

class ColorCubeFilter : public CIFilter {
public:
    std::shared_ptr<CIImage> outputImage() const override {
        auto input = imageInput(kCIInputImageKey);
        if (!input) return nullptr;
        if (!op_) op_ = prepare();
        if (!op_) return nullptr;
        return imageWithPointOp(input, op_);
    }

protected:
    explicit ColorCubeFilter(const FilterDescription& d) : CIFilter(d) {}
    void inputChanged(const std::string& key) override {
        if (key != kCIInputImageKey) op_.reset();
    }

private:
    std::shared_ptr<const PointOp> prepare() const {
        const double d = numberInput("inputCubeDimension", 2);
        const Value data = valueForKey("inputCubeData");
        const Bytes* bytes = data.bytes();
        if (!(d >= 2 && d <= 128) || std::floor(d) != d) {
            Log::warning("image", "CIColorCube: cube dimension out of range; no output");
            return nullptr;
        }
        const int dim = static_cast<int>(d);
        const std::size_t expected = static_cast<std::size_t>(dim) * dim * dim * 4 * sizeof(float);
        if (!bytes || bytes->size() != expected) {
            char buf[160];
            std::snprintf(buf, sizeof buf,
                          "CIColorCube: cube data of %zu bytes for dimension %d (needs %zu); no output",
                          bytes ? bytes->size() : 0, dim, expected);
            Log::warning("image", buf);
            return nullptr;
        }
        // Byte buffers come from the allocator, aligned for floats.
        return PreparedCubes::shared().get(data, dim);
    }

    mutable std::shared_ptr<const PointOp> op_;  // prepared once per cube, reused by every frame
};

}  // namespace

std::shared_ptr<CIFilter> makeColorCubeFilter(const FilterDescription& d) {
    return makeFilter<ColorCubeFilter>(d);
}
