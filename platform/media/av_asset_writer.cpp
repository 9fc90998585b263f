#include "platform/media/av_asset_writer.h"

#include <cmath>
#include <filesystem>
#include <fstream>

#include "platform/media/movie_encoder.h"
#include "platform/runtime/log.h"

struct AVAssetWriter::Encoding {
    std::unique_ptr<MovieEncoder> encoder;
    std::mutex mutex;  // guards start
    std::optional<CMTime> start;
};

std::shared_ptr<AVAssetWriterInput> AVAssetWriterInput::assetWriterInputWithMediaType(
    const std::string& mediaType, const ValueDictionary& outputSettings, CMFormatDescriptionRef) {
    return make(mediaType, outputSettings);
}

bool AVAssetWriterInput::isReadyForMoreMediaData() const {
    auto writer = writer_.lock();
    return writer && writer->ready(mediaType_ == AVMediaTypeVideo);
}

bool AVAssetWriterInput::appendSampleBuffer(const CMSampleBufferRef& buffer) {
    auto writer = writer_.lock();
    return writer && writer->append(*this, buffer);
}

Result<std::shared_ptr<AVAssetWriter>> AVAssetWriter::assetWriterWithURL(const std::shared_ptr<NSURL>& url,
                                                                         const std::string& fileType) {
    if (!url || !url->isFileURL()) return fail("a writer needs a file URL");
    if (fileType != AVFileTypeMPEG4 && fileType != AVFileTypeQuickTimeMovie)
        return fail("unknown file type \"" + fileType + "\"");
    // The file is made now, so that a folder that cannot be written fails here and not mid-recording.
    if (!std::ofstream(url->path(), std::ios::binary | std::ios::trunc)) return fail("cannot create " + url->path());
    return make(url, fileType);
}

AVAssetWriter::~AVAssetWriter() {
    // Once encoding started, the encoder owns the file (and removes it unless it was completed).
    if (encoding_) return;
    std::error_code ignored;
    std::filesystem::remove(url_->path(), ignored);
}

std::shared_ptr<NSError> AVAssetWriter::error() const {
    std::lock_guard lock(mutex_);
    return error_;
}

bool AVAssetWriter::canAddInput(const std::shared_ptr<AVAssetWriterInput>& input) const {
    if (!input || status() != AVAssetWriterStatus::Unknown) return false;
    if (input->mediaType() != AVMediaTypeVideo && input->mediaType() != AVMediaTypeAudio) return false;
    std::lock_guard lock(mutex_);
    for (auto& i : inputs_)
        if (i == input || i->mediaType() == input->mediaType()) return false;
    return !input->writer_.lock();
}

void AVAssetWriter::addInput(const std::shared_ptr<AVAssetWriterInput>& input) {
    if (!canAddInput(input)) return;
    std::lock_guard lock(mutex_);
    input->writer_ = self<AVAssetWriter>();
    inputs_.push_back(input);
}

std::vector<std::shared_ptr<AVAssetWriterInput>> AVAssetWriter::inputs() const {
    std::lock_guard lock(mutex_);
    return inputs_;
}

void AVAssetWriter::failWith(const std::string& message) {
    Log::warning("media", "writing " + url_->path() + " failed: " + message);
    std::lock_guard lock(mutex_);
    error_ = NSError::withDescription("AVFoundationErrorDomain", -11800, message);
    status_ = AVAssetWriterStatus::Failed;
}

bool AVAssetWriter::startWriting() {
    if (status() != AVAssetWriterStatus::Unknown) return false;
    MovieEncoderSettings settings;
    settings.container = fileType_;
    for (auto& input : inputs()) {
        auto& s = input->outputSettings();
        if (input->mediaType() == AVMediaTypeVideo) {
            settings.width = int(std::lround(s.get(AVVideoWidthKey).doubleValue()));
            settings.height = int(std::lround(s.get(AVVideoHeightKey).doubleValue()));
        } else {
            settings.sampleRate = int(std::lround(s.get(AVSampleRateKey).doubleValue()));
            settings.channels = int(s.get(AVNumberOfChannelsKey).integerValue());
        }
    }
    auto encoder = MovieEncoder::open(url_->path(), settings);
    if (!encoder) {
        failWith(encoder.error());
        return false;
    }
    auto encoding = std::make_shared<Encoding>();
    encoding->encoder = std::move(*encoder);
    {
        std::lock_guard lock(mutex_);
        encoding_ = encoding;
        queue_ = DispatchQueue::serial("korva.media.writer");
    }
    status_ = AVAssetWriterStatus::Writing;
    return true;
}

