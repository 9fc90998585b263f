// Format descriptions of sample buffers (the picture size of a frame, the stream description of a
// block of sound), timing records and copies of a buffer with new timing.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/capture/av_capture_types.h"
#include "platform/capture/cm_sample_buffer.h"
#include "platform/media/four_char_code.h"
#include "platform/runtime/object.h"

enum class CMMediaType { Video, Audio, Other };

struct AudioStreamBasicDescription {
    double mSampleRate = 0;
    FourCharCode mFormatID = 0;
    std::uint32_t mChannelsPerFrame = 0;
    std::uint32_t mBitsPerChannel = 0;
};

class CMFormatDescription : public NSObject {
public:
    KORVA_MAKE(CMFormatDescription)

    CMMediaType mediaType() const { return mediaType_; }
    CMVideoDimensions dimensions() const { return dimensions_; }
    const AudioStreamBasicDescription& streamDescription() const { return stream_; }

    std::string className() const override { return "CMFormatDescription"; }

protected:
    explicit CMFormatDescription(CMVideoDimensions d) : mediaType_(CMMediaType::Video), dimensions_(d) {}
    explicit CMFormatDescription(AudioStreamBasicDescription s) : mediaType_(CMMediaType::Audio), stream_(s) {}
    CMFormatDescription() = default;

private:
    CMMediaType mediaType_ = CMMediaType::Other;
    CMVideoDimensions dimensions_;
    AudioStreamBasicDescription stream_;
};

using CMFormatDescriptionRef = std::shared_ptr<CMFormatDescription>;

// What the buffer carries: a picture's size, a sound block's stream (16-bit linear PCM), or a
// description of kind Other for compressed bytes; none for a null buffer.
CMFormatDescriptionRef CMSampleBufferGetFormatDescription(const CMSampleBufferRef& buffer);
// Zero dimensions for a description that is not of a picture.
CMVideoDimensions CMVideoFormatDescriptionGetDimensions(const CMFormatDescriptionRef& desc);
// None for a description that is not of sound.
std::optional<AudioStreamBasicDescription> CMAudioFormatDescriptionGetStreamBasicDescription(
    const CMFormatDescriptionRef& desc);

// The buffer's timing records: one record covering all of its samples.
std::vector<CMSampleTimingInfo> CMSampleBufferGetSampleTimingInfoArray(const CMSampleBufferRef& buffer);
// A buffer with the same payload and the first timing record; none for a null buffer or no records.
CMSampleBufferRef CMSampleBufferCreateCopyWithNewTiming(const CMSampleBufferRef& buffer,
                                                        const std::vector<CMSampleTimingInfo>& timing);
