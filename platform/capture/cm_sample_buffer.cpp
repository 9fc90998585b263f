// Sample buffers.
#include "platform/capture/cm_sample_buffer.h"

std::shared_ptr<CMSampleBuffer> CMSampleBuffer::withImageBuffer(CVPixelBufferRef image, CMSampleTimingInfo timing) {
    auto s = CMSampleBuffer::make();
    s->image_ = std::move(image);
    s->timing_ = timing;
    return s;
}

std::shared_ptr<CMSampleBuffer> CMSampleBuffer::withTurnedImageBuffer(CVPixelBufferRef source, int exifOrientation,
                                                                      Turn turn, CMSampleTimingInfo timing) {
    auto s = CMSampleBuffer::make();
    s->timing_ = timing;
    if (exifOrientation <= 1 || exifOrientation > 8 || !turn) {
        s->image_ = std::move(source);
        return s;
    }
    s->source_ = std::move(source);
    s->sourceOrientation_ = exifOrientation;
    s->turn_ = std::move(turn);
    return s;
}

CVPixelBufferRef CMSampleBuffer::imageBuffer() const {
    std::lock_guard lock(imageMutex_);
    if (turn_) {
        if (source_) image_ = turn_(*source_);
        turn_ = nullptr;
    }
    return image_;
}

CVPixelBufferRef CMSampleBuffer::sourceImageBuffer() const {
    if (source_) return source_;
    return imageBuffer();
}

std::shared_ptr<CMSampleBuffer> CMSampleBuffer::withAudio(CMAudioBlock audio, CMSampleTimingInfo timing) {
    auto s = CMSampleBuffer::make();
    s->audio_ = std::move(audio);
    s->timing_ = timing;
    return s;
}

std::shared_ptr<CMSampleBuffer> CMSampleBuffer::withData(Bytes data, CVPixelBufferRef image,
                                                         CMSampleTimingInfo timing) {
    auto s = CMSampleBuffer::make();
    s->data_ = std::move(data);
    s->image_ = std::move(image);
    s->timing_ = timing;
    return s;
}

std::int64_t CMSampleBuffer::numSamples() const {
    if (audio_) return static_cast<std::int64_t>(audio_->frameCount());
    return (source_ || image_ || data_) ? 1 : 0;  // image_ changes only when source_ is set
}

Value CMSampleBuffer::attachment(const std::string& key, CMAttachmentMode* mode) const {
    std::lock_guard lock(mutex_);
    if (auto* v = propagating_.find(key)) {
        if (mode) *mode = CMAttachmentMode::ShouldPropagate;
        return *v;
    }
    if (auto* v = local_.find(key)) {
        if (mode) *mode = CMAttachmentMode::ShouldNotPropagate;
        return *v;
    }
    return Value();
}

void CMSampleBuffer::setAttachment(const std::string& key, Value value, CMAttachmentMode mode) {
    std::lock_guard lock(mutex_);
    propagating_.remove(key);
    local_.remove(key);
    (mode == CMAttachmentMode::ShouldPropagate ? propagating_ : local_).set(key, std::move(value));
}

void CMSampleBuffer::removeAttachment(const std::string& key) {
    std::lock_guard lock(mutex_);
    propagating_.remove(key);
    local_.remove(key);
}

ValueDictionary CMSampleBuffer::copyDictionaryOfAttachments(CMAttachmentMode mode) const {
    std::lock_guard lock(mutex_);
    ValueDictionary out;
    for (const auto& [k, v] : mode == CMAttachmentMode::ShouldPropagate ? propagating_ : local_)
        out.set(k, v.deepCopy());
    return out;
}
