// Program entry: starts the host that plays the part of the device.
#include <cstdio>

int main() {
    std::printf("korva: headless host started (no screens yet); exiting\n");
    return 0;
}
