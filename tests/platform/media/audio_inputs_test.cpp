// The audio session's recording inputs from the capture registry's microphone.
#include <gtest/gtest.h>

#include "platform/capture/capture_device_registry.h"
#include "platform/media/microphone_inputs.h"

TEST(AudioInputsTest, TheRegistryMicrophoneIsTheInputAndUnknownPortsAreRefused) {
    CaptureDeviceRegistry::reset();
    ASSERT_TRUE(CaptureDeviceRegistry::configure("synthetic"));
    AVAudioSession::setInputProvider(nullptr);
    installMicrophoneInputs();
    auto session = AVAudioSession::sharedInstance();
    auto inputs = session->availableInputs();
    ASSERT_EQ(inputs.size(), 1u);
    EXPECT_EQ(inputs[0]->portType(), AVAudioSessionPortBuiltInMic);
    EXPECT_TRUE(session->setPreferredInput(inputs[0]));
    EXPECT_EQ(session->preferredInput(), inputs[0]);
    EXPECT_FALSE(
        session->setPreferredInput(AVAudioSessionPortDescription::make("Car", AVAudioSessionPortBluetoothHFP, "x")));
    EXPECT_EQ(session->preferredInput(), inputs[0]);
    EXPECT_FALSE(session->setMode("loud"));
    EXPECT_FALSE(session->setCategory("AVAudioSessionCategoryNoise", AVAudioSessionCategoryOptionAllowBluetooth));
    EXPECT_EQ(session->categoryOptions(), 0u);
    (void)session->setPreferredInput(nullptr);
    AVAudioSession::setInputProvider(nullptr);
    CaptureDeviceRegistry::reset();
}
