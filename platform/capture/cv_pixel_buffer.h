// CVPixelBuffer: a BGRA bitmap shared by capture, image sources and encoders; pools reuse them.
//
// Thread-safe for the lock count; the pixels themselves are written by whoever produced the
// buffer before handing it on and only read afterwards.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/runtime/object.h"
#include "platform/runtime/value.h"

using OSType = std::uint32_t;
inline constexpr OSType kCVPixelFormatType_32BGRA = 0x42475241;  // 'BGRA'

enum CVPixelBufferLockFlags : std::uint32_t { kCVPixelBufferLock_None = 0, kCVPixelBufferLock_ReadOnly = 1 };

class CVPixelBuffer : public NSObject {
public:
    KORVA_MAKE(CVPixelBuffer)

    std::size_t width() const { return width_; }
    std::size_t height() const { return height_; }
    std::size_t bytesPerRow() const { return bytesPerRow_; }
    OSType pixelFormatType() const { return kCVPixelFormatType_32BGRA; }
    std::size_t dataSize() const { return pixels_.size(); }

    // The lock brackets CPU access, as on the platform; the address is valid either way here,
    // but the count lets producers and tests check that readers bracket their access.
    void lockBaseAddress(std::uint32_t flags = kCVPixelBufferLock_None);
    bool unlockBaseAddress(std::uint32_t flags = kCVPixelBufferLock_None);
    int lockCount() const;

    std::uint8_t* baseAddress() { return pixels_.data(); }
    const std::uint8_t* baseAddress() const { return pixels_.data(); }
    std::uint8_t* row(std::size_t y) { return pixels_.data() + y * bytesPerRow_; }
    const std::uint8_t* row(std::size_t y) const { return pixels_.data() + y * bytesPerRow_; }

    // Buffer attachments (colour space and the like); not propagated anywhere by this layer.
    Value attachment(const std::string& key) const;
    void setAttachment(const std::string& key, Value value);

    // A deep copy of the pixels into a fresh, unpooled buffer.
    std::shared_ptr<CVPixelBuffer> copy() const;
    // Whether the pixels are mapped on their own (and returned to the system with the buffer).
    bool ownsMapping() const { return pixels_.mapped(); }

protected:
    // Rows are padded to 64 bytes so that SIMD readers may load whole vectors.
    CVPixelBuffer(std::size_t width, std::size_t height);

private:
    // The pixels, zeroed. Frames of a megabyte or more are mapped from the system on their own,
    // so that they go back to it with the buffer: the allocator would keep a freed frame's space
    // (a 4K frame is 33 MB) for later use, and frames made for a burst would stay resident.
    class Pixels {
    public:
        explicit Pixels(std::size_t bytes);
        ~Pixels();
        Pixels(const Pixels&) = delete;
        Pixels& operator=(const Pixels&) = delete;
        std::uint8_t* data() const { return data_; }
        std::size_t size() const { return size_; }
        bool mapped() const { return mapped_; }

    private:
        std::uint8_t* data_ = nullptr;
        std::size_t size_ = 0;
        bool mapped_ = false;
    };

    std::size_t width_, height_, bytesPerRow_;
    Pixels pixels_;
    mutable std::mutex mutex_;
    int locks_ = 0;
    ValueDictionary attachments_;
};

using CVPixelBufferRef = std::shared_ptr<CVPixelBuffer>;

// A pool of equally sized buffers. A buffer returns to the pool when its last user drops it, so a
// warm pool hands out frames without allocating. The pool keeps as many buffers as were in use at
// once within the last kIdleSeconds (on the platform clock): buffers made for a burst (a consumer
// that fell behind for a moment) are let go once the burst is over. Thread-safe.
class CVPixelBufferPool : public NSObject {
public:
    KORVA_MAKE(CVPixelBufferPool)

    // A buffer no one else holds, or a new one while fewer than maximumBuffers exist; none when
    // every buffer is in use (the producer then drops the frame).
    CVPixelBufferRef createPixelBuffer();

    std::size_t width() const { return width_; }
    std::size_t height() const { return height_; }
    std::size_t allocatedCount() const;
    // Drops the buffers that nobody holds.
    void flush();

    // How long a need for more buffers is remembered.
    static constexpr double kIdleSeconds = 2.0;

protected:
    CVPixelBufferPool(std::size_t width, std::size_t height, std::size_t maximumBuffers = 6);

private:
    std::size_t width_, height_, maximum_;
    mutable std::mutex mutex_;
    std::vector<CVPixelBufferRef> buffers_;
    // The most buffers in use at once (the one being handed out included) since `peakAt_`.
    std::size_t recentPeak_ = 0;
    double peakAt_ = 0;
};
