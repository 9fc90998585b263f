// CMSampleBuffer: one video frame, photo or block of audio with its timing and attachments.
//
// Attachments are kept in two modes, as on the platform: propagating ones travel into files made
// from the buffer (the GPS and TIFF dictionaries of a photo), the others stay with the buffer.
// A video frame may hold its pixels as its source has them, with the turn that shows them as the
// frame should: the turned pixels are made when first asked for (imageBuffer), while readers that
// can turn as they read (image recipes) take the source and the orientation and spare the turn.
// Thread-safe: attachments sit behind a lock, the payload is immutable once made.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/capture/cm_time.h"
#include "platform/capture/cv_pixel_buffer.h"
#include "platform/runtime/object.h"
#include "platform/runtime/value.h"

enum class CMAttachmentMode { ShouldNotPropagate = 0, ShouldPropagate = 1 };

struct CMSampleTimingInfo {
    CMTime duration = kCMTimeInvalid;
    CMTime presentationTimeStamp = kCMTimeInvalid;
    CMTime decodeTimeStamp = kCMTimeInvalid;
};

// Interleaved signed 16-bit PCM.
struct CMAudioBlock {
    double sampleRate = 44100;
    int channels = 1;
    std::vector<std::int16_t> samples;
    std::size_t frameCount() const { return channels > 0 ? samples.size() / channels : 0; }
};

class CMSampleBuffer : public NSObject {
public:
    KORVA_MAKE(CMSampleBuffer)

    static std::shared_ptr<CMSampleBuffer> withImageBuffer(CVPixelBufferRef image, CMSampleTimingInfo timing);
    // A frame of `source` shown with the EXIF orientation (2...8); `turn` makes the turned pixels
    // from the source when imageBuffer() is first called.
    using Turn = std::function<CVPixelBufferRef(const CVPixelBuffer& source)>;
    static std::shared_ptr<CMSampleBuffer> withTurnedImageBuffer(CVPixelBufferRef source, int exifOrientation,
                                                                 Turn turn, CMSampleTimingInfo timing);
    static std::shared_ptr<CMSampleBuffer> withAudio(CMAudioBlock audio, CMSampleTimingInfo timing);
    // A compressed payload (a photo's JPEG) with the pixels it was made from, when kept.
    static std::shared_ptr<CMSampleBuffer> withData(Bytes data, CVPixelBufferRef image, CMSampleTimingInfo timing);

    CMTime presentationTimeStamp() const { return timing_.presentationTimeStamp; }
    CMTime duration() const { return timing_.duration; }
    const CMSampleTimingInfo& timing() const { return timing_; }

    // Null for audio and for compressed buffers made without pixels (or when a turn found no
    // buffer to turn into).
    CVPixelBufferRef imageBuffer() const;
    // The pixels as the source holds them and the EXIF orientation (1...8) that shows them as
    // imageBuffer() holds them: 1 and imageBuffer() itself for a frame that needs no turn.
    CVPixelBufferRef sourceImageBuffer() const;
    int sourceOrientation() const { return sourceOrientation_; }
    const CMAudioBlock* audio() const { return audio_ ? &*audio_ : nullptr; }
    const Bytes* dataBuffer() const { return data_ ? &*data_ : nullptr; }
    std::int64_t numSamples() const;

    // Null when absent. Setting replaces the value under the key in either mode.
    Value attachment(const std::string& key, CMAttachmentMode* mode = nullptr) const;
    void setAttachment(const std::string& key, Value value, CMAttachmentMode mode);
    void removeAttachment(const std::string& key);
    // A new dictionary holding the attachments of one mode (values deep-copied).
    ValueDictionary copyDictionaryOfAttachments(CMAttachmentMode mode) const;

private:
    CMSampleTimingInfo timing_;
    mutable std::mutex imageMutex_;  // guards image_ while a turn makes it
    mutable CVPixelBufferRef image_;
    CVPixelBufferRef source_;
    int sourceOrientation_ = 1;
    mutable Turn turn_;
    std::optional<CMAudioBlock> audio_;
    std::optional<Bytes> data_;
    mutable std::mutex mutex_;
    ValueDictionary propagating_;
    ValueDictionary local_;
};

using CMSampleBufferRef = std::shared_ptr<CMSampleBuffer>;

// Free-function spellings of the platform's calls.
inline CVPixelBufferRef CMSampleBufferGetImageBuffer(const CMSampleBufferRef& s) {
    return s ? s->imageBuffer() : nullptr;
}
inline CMTime CMSampleBufferGetPresentationTimeStamp(const CMSampleBufferRef& s) {
    return s ? s->presentationTimeStamp() : kCMTimeInvalid;
}
