#include "platform/media/av_asset_reader.h"

#include <deque>
#include <map>

#include "platform/media/ffmpeg_support.h"
#include "platform/runtime/log.h"

struct AVAssetReader::File {
    AVFormatInput format;
    AVPacketPtr packet{av_packet_alloc()};
    // Samples read for one output while looking for another's.
    std::map<int, std::deque<CMSampleBufferRef>> waiting;
};

AVAssetReader::AVAssetReader(std::shared_ptr<AVURLAsset> asset) : asset_(std::move(asset)) {}
AVAssetReader::~AVAssetReader() = default;

CMSampleBufferRef AVAssetReaderTrackOutput::copyNextSampleBuffer() {
    auto reader = reader_.lock();
    return reader ? reader->next(*this) : nullptr;
}

Result<std::shared_ptr<AVAssetReader>> AVAssetReader::assetReaderWithAsset(const std::shared_ptr<AVAsset>& asset) {
    auto file = std::dynamic_pointer_cast<AVURLAsset>(asset);
    if (!file) return fail("only a file asset can be read");
    return make(file);
}

bool AVAssetReader::canAddOutput(const std::shared_ptr<AVAssetReaderTrackOutput>& output) const {
    return output && status_ == AVAssetReaderStatus::Unknown && output->track() &&
           output->track()->facts().sourcePath == asset_->path() && !output->reader_.lock();
}

void AVAssetReader::addOutput(const std::shared_ptr<AVAssetReaderTrackOutput>& output) {
    if (!canAddOutput(output)) return;
    output->reader_ = self<AVAssetReader>();
    outputs_.push_back(output);
}

bool AVAssetReader::startReading() {
    if (status_ != AVAssetReaderStatus::Unknown) return false;
    auto opened = openMediaFile(asset_->path());
    if (!opened) {
        Log::warning("media", opened.error());
        status_ = AVAssetReaderStatus::Failed;
        return false;
    }
    file_ = std::make_unique<File>();
    file_->format = std::move(*opened);
    status_ = AVAssetReaderStatus::Reading;
    return true;
}

void AVAssetReader::cancelReading() {
    if (status_ == AVAssetReaderStatus::Reading || status_ == AVAssetReaderStatus::Unknown)
        status_ = AVAssetReaderStatus::Cancelled;
    file_.reset();
}

CMSampleBufferRef AVAssetReader::next(const AVAssetReaderTrackOutput& output) {
    if (status_ != AVAssetReaderStatus::Reading || !file_) return nullptr;
    int wanted = output.track()->facts().streamIndex;
    auto& mine = file_->waiting[wanted];
    if (!mine.empty()) {
        auto s = mine.front();
        mine.pop_front();
        return s;
    }
    while (true) {
        int r = av_read_frame(file_->format.get(), file_->packet.get());
        if (r == AVERROR_EOF) {
            status_ = AVAssetReaderStatus::Completed;
            return nullptr;
        }
        if (r < 0) {
            Log::warning("media", "reading " + asset_->path() + " failed: " + averrorText(r));
            status_ = AVAssetReaderStatus::Failed;
            return nullptr;
        }
        AVPacket* p = file_->packet.get();
        int index = p->stream_index;
        bool read = index == wanted;
        for (auto& o : outputs_) read = read || o->track()->facts().streamIndex == index;
        CMSampleBufferRef sample;
        if (read) {
            AVRational base = file_->format->streams[index]->time_base;
            auto at = [&](std::int64_t t) {
                return t == AV_NOPTS_VALUE ? kCMTimeInvalid : CMTimeMakeWithSeconds(double(t) * av_q2d(base), 90000);
            };
            sample = CMSampleBuffer::withData(
                Bytes(p->data, p->data + p->size), nullptr,
                {CMTimeMakeWithSeconds(double(p->duration) * av_q2d(base), 90000), at(p->pts), at(p->dts)});
        }
        av_packet_unref(p);
        if (!sample) continue;
        if (index == wanted) return sample;
        file_->waiting[index].push_back(sample);
    }
}
