// The shutter's work as a whole process, for timing against another program's whole process:
// read the frame file, crop to 3:4, turn to portrait, the menu preset's chain, JPEG with the TIFF
// and GPS properties, and write the file.
//
//   korva_bench_shutter FRAME.rgba WIDTH HEIGHT LOOK.cube OUT.jpg
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench_scenes.h"

int main(int argc, char** argv) {
    if (argc != 6) {
        std::fprintf(stderr, "usage: korva_bench_shutter FRAME.rgba WIDTH HEIGHT LOOK.cube OUT.jpg\n");
        return 2;
    }
    const int width = std::atoi(argv[2]), height = std::atoi(argv[3]);
    auto frame = mappedFrameImage(argv[1], width, height);
    if (!frame) {
        std::fprintf(stderr, "%s is not a %dx%d RGBA frame\n", argv[1], width, height);
        return 1;
    }
    int dim = 0;
    auto cube = readCubeFile(argv[4], dim);
    if (cube.empty()) {
        std::fprintf(stderr, "%s is not a colour cube\n", argv[4]);
        return 1;
    }
    PresetChain chain(cubeData(cube), dim);
    auto image = chain.apply(shutterGeometry(frame));
    auto jpeg = image ? appContext()->JPEGRepresentationOfImage(image, nullptr, photoProperties()) : std::nullopt;
    if (!jpeg) {
        std::fprintf(stderr, "no JPEG\n");
        return 1;
    }
    writeFile(argv[5], *jpeg);
    return 0;
}
