// The capture session's state machine, frame delivery on the delegate's queue and late-frame discard.
#include <cstring>

#include "capture_test_support.h"
#include "platform/capture/av_capture_audio_data_output.h"
#include "platform/capture/av_capture_input.h"
#include "platform/capture/av_capture_photo_output.h"
#include "platform/capture/av_capture_session.h"
#include "platform/capture/av_capture_video_data_output.h"
#include "platform/capture/pixel_buffer_orientation.h"
#include "platform/dispatch/notification_center.h"

namespace {

struct FrameSink : AVCaptureDataOutputSampleBufferDelegate {
    Recorder<CMSampleBufferRef> samples;
    Recorder<std::string> queues;
    Gate* gate = nullptr;
    void captureOutput(const std::shared_ptr<AVCaptureOutput>&, const CMSampleBufferRef& s,
                       const std::shared_ptr<AVCaptureConnection>&) override {
        auto q = DispatchQueue::current();
        queues.add(q ? q->label() : "");
        samples.add(s);
        if (gate) gate->wait();
    }
};

class SessionTest : public CaptureTest {
protected:
    void SetUp() override {
        CaptureTest::SetUp();
        session = AVCaptureSession::make();
        for (const char* n : {AVCaptureSessionDidStartRunningNotification, AVCaptureSessionDidStopRunningNotification,
                              AVCaptureSessionRuntimeErrorNotification, AVCaptureSessionWasInterruptedNotification,
                              AVCaptureSessionInterruptionEndedNotification})
            tokens.push_back(NSNotificationCenter::defaultCenter()->addObserver(
                n, session, nullptr, [this](const std::shared_ptr<NSNotification>& note) { posted.add(note); }));
    }
    void TearDown() override {
        session->stopRunning();
        for (auto& t : tokens) NSNotificationCenter::defaultCenter()->removeObserver(t);
        CaptureTest::TearDown();
    }
    std::vector<std::string> postedNames() {
        std::vector<std::string> out;
        for (auto& n : posted.items()) out.push_back(n->name());
        return out;
    }
    std::shared_ptr<AVCaptureVideoDataOutput> addCamera(const std::shared_ptr<AVCaptureDevice>& device,
                                                        const char* preset) {
        auto input = AVCaptureDeviceInput::deviceInputWithDevice(device);
        EXPECT_TRUE(input);
        session->beginConfiguration();
        EXPECT_TRUE(session->setSessionPreset(preset) || !session->canSetSessionPreset(preset));
        EXPECT_TRUE(session->addInput(*input));
        auto output = AVCaptureVideoDataOutput::make();
        output->setSampleBufferDelegate(sink, queue);
        EXPECT_TRUE(session->addOutput(output));
        EXPECT_TRUE(session->setSessionPreset(preset));
        EXPECT_TRUE(session->commitConfiguration());
        return output;
    }

    std::shared_ptr<AVCaptureSession> session;
    std::shared_ptr<FrameSink> sink = std::make_shared<FrameSink>();
    dispatch_queue_t queue = DispatchQueue::serial("CameraHost");
    Recorder<std::shared_ptr<NSNotification>> posted;
    std::vector<std::shared_ptr<NSObject>> tokens;
};

}  // namespace

TEST_F(SessionTest, ConfigurationRulesRefuseIllegalOperations) {
    EXPECT_FALSE(session->commitConfiguration()) << "commit without begin";
    session->beginConfiguration();
    EXPECT_FALSE(session->startRunning()) << "start inside a configuration";
    EXPECT_FALSE(session->isRunning());
    EXPECT_TRUE(session->commitConfiguration());

    auto camera = *AVCaptureDeviceInput::deviceInputWithDevice(back());
    auto other = *AVCaptureDeviceInput::deviceInputWithDevice(front());
    EXPECT_TRUE(session->canAddInput(camera));
    EXPECT_TRUE(session->addInput(camera));
    EXPECT_FALSE(session->addInput(camera)) << "already added";
    EXPECT_FALSE(session->canAddInput(other)) << "one camera per session";
    auto second = AVCaptureSession::make();
    EXPECT_FALSE(second->canAddInput(camera)) << "an input belongs to one session";

    auto output = AVCaptureVideoDataOutput::make();
    EXPECT_TRUE(session->addOutput(output));
    EXPECT_FALSE(second->canAddOutput(output));
    EXPECT_FALSE(session->canAddOutput(AVCaptureVideoDataOutput::make())) << "one video data output";
    EXPECT_TRUE(session->canAddOutput(AVCapturePhotoOutput::make()));

    // Presets are checked against the camera: the front one has no 3840x2160.
    EXPECT_TRUE(session->canSetSessionPreset(AVCaptureSessionPreset::P3840x2160));
    EXPECT_FALSE(session->canSetSessionPreset("AVCaptureSessionPresetNonsense"));
    session->removeInput(camera);
    EXPECT_TRUE(session->addInput(other));
    EXPECT_FALSE(session->canSetSessionPreset(AVCaptureSessionPreset::P3840x2160));
    EXPECT_FALSE(session->setSessionPreset(AVCaptureSessionPreset::P3840x2160));
    EXPECT_TRUE(session->canSetSessionPreset(AVCaptureSessionPreset::Photo));
    EXPECT_FALSE(output->setVideoSettings(Value::dictionary({{kCVPixelBufferPixelFormatTypeKey, Value(875704438u)}})));
}

