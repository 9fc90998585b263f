// CIContext: renders image recipes into bitmaps, bitmap images, destination surfaces and JPEG data.
//
// Renders run on a pool of threads sized to the machine (one thread with the option
// kCIContextThreadCount = 1, for debugging). A context may be used from several threads;
// renders that find the pool busy run on the caller's thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/image/cg_image.h"
#include "platform/image/ci_format.h"
#include "platform/image/ci_image.h"
#include "platform/image/codec/raster.h"
#include "platform/image/color_space.h"
#include "platform/runtime/geometry.h"
#include "platform/runtime/object.h"
#include "platform/runtime/result.h"
#include "platform/runtime/value.h"

class RenderArena;
struct RenderBytes;
class ImageNode;
struct PixelRect;
struct Tile;
struct RasterRGBA8;

// Option keys. The working and output colour spaces take a CGColorSpace or a colour-space name;
// the working space given as kCGColorSpaceNULL turns colour management off: filters work on the
// stored values and nothing is converted on the way in or out. Without options the working space
// is extended linear sRGB and the output space sRGB.
inline constexpr const char* kCIContextWorkingColorSpace = "kCIContextWorkingColorSpace";
inline constexpr const char* kCIContextOutputColorSpace = "kCIContextOutputColorSpace";
inline constexpr const char* kCIContextUseSoftwareRenderer = "kCIContextUseSoftwareRenderer";
inline constexpr const char* kCIContextWorkingFormat = "kCIContextWorkingFormat";
inline constexpr const char* kCIContextCacheIntermediates = "kCIContextCacheIntermediates";
// Korva's own: number of render threads (0 = the machine's cores), and size limits as a CIVector (w, h).
inline constexpr const char* kCIContextThreadCount = "KorvaContextThreadCount";
inline constexpr const char* kCIContextMaximumInputSize = "KorvaContextMaximumInputSize";
inline constexpr const char* kCIContextMaximumOutputSize = "KorvaContextMaximumOutputSize";

// The largest input image, on each side, that the drawing context (gpuContextWithOptions) accepts
// without size options: a source of larger pictures cannot be shown.
inline constexpr int kCIDrawingContextMaximumSide = 8192;

// Option keys of JPEG representations.
inline constexpr const char* kCGImageDestinationLossyCompressionQuality = "kCGImageDestinationLossyCompressionQuality";

// A bitmap the caller owns, drawn into by drawImage (rows top to bottom, premultiplied alpha).
struct CIBitmapSurface {
    std::uint8_t* data = nullptr;
    int width = 0;
    int height = 0;
    std::size_t bytesPerRow = 0;
    CIFormat format = CIFormat::BGRA8;
};

class CIContext : public NSObject {
public:
    KORVA_MAKE(CIContext)

    enum class Kind { CPU, GPU };

    // The software context.
    static std::shared_ptr<CIContext> contextWithOptions(const ValueDictionary& options = {});
    // The context the application makes on its drawing surface (smaller size limits).
    static std::shared_ptr<CIContext> gpuContextWithOptions(const ValueDictionary& options = {});

    Kind kind() const { return kind_; }
    CGSize inputImageMaximumSize() const { return maxInput_; }
    CGSize outputImageMaximumSize() const { return maxOutput_; }
    // None when colour management is off.
    const std::shared_ptr<CGColorSpace>& workingColorSpace() const { return working_; }
    const std::shared_ptr<CGColorSpace>& outputColorSpace() const { return output_; }
    int threadCount() const { return threads_; }

    // Renders the rectangle of the image (image coordinates) into the caller's bitmap, top row
    // first. Fails (nothing written) for an empty or infinite rectangle, a size over the limits,
    // a short row stride or a missing buffer. A null colour space writes working values as they are.
    Result<void> render(const std::shared_ptr<CIImage>& image, void* bitmap, std::size_t rowBytes, const CGRect& bounds,
                        CIFormat format, const std::shared_ptr<CGColorSpace>& colorSpace);
    // Straight (unpremultiplied) output, as encoders want it.
    Result<void> renderStraight(const std::shared_ptr<CIImage>& image, void* bitmap, std::size_t rowBytes,
                                const CGRect& bounds, CIFormat format, const std::shared_ptr<CGColorSpace>& colorSpace);

    // A bitmap image of the rectangle in the output colour space; none (with a logged reason)
    // for an empty or infinite rectangle or one over the limits.
    std::shared_ptr<CGImage> createCGImage(const std::shared_ptr<CIImage>& image, const CGRect& fromRect);
    std::shared_ptr<CGImage> createCGImage(const std::shared_ptr<CIImage>& image, const CGRect& fromRect,
                                           CGImagePixelLayout layout, const std::shared_ptr<CGColorSpace>& colorSpace);

    // Draws fromRect of the image scaled into inRect of the surface (surface pixels, origin at the
    // bottom left), blending over what the surface holds. Returns false when nothing was drawn.
    bool drawImage(const std::shared_ptr<CIImage>& image, const CGRect& inRect, const CGRect& fromRect,
                   const CIBitmapSurface& surface);

    // JPEG data of the image's extent in colorSpace (the output space when none is given).
    // Options: kCGImageDestinationLossyCompressionQuality (0...1),
    // and image-property dictionaries ("{TIFF}", "{Exif}", "{GPS}", "Orientation") written into the file.
    std::optional<std::vector<std::uint8_t>> JPEGRepresentationOfImage(const std::shared_ptr<CIImage>& image,
                                                                       const std::shared_ptr<CGColorSpace>& colorSpace,
                                                                       const ValueDictionary& options = {});
    std::optional<std::vector<std::uint8_t>> PNGRepresentationOfImage(const std::shared_ptr<CIImage>& image,
                                                                      const std::shared_ptr<CGColorSpace>& colorSpace,
                                                                      const ValueDictionary& options = {});

    // Drops cached scratch memory.
    void clearCaches();
    // How often the calling thread's scratch memory had to grow (stays put once renders are warm).
    std::size_t scratchAllocations();

    ~CIContext() override;

protected:
    CIContext(Kind kind, const ValueDictionary& options);

private:
    Result<void> check(const std::shared_ptr<CIImage>& image, const PixelRect& region) const;
    void run(const ImageNode& root, const PixelRect& region, const CGAffineTransform& toRequest,
             const std::shared_ptr<CGColorSpace>& output, const std::function<void(const Tile&)>& write,
             bool sampled = false, const RenderBytes* bytes = nullptr);
    Result<void> renderInto(const std::shared_ptr<CIImage>& image, void* bitmap, std::size_t rowBytes,
                            const CGRect& bounds, CIFormat format, const std::shared_ptr<CGColorSpace>& colorSpace,
                            bool straight);
    // The pixels an encoded representation of the image covers; none (logged) when it has none.
    std::optional<PixelRect> regionOf(const std::shared_ptr<CIImage>& image, const char* what) const;
    std::optional<RasterRGBA8> rasterOf(const std::shared_ptr<CIImage>& image,
                                        const std::shared_ptr<CGColorSpace>& colorSpace, const char* what);

    Kind kind_;
    CGSize maxInput_, maxOutput_;
    std::shared_ptr<CGColorSpace> working_, output_;
    int threads_ = 0;
    std::mutex fallbackMutex_;
    std::unique_ptr<RenderArena> fallbackArena_;  // for renders that find the pool busy
};
