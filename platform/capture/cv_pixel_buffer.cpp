// Pixel buffers and their pool.
#include "platform/capture/cv_pixel_buffer.h"

#include <sys/mman.h>

#include <cstring>
#include <new>

#include "platform/dispatch/clock.h"

namespace {
constexpr std::size_t kRowAlignment = 64;
// From this size on, pixels are mapped on their own.
constexpr std::size_t kMappedBytes = std::size_t(1) << 20;
}  // namespace

CVPixelBuffer::Pixels::Pixels(std::size_t bytes) : size_(bytes) {
    if (bytes >= kMappedBytes) {
        void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED) throw std::bad_alloc();
        data_ = static_cast<std::uint8_t*>(p);
        mapped_ = true;
    } else if (bytes > 0) {
        data_ = new std::uint8_t[bytes]();
    }
}

CVPixelBuffer::Pixels::~Pixels() {
    if (mapped_)
        munmap(data_, size_);
    else
        delete[] data_;
}

CVPixelBuffer::CVPixelBuffer(std::size_t width, std::size_t height)
    : width_(width),
      height_(height),
      bytesPerRow_((width * 4 + kRowAlignment - 1) / kRowAlignment * kRowAlignment),
      pixels_(bytesPerRow_ * height) {}

void CVPixelBuffer::lockBaseAddress(std::uint32_t) {
    std::lock_guard lock(mutex_);
    ++locks_;
}

bool CVPixelBuffer::unlockBaseAddress(std::uint32_t) {
    std::lock_guard lock(mutex_);
    if (locks_ == 0) return false;
    --locks_;
    return true;
}

int CVPixelBuffer::lockCount() const {
    std::lock_guard lock(mutex_);
    return locks_;
}

Value CVPixelBuffer::attachment(const std::string& key) const {
    std::lock_guard lock(mutex_);
    return attachments_.get(key);
}

void CVPixelBuffer::setAttachment(const std::string& key, Value value) {
    std::lock_guard lock(mutex_);
    attachments_.set(key, std::move(value));
}

std::shared_ptr<CVPixelBuffer> CVPixelBuffer::copy() const {
    auto out = CVPixelBuffer::make(width_, height_);
    if (pixels_.size() > 0) std::memcpy(out->pixels_.data(), pixels_.data(), pixels_.size());
    return out;
}

CVPixelBufferPool::CVPixelBufferPool(std::size_t width, std::size_t height, std::size_t maximumBuffers)
    : width_(width), height_(height), maximum_(maximumBuffers == 0 ? 1 : maximumBuffers) {}

CVPixelBufferRef CVPixelBufferPool::createPixelBuffer() {
    std::lock_guard lock(mutex_);
    // Only the pool hands buffers out and it does so under the lock, so a use count of one
    // means no one else can be holding or about to take this buffer.
    auto isFree = [](const CVPixelBufferRef& b) { return b.use_count() == 1 && b->lockCount() == 0; };
    std::size_t inUse = 0;
    for (const auto& buffer : buffers_) inUse += isFree(buffer) ? 0 : 1;
    const std::size_t needed = inUse + 1;
    const double now = Clock::now();
    if (needed >= recentPeak_ || now - peakAt_ >= kIdleSeconds) {
        recentPeak_ = needed;
        peakAt_ = now;
    }
    CVPixelBufferRef handed;
    for (const auto& buffer : buffers_)
        if (isFree(buffer)) {
            handed = buffer;
            break;
        }
    // Free buffers past the recent need go back to the system (a frame of the 4K preset is 33 MB).
    for (auto it = buffers_.begin(); it != buffers_.end() && buffers_.size() > recentPeak_;) {
        if (*it != handed && isFree(*it))
            it = buffers_.erase(it);
        else
            ++it;
    }
    if (handed) return handed;
    if (buffers_.size() >= maximum_) return nullptr;
    buffers_.push_back(CVPixelBuffer::make(width_, height_));
    return buffers_.back();
}

std::size_t CVPixelBufferPool::allocatedCount() const {
    std::lock_guard lock(mutex_);
    return buffers_.size();
}

void CVPixelBufferPool::flush() {
    std::lock_guard lock(mutex_);
    std::erase_if(buffers_, [](const CVPixelBufferRef& b) { return b.use_count() == 1; });
}