TEST_F(SessionTest, RunsDeliversPortraitFramesOnTheDelegateQueueAndStops) {
    auto output = addCamera(back(), AVCaptureSessionPreset::P1280x720);
    auto connection = output->connectionWithMediaType(AVMediaType::Video);
    ASSERT_TRUE(connection);
    ASSERT_TRUE(connection->setVideoOrientation(AVCaptureVideoOrientation::Portrait));
    EXPECT_FALSE(connection->setVideoOrientation(static_cast<AVCaptureVideoOrientation>(7)));

    ASSERT_TRUE(session->startRunning());
    EXPECT_TRUE(session->isRunning());
    EXPECT_TRUE(session->startRunning()) << "starting a running session changes nothing";
    settle();
    advance(0.1);
    auto frames = sink->samples.items();
    ASSERT_GE(frames.size(), 3u);
    ASSERT_LE(frames.size(), 5u);
    auto first = CMSampleBufferGetImageBuffer(frames.front());
    EXPECT_EQ(first->width(), 720u);
    EXPECT_EQ(first->height(), 1280u);
    EXPECT_EQ(first->pixelFormatType(), kCVPixelFormatType_32BGRA);
    // The frame also holds the camera's own frame and the turn that shows it as delivered, so that a
    // reader that turns as it reads (a preview drawn small) never needs the turned pixels made.
    auto source = frames.back()->sourceImageBuffer();
    EXPECT_EQ(source->width(), 1280u);
    EXPECT_EQ(source->height(), 720u);
    EXPECT_EQ(frames.back()->sourceOrientation(), 6);
    auto turned = CVPixelBuffer::make(720, 1280);
    ASSERT_TRUE(orientPixelBuffer(*source, *turned, AVCaptureVideoOrientation::Portrait, false));
    auto delivered = frames.back()->imageBuffer();
    EXPECT_EQ(delivered, frames.back()->imageBuffer()) << "turned once";
    for (std::size_t y = 0; y < 1280; y += 97)
        EXPECT_EQ(std::memcmp(delivered->row(y), turned->row(y), 720 * 4), 0) << "row " << y;
    for (std::size_t i = 1; i < frames.size(); ++i)
        EXPECT_GT(frames[i]->presentationTimeStamp(), frames[i - 1]->presentationTimeStamp());
    for (auto& label : sink->queues.items()) EXPECT_EQ(label, "CameraHost");

    // A jump of the clock does not replay the frames in between.
    std::size_t before = sink->samples.size();
    RunLoop::main().advance(5.0);
    settle();
    EXPECT_LE(sink->samples.size(), before + 2);

    session->stopRunning();
    EXPECT_FALSE(session->isRunning());
    settle();
    std::size_t after = sink->samples.size();
    advance(0.2);
    EXPECT_EQ(sink->samples.size(), after) << "no frames once stopped";
    EXPECT_EQ(postedNames(), (std::vector<std::string>{AVCaptureSessionDidStartRunningNotification,
                                                       AVCaptureSessionDidStopRunningNotification}));
}

TEST_F(SessionTest, FrontCameraFramesAreMirroredAutomatically) {
    auto output = addCamera(front(), AVCaptureSessionPreset::P640x480);
    auto connection = output->connectionWithMediaType(AVMediaType::Video);
    ASSERT_TRUE(session->startRunning());
    EXPECT_TRUE(connection->isVideoMirrored());
    EXPECT_FALSE(connection->setVideoMirrored(false)) << "automatic mirroring is on";
    connection->setAutomaticallyAdjustsVideoMirroring(false);
    EXPECT_TRUE(connection->setVideoMirrored(false));
    EXPECT_FALSE(connection->isVideoMirrored());
}

