#include "platform/media/cm_format_description.h"

CMFormatDescriptionRef CMSampleBufferGetFormatDescription(const CMSampleBufferRef& buffer) {
    if (!buffer) return nullptr;
    if (auto image = buffer->imageBuffer(); image && !buffer->dataBuffer())
        return CMFormatDescription::make(
            CMVideoDimensions{std::int32_t(image->width()), std::int32_t(image->height())});
    if (auto audio = buffer->audio())
        return CMFormatDescription::make(
            AudioStreamBasicDescription{audio->sampleRate, kAudioFormatLinearPCM, std::uint32_t(audio->channels), 16});
    return CMFormatDescription::make();
}

CMVideoDimensions CMVideoFormatDescriptionGetDimensions(const CMFormatDescriptionRef& desc) {
    return desc && desc->mediaType() == CMMediaType::Video ? desc->dimensions() : CMVideoDimensions{};
}

std::optional<AudioStreamBasicDescription> CMAudioFormatDescriptionGetStreamBasicDescription(
    const CMFormatDescriptionRef& desc) {
    if (!desc || desc->mediaType() != CMMediaType::Audio) return std::nullopt;
    return desc->streamDescription();
}

std::vector<CMSampleTimingInfo> CMSampleBufferGetSampleTimingInfoArray(const CMSampleBufferRef& buffer) {
    if (!buffer) return {};
    return {buffer->timing()};
}

CMSampleBufferRef CMSampleBufferCreateCopyWithNewTiming(const CMSampleBufferRef& buffer,
                                                        const std::vector<CMSampleTimingInfo>& timing) {
    if (!buffer || timing.empty()) return nullptr;
    const CMSampleTimingInfo& t = timing.front();
    CMSampleBufferRef copy;
    if (auto data = buffer->dataBuffer())
        copy = CMSampleBuffer::withData(*data, buffer->imageBuffer(), t);
    else if (auto audio = buffer->audio())
        copy = CMSampleBuffer::withAudio(*audio, t);
    else
        copy = CMSampleBuffer::withImageBuffer(buffer->imageBuffer(), t);
    for (auto mode : {CMAttachmentMode::ShouldPropagate, CMAttachmentMode::ShouldNotPropagate})
        for (auto& [key, value] : buffer->copyDictionaryOfAttachments(mode)) copy->setAttachment(key, value, mode);
    return copy;
}
