// Neighbourhood filter benchmark: Korva's 3x3 median and 3x3 convolution over a 3840x2160 RGBA8
// frame against ffmpeg's `median` and `convolution` filters on the same frame with as many
// threads, as ratios measured in one run.
//
// ffmpeg's filters work on planar frames, so both of its runs (with and without the filter)
// convert to planar RGBA first; the difference of the two, per frame, is its filter's cost.
// Korva's time includes reading and writing the 8-bit interleaved frame.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "bench_scenes.h"
#include "bench_timing.h"
#include "platform/image/ci_context.h"
#include "platform/image/engine/kernels.h"
#include "platform/runtime/cpu_count.h"

namespace {

constexpr int kW = 3840, kH = 2160, kLoops = 10;

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: korva_neighbourhood_bench WORKDIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    if (!havePeer("ffmpeg")) return 2;
    const unsigned cores = availableCpuCount();
    std::string load = "?";
    if (std::ifstream avg("/proc/loadavg"); avg) std::getline(avg, load);
    std::printf("Korva neighbourhood benchmark: %u cores (CPU affinity), kernels %s, load average at start: %s\n",
                cores, kernels::targetName(), load.c_str());

    auto bytes = syntheticFrame(kW, kH, 3);
    const std::string framePath = dir + "/frame.rgba";
    std::ofstream(framePath, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    auto frame = CIImage::imageWithBitmapData(bytes, static_cast<std::size_t>(kW) * 4, kW, kH, CIFormat::RGBA8,
                                              CIAlphaMode::Premultiplied, nullptr);
    auto context = CIContext::contextWithOptions({{kCIContextWorkingColorSpace, Value(kCGColorSpaceNULL)}});
    std::vector<std::uint8_t> out(bytes.size());
    auto korva = [&](const std::shared_ptr<CIImage>& image) {
        return best(9, [&] {
            if (!context->render(image, out.data(), kW * 4, CGRectMake(0, 0, kW, kH), CIFormat::RGBA8, nullptr))
                std::fprintf(stderr, "render failed\n");
        });
    };
    const double median = korva(frame->imageByApplyingFilter("CIMedianFilter"));
    const double convolution = korva(frame->imageByApplyingFilter(
        "CIConvolution3X3", {{"inputWeights", Value(CIVector::vectorWithValues({0, -1, 0, -1, 5, -1, 0, -1, 0}))}}));

    if (argc > 2 && std::string(argv[2]) == "korva-only") {
        const double plain = korva(frame);
        std::printf("Korva: median %.2f ms, convolution %.2f ms, no filter %.2f ms\n", median * 1e3, convolution * 1e3,
                    plain * 1e3);
        return 0;
    }
    const std::string ff = "ffmpeg -hide_banner -nostdin -y -f rawvideo -pix_fmt rgba -s " + std::to_string(kW) + "x" +
                           std::to_string(kH) + " -stream_loop " + std::to_string(kLoops - 1) + " -i " + framePath +
                           " -filter_threads " + std::to_string(cores) + " -vf format=gbrap";
    // Each filter's runs take turns with runs without it, so that a change in the machine's load
    // weighs on both sides of the difference alike.
    auto ffCost = [&](const std::string& filter) {
        const auto [with, without] = commandsInTurns(ff + "," + filter + " -f null -", ff + " -f null -", 3);
        return std::max(1e-6, (with - without) / kLoops);
    };
    const double ffMedian = ffCost("median=radius=1");
    const double ffConvolution = ffCost(
        "convolution=0m='0 -1 0 -1 5 -1 0 -1 0':1m='0 -1 0 -1 5 -1 0 -1 0':"
        "2m='0 -1 0 -1 5 -1 0 -1 0':3m='0 -1 0 -1 5 -1 0 -1 0'");

    std::printf("\n5. median 3x3 on %dx%d: Korva %.2f ms, ffmpeg median %.2f ms per frame (%u threads)\n", kW, kH,
                median * 1e3, ffMedian * 1e3, cores);
    verdict("Korva / ffmpeg median", median / ffMedian, 0.5);
    std::printf("   convolution 3x3 on %dx%d: Korva %.2f ms, ffmpeg convolution %.2f ms per frame\n", kW, kH,
                convolution * 1e3, ffConvolution * 1e3);
    verdict("Korva / ffmpeg convolution (for orientation)", convolution / ffConvolution, 0.5);
    return 0;
}