TEST_F(SessionTest, InterruptionAndRuntimeErrorMoveTheStateAndPostNotifications) {
    addCamera(back(), AVCaptureSessionPreset::P640x480);
    session->interrupt(AVCaptureSessionInterruptionReason::VideoDeviceNotAvailableInBackground);
    EXPECT_EQ(session->state(), AVCaptureSession::State::Stopped) << "nothing to interrupt";
    ASSERT_TRUE(session->startRunning());
    session->interrupt(AVCaptureSessionInterruptionReason::VideoDeviceNotAvailableInBackground);
    EXPECT_TRUE(session->isInterrupted());
    EXPECT_FALSE(session->isRunning());
    settle();
    std::size_t frames = sink->samples.size();
    const std::size_t rendered = synthetic(back()).framesRendered();
    advance(0.2);
    EXPECT_EQ(sink->samples.size(), frames) << "no frames while interrupted";
    // The camera itself stops: an interrupted session does not keep the sensor busy making frames
    // that nobody receives.
    EXPECT_EQ(synthetic(back()).framesRendered(), rendered) << "the camera's stream still runs";
    session->endInterruption();
    EXPECT_TRUE(session->isRunning());
    advance(0.1);
    EXPECT_GT(sink->samples.size(), frames);

    session->reportRuntimeError(
        NSError::withDescription(AVFoundationErrorDomain, AVErrorMediaServicesWereReset, "reset"));
    EXPECT_EQ(session->state(), AVCaptureSession::State::Stopped);
    settle();
    auto names = postedNames();
    ASSERT_EQ(names.size(), 5u);
    EXPECT_EQ(names[1], AVCaptureSessionWasInterruptedNotification);
    EXPECT_EQ(names[2], AVCaptureSessionInterruptionEndedNotification);
    EXPECT_EQ(names[3], AVCaptureSessionRuntimeErrorNotification);
    auto error = posted.items()[3]->userInfo()[AVCaptureSessionErrorKey].objectAs<NSError>();
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code(), AVErrorMediaServicesWereReset);
    EXPECT_EQ(posted.items()[1]->userInfo()[AVCaptureSessionInterruptionReasonKey].integerValue(), 1);
    // It can be started again.
    EXPECT_TRUE(session->startRunning());
}

TEST_F(SessionTest, LateFramesAreDiscardedWhileTheDelegateIsBusy) {
    auto output = addCamera(back(), AVCaptureSessionPreset::P352x288);
    Gate gate;
    sink->gate = &gate;
    ASSERT_TRUE(session->startRunning());
    gate.waitUntilEntered();  // the first frame is with the delegate
    auto frame = CVPixelBuffer::make(352, 288);
    for (int i = 0; i < 3; ++i) output->deliverFrame(frame, CMTimeMake(i, 30), CMTimeMake(1, 30));
    EXPECT_EQ(output->droppedFrameCount(), 3u);
    gate.open();
    settle();
    EXPECT_EQ(sink->samples.size(), 1u);

    // Without discarding, a few frames wait for the delegate instead.
    Gate second;
    sink->gate = &second;
    output->setAlwaysDiscardsLateVideoFrames(false);
    output->deliverFrame(frame, CMTimeMake(10, 30), CMTimeMake(1, 30));
    second.waitUntilEntered();
    for (int i = 0; i < 3; ++i) output->deliverFrame(frame, CMTimeMake(11 + i, 30), CMTimeMake(1, 30));
    EXPECT_EQ(output->droppedFrameCount(), 4u);
    second.open();
    settle();
    EXPECT_EQ(sink->samples.size(), 4u);
}

TEST_F(SessionTest, AudioBlocksReachTheAudioOutput) {
    auto mic =
        *AVCaptureDeviceInput::deviceInputWithDevice(AVCaptureDevice::defaultDeviceWithMediaType(AVMediaType::Audio));
    ASSERT_TRUE(session->addInput(mic));
    auto audio = AVCaptureAudioDataOutput::make();
    audio->setSampleBufferDelegate(sink, queue);
    ASSERT_TRUE(session->addOutput(audio));
    ASSERT_TRUE(session->startRunning());
    advance(0.1);
    auto blocks = sink->samples.items();
    ASSERT_GE(blocks.size(), 3u);
    ASSERT_TRUE(blocks[0]->audio());
    EXPECT_EQ(blocks[0]->audio()->frameCount(), 1024u);
    EXPECT_FALSE(blocks[0]->imageBuffer());
}

TEST_F(SessionTest, ChangesWhileRunningTakeEffectAtTheOutermostCommit) {
    auto output = addCamera(back(), AVCaptureSessionPreset::P1280x720);
    ASSERT_TRUE(session->startRunning());
    settle();
    session->beginConfiguration();
    session->beginConfiguration();
    ASSERT_TRUE(session->setSessionPreset(AVCaptureSessionPreset::P640x480));
    EXPECT_TRUE(session->commitConfiguration());
    advance(0.1);
    EXPECT_EQ(sink->samples.items().back()->imageBuffer()->width(), 1280u) << "still inside the outer configuration";
    EXPECT_TRUE(session->commitConfiguration());
    settle();
    advance(0.1);
    EXPECT_EQ(sink->samples.items().back()->imageBuffer()->width(), 640u);
    EXPECT_TRUE(session->isRunning());
    EXPECT_EQ(back()->activeFormat()->dimensions(), (CMVideoDimensions{640, 480}));

    // Removing the camera while running stops the frames but not the session.
    session->removeInput(session->inputs().front());
    settle();
    std::size_t n = sink->samples.size();
    advance(0.2);
    EXPECT_EQ(sink->samples.size(), n);
    EXPECT_TRUE(session->isRunning());
}
