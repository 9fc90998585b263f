#include "platform/media/microphone_inputs.h"

#include "platform/capture/av_capture_device.h"

std::vector<std::shared_ptr<AVAudioSessionPortDescription>> microphoneInputs() {
    std::vector<std::shared_ptr<AVAudioSessionPortDescription>> ports;
    for (auto& mic : AVCaptureDevice::devicesWithMediaType(AVMediaType::Audio))
        ports.push_back(AVAudioSessionPortDescription::make(mic->localizedName(),
                                                            mic->deviceType() == AVCaptureDeviceType::BuiltInMicrophone
                                                                ? AVAudioSessionPortBuiltInMic
                                                                : AVAudioSessionPortHeadsetMic,
                                                            mic->uniqueID()));
    return ports;
}

void installMicrophoneInputs() {
    if (!AVAudioSession::hasInputProvider()) AVAudioSession::setInputProvider(microphoneInputs);
}
