// Names of media types.
#include "platform/capture/av_capture_types.h"

const char* AVMediaTypeName(AVMediaType type) {
    return type == AVMediaType::Video ? "vide" : "soun";
}
