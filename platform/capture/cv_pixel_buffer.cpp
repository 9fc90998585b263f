// Pixel buffers and their pool.
#include "platform/capture/cv_pixel_buffer.h"

#include <cstring>

namespace {
constexpr std::size_t kRowAlignment = 64;
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
    std::memcpy(out->pixels_.data(), pixels_.data(), pixels_.size());
    return out;
}

CVPixelBufferPool::CVPixelBufferPool(std::size_t width, std::size_t height, std::size_t maximumBuffers)
    : width_(width), height_(height), maximum_(maximumBuffers == 0 ? 1 : maximumBuffers) {}

CVPixelBufferRef CVPixelBufferPool::createPixelBuffer() {
    std::lock_guard lock(mutex_);
    // Only the pool hands buffers out and it does so under the lock, so a use count of one
    // means no one else can be holding or about to take this buffer.
    for (auto& buffer : buffers_)
        if (buffer.use_count() == 1 && buffer->lockCount() == 0) return buffer;
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
