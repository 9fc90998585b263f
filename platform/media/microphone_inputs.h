// The capture registry's microphones as the audio session's recording inputs: a built-in
// microphone is "MicrophoneBuiltIn", any other "MicrophoneWired".
#pragma once

#include "platform/sensors/av_audio_session.h"

std::vector<std::shared_ptr<AVAudioSessionPortDescription>> microphoneInputs();
// Makes microphoneInputs the session's input provider unless one is installed.
void installMicrophoneInputs();
