// Four-character codes (format and subtype names) as the platform spells them.
// Kept apart from the capture types, whose AVMediaType the FFmpeg headers also declare.
#pragma once

#include <cstdint>

using FourCharCode = std::uint32_t;
inline constexpr FourCharCode kAudioFormatLinearPCM = 0x6C70636D;  // 'lpcm'
inline constexpr FourCharCode kAudioFormatMPEG4AAC = 0x61616320;   // 'aac '