void AVAssetWriter::startSessionAtSourceTime(CMTime time) {
    std::shared_ptr<Encoding> encoding;
    {
        std::lock_guard lock(mutex_);
        encoding = encoding_;
    }
    if (!encoding || !CMTIME_IS_NUMERIC(time)) return;
    std::lock_guard lock(encoding->mutex);
    if (!encoding->start) encoding->start = time;
}

bool AVAssetWriter::ready(bool picture) const {
    int pending = picture ? pendingPictures_.load() : pendingSound_.load();
    return status() == AVAssetWriterStatus::Writing && !finishing_ && pending < kEncodeQueueCapacity;
}

bool AVAssetWriter::append(const AVAssetWriterInput& input, const CMSampleBufferRef& buffer) {
    bool picture = input.mediaType() == AVMediaTypeVideo;
    if (!buffer || !ready(picture)) return false;
    if (picture ? !buffer->imageBuffer() : !buffer->audio()) return false;
    std::shared_ptr<Encoding> encoding;
    dispatch_queue_t queue;
    {
        std::lock_guard lock(mutex_);
        encoding = encoding_;
        queue = queue_;
    }
    std::atomic<int>& pending = picture ? pendingPictures_ : pendingSound_;
    ++pending;
    queue->async([self = self<AVAssetWriter>(), encoding, buffer, picture, &pending] {
        struct Done {
            std::atomic<int>& pending;
            ~Done() { --pending; }
        } done{pending};
        if (self->status() != AVAssetWriterStatus::Writing || !encoding->encoder) return;
        std::optional<CMTime> start;
        {
            std::lock_guard lock(encoding->mutex);
            start = encoding->start;
        }
        if (!start) return;  // no session yet: nothing is placed in the file
        double at = CMTimeGetSeconds(CMTimeSubtract(buffer->presentationTimeStamp(), *start));
        if (std::isnan(at)) return;
        Result<void> r;
        if (picture) {
            if (at < 0) return;
            r = encoding->encoder->addVideo(*buffer->imageBuffer(), at);
        } else {
            const CMAudioBlock& audio = *buffer->audio();
            auto skip = std::size_t(std::max<long long>(0, std::llround(-at * audio.sampleRate)));
            if (skip >= audio.frameCount()) return;
            if (skip == 0) {
                r = encoding->encoder->addAudio(audio, at);
            } else {
                CMAudioBlock tail{
                    audio.sampleRate, audio.channels,
                    std::vector<std::int16_t>(audio.samples.begin() + skip * audio.channels, audio.samples.end())};
                r = encoding->encoder->addAudio(tail, 0);
            }
        }
        if (!r) self->failWith(r.error());
    });
    return true;
}

void AVAssetWriter::finishWritingWithCompletionHandler(std::function<void()> handler) {
    std::shared_ptr<Encoding> encoding;
    dispatch_queue_t queue;
    {
        std::lock_guard lock(mutex_);
        encoding = encoding_;
        queue = queue_;
    }
    if (!queue || finishing_.exchange(true)) {
        if (!queue) failWith("finished before writing started");
        if (handler) DispatchQueue::serial("korva.media.writer.finish")->async(std::move(handler));
        return;
    }
    queue->async([self = self<AVAssetWriter>(), encoding, handler = std::move(handler)] {
        if (self->status() == AVAssetWriterStatus::Writing) {
            auto r = encoding->encoder->finish();
            if (r)
                self->status_ = AVAssetWriterStatus::Completed;
            else
                self->failWith(r.error());
        }
        // A failed or cancelled file does not stay behind as if it were a movie.
        if (self->status() != AVAssetWriterStatus::Completed) encoding->encoder.reset();
        if (handler) handler();
    });
}

void AVAssetWriter::cancelWriting() {
    auto status = this->status();
    if (status == AVAssetWriterStatus::Completed || status == AVAssetWriterStatus::Cancelled) return;
    status_ = AVAssetWriterStatus::Cancelled;
    std::shared_ptr<Encoding> encoding;
    dispatch_queue_t queue;
    {
        std::lock_guard lock(mutex_);
        encoding = encoding_;
        queue = queue_;
    }
    if (queue) queue->async([encoding] { encoding->encoder.reset(); });
}

void AVAssetWriter::suspendEncodingForTesting() {
    dispatch_queue_t queue;
    {
        std::lock_guard lock(mutex_);
        queue = queue_;
    }
    if (!queue) return;
    {
        std::lock_guard lock(gateMutex_);
        held_ = true;
    }
    queue->async([self = self<AVAssetWriter>()] {
        std::unique_lock lock(self->gateMutex_);
        self->gate_.wait(lock, [&] { return !self->held_; });
    });
}

void AVAssetWriter::resumeEncodingForTesting() {
    {
        std::lock_guard lock(gateMutex_);
        held_ = false;
    }
    gate_.notify_all();
}
