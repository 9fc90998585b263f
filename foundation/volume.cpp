// Volume over the device's music-player volume.
#include "foundation/volume.h"

#include "foundation/system_services.h"

float Volume::value() const {
    return SystemServices::shared()->musicVolume();
}
void Volume::setValue(float volume) {
    SystemServices::shared()->setMusicVolume(volume);
}
